#include "tessaly/audio_decoder.h"

#include <cstring>

#include "streva/media_blocks.h"
#include "tessaly/codec_context.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswresample/swresample.h>
}

AudioDecoder::~AudioDecoder() { Close(); }

bool AudioDecoder::Open(const AudioParamBlock& block) {
  Close();
  context_ = codeccontext::Create(mediablocks::AudioCodecId(block), block.byExtra, block.byExtraSize);
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (!context_ || !frame_ || !packet_) return Close(), false;
  context_->sample_rate = static_cast<int>(block.dwSampleRate);
  av_channel_layout_default(&context_->ch_layout, block.byChannels);
  if (avcodec_open2(context_, context_->codec, nullptr) < 0) return Close(), false;
  sampleRate_ = static_cast<int>(block.dwSampleRate);
  channels_ = block.byChannels;
  return true;
}

void AudioDecoder::Close() {
  avcodec_free_context(&context_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  swr_free(&resampler_);
  sampleRate_ = channels_ = 0;
}

bool AudioDecoder::Decode(const uint8_t* data, size_t length, QByteArray* pcm) {
  if (!context_ || !data || length == 0 || length > (1u << 24)) return false;
  if (!codeccontext::SendPacket(context_, packet_, data, length)) return false;
  bool got = false;
  while (avcodec_receive_frame(context_, frame_) == 0) {
    if (!resampler_) {
      AVChannelLayout out;
      av_channel_layout_default(&out, channels_);
      if (swr_alloc_set_opts2(&resampler_, &out, AV_SAMPLE_FMT_S16, sampleRate_, &frame_->ch_layout,
                              static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0,
                              nullptr) < 0 ||
          swr_init(resampler_) < 0) {
        swr_free(&resampler_);
        av_frame_unref(frame_);
        continue;
      }
    }
    const int maxOut = swr_get_out_samples(resampler_, frame_->nb_samples);
    if (maxOut > 0) {
      const qsizetype start = pcm->size();
      pcm->resize(start + qsizetype(maxOut) * channels_ * 2);
      uint8_t* out = reinterpret_cast<uint8_t*>(pcm->data() + start);
      int samples = swr_convert(resampler_, &out, maxOut, const_cast<const uint8_t**>(frame_->extended_data),
                                frame_->nb_samples);
      pcm->resize(start + qsizetype(samples > 0 ? samples : 0) * channels_ * 2);
      got = got || samples > 0;
    }
    av_frame_unref(frame_);
  }
  return got;
}
