#include "maker/gimbro/talk/talk_encoder.h"

#include <QString>
#include <algorithm>
#include <functional>

#include "maker/gimbro/onvif/xml_tree.h"
#include "maker/gimbro/talk/mulaw_encoder.h"
#include "platform/codepage.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
}

namespace talkaudio {

namespace {

// 20 ms of samples per packet.
class MuLawEncoder : public Encoder {
 public:
  explicit MuLawEncoder(const Format& format)
      : channels_(static_cast<size_t>(format.channels)),
        packetSamples_(static_cast<size_t>(std::max(1, format.sampleRate / 50)) * channels_) {}

  // One code per sample; the channels stay interleaved.
  void Encode(const int16_t* samples, size_t frames, std::vector<std::string>* packets) override {
    EncodeMuLaw(samples, frames * channels_, &pending_);
    while (pending_.size() >= packetSamples_) {
      packets->push_back(pending_.substr(0, packetSamples_));
      pending_.erase(0, packetSamples_);
    }
  }

 private:
  size_t channels_;
  size_t packetSamples_;
  std::string pending_;
};

// The seven-byte ADTS header of one AAC frame (no checksum).
std::string AdtsHeader(int profile, int rateIndex, int channels, size_t payload) {
  const size_t length = payload + 7;
  std::string header(7, '\0');
  header[0] = static_cast<char>(0xFF);
  header[1] = static_cast<char>(0xF1);  // MPEG-4, layer 0, no checksum
  header[2] = static_cast<char>(((profile - 1) << 6) | (rateIndex << 2) | ((channels >> 2) & 0x1));
  header[3] = static_cast<char>(((channels & 0x3) << 6) | ((length >> 11) & 0x3));
  header[4] = static_cast<char>((length >> 3) & 0xFF);
  header[5] = static_cast<char>(((length & 0x7) << 5) | 0x1F);
  header[6] = static_cast<char>(0xFC);
  return header;
}

int RateIndex(int rate) {
  static const int kRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000, 7350};
  for (int i = 0; i < 13; ++i) {
    if (kRates[i] == rate) return i;
  }
  return -1;
}

class AacEncoder : public Encoder {
 public:
  ~AacEncoder() override {
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    avcodec_free_context(&context_);
  }

  bool Open(const Format& format, std::string* error) {
    channels_ = format.channels;
    rateIndex_ = RateIndex(format.sampleRate);
    if (rateIndex_ < 0) {
      *error = "AAC has no sample rate " + std::to_string(format.sampleRate);
      return false;
    }
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    context_ = codec ? avcodec_alloc_context3(codec) : nullptr;
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!context_ || !packet_ || !frame_) {
      *error = "no AAC encoder";
      return false;
    }
    context_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context_->sample_rate = format.sampleRate;
    av_channel_layout_default(&context_->ch_layout, format.channels);
    context_->bit_rate = 32000 * format.channels;
    context_->profile = FF_PROFILE_AAC_LOW;
    const int result = avcodec_open2(context_, codec, nullptr);
    if (result < 0) {
      char text[AV_ERROR_MAX_STRING_SIZE] = {};
      av_strerror(result, text, sizeof text);
      *error = std::string("the AAC encoder refused the format: ") + text;
      return false;
    }
    frame_->format = AV_SAMPLE_FMT_FLTP;
    frame_->nb_samples = context_->frame_size;
    frame_->sample_rate = format.sampleRate;
    av_channel_layout_copy(&frame_->ch_layout, &context_->ch_layout);
    if (av_frame_get_buffer(frame_, 0) < 0) {
      *error = "no memory for an AAC frame";
      return false;
    }
    return true;
  }

  void Encode(const int16_t* samples, size_t frames, std::vector<std::string>* packets) override {
    pending_.insert(pending_.end(), samples, samples + frames * static_cast<size_t>(channels_));
    const size_t frameSamples = static_cast<size_t>(context_->frame_size) * static_cast<size_t>(channels_);
    size_t used = 0;
    while (pending_.size() - used >= frameSamples) {
      if (av_frame_make_writable(frame_) < 0) break;
      for (int c = 0; c < channels_; ++c) {
        auto* plane = reinterpret_cast<float*>(frame_->data[c]);
        for (int i = 0; i < context_->frame_size; ++i) {
          plane[i] = static_cast<float>(pending_[used + static_cast<size_t>(i * channels_ + c)]) / 32768.0f;
        }
      }
      frame_->pts = pts_;
      pts_ += context_->frame_size;
      used += frameSamples;
      if (avcodec_send_frame(context_, frame_) < 0) break;
      while (avcodec_receive_packet(context_, packet_) == 0) {
        std::string out = AdtsHeader(2, rateIndex_, channels_, static_cast<size_t>(packet_->size));
        out.append(reinterpret_cast<const char*>(packet_->data), static_cast<size_t>(packet_->size));
        packets->push_back(std::move(out));
        av_packet_unref(packet_);
      }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
  }

 private:
  AVCodecContext* context_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int channels_ = 1;
  int rateIndex_ = 0;
  int64_t pts_ = 0;
  std::vector<int16_t> pending_;
};

}  // namespace

std::optional<Format> FormatOfTalkAnswer(const std::string& text) {
  onvif::XmlNode root;
  QString error;
  if (!onvif::ParseXml(codepage::ToQString(text).toUtf8(), &root, &error)) return std::nullopt;
  std::function<const onvif::XmlNode*(const onvif::XmlNode&)> withCodec = [&](const onvif::XmlNode& node) -> const onvif::XmlNode* {
    if (!node.Attribute(QStringLiteral("AudioCodec")).isEmpty()) return &node;
    for (const onvif::XmlNode& child : node.children) {
      if (const onvif::XmlNode* found = withCodec(child)) return found;
    }
    return nullptr;
  };
  const onvif::XmlNode* node = withCodec(root);
  if (node == nullptr) return std::nullopt;
  const QString codec = node->Attribute(QStringLiteral("AudioCodec")).toUpper();
  Format format;
  if (codec.startsWith(QLatin1String("G711")) || codec.startsWith(QLatin1String("G.711"))) {
    format.codec = Format::kG711;
  } else if (codec == QLatin1String("AAC")) {
    format.codec = Format::kAac;
  } else {
    return std::nullopt;
  }
  bool ok = false;
  format.sampleRate = node->Attribute(QStringLiteral("Samplerate")).toInt(&ok);
  if (!ok || format.sampleRate < 1) format.sampleRate = 8000;
  format.channels = node->Attribute(QStringLiteral("Channels")).toInt(&ok);
  if (!ok || format.channels < 1) format.channels = 1;
  return format;
}

std::unique_ptr<Encoder> MakeEncoder(const Format& format, std::string* error) {
  // The format comes from the device's answer: a rate outside what a
  // microphone delivers would size the buffers from a stranger's number.
  if (format.channels < 1 || format.channels > 2 || format.sampleRate < 4000 || format.sampleRate > 96000) {
    *error = "unusable audio format (" + std::to_string(format.sampleRate) + " Hz, " +
             std::to_string(format.channels) + " channels)";
    return nullptr;
  }
  if (format.codec == Format::kG711) return std::make_unique<MuLawEncoder>(format);
  if (format.codec == Format::kAac) {
    auto encoder = std::make_unique<AacEncoder>();
    if (encoder->Open(format, error)) return encoder;
    return nullptr;
  }
  *error = "unknown audio codec " + std::to_string(format.codec);
  return nullptr;
}

}  // namespace talkaudio
