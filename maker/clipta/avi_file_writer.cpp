#include "clipta/avi_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "streva/media_blocks.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

// The muxer starts a second RIFF chunk (AVIX) near 1 GiB; the first one's size
// is then the muxer's to finish, so patching stops there.
constexpr int64_t kFirstRiffLimit = 1000LL * 1000 * 1000;

void PutLe32(uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

bool SetExtradata(AVCodecParameters* par, const uint8_t* data, size_t size) {
  if (size == 0) return true;
  par->extradata = static_cast<uint8_t*>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
  if (!par->extradata) return false;
  std::memcpy(par->extradata, data, size);
  par->extradata_size = static_cast<int>(size);
  return true;
}

}  // namespace

AviFileWriter::~AviFileWriter() { Close(); }

bool AviFileWriter::Open(const std::string& nativePath, const VideoParamBlock& video,
                         const AudioParamBlock* audio) {
  Close();
  path_ = nativePath;
  failed_ = false;
  videoFrames_ = written_ = 0;
  if (avformat_alloc_output_context2(&context_, nullptr, "avi", nativePath.c_str()) < 0) {
    context_ = nullptr;
    return false;
  }
  videoStream_ = avformat_new_stream(context_, nullptr);
  if (!videoStream_) return Close(), false;
  AVCodecParameters* par = videoStream_->codecpar;
  par->codec_type = AVMEDIA_TYPE_VIDEO;
  par->codec_id = mediablocks::VideoCodecId(video);
  par->width = static_cast<int>(video.dwWidth);
  par->height = static_cast<int>(video.dwHeight);
  SetExtradata(par, video.byExtra, video.dwExtraSize);
  AVRational rate = av_d2q(mediablocks::FrameRate(video), 100000);
  videoStream_->time_base = av_inv_q(rate);
  videoStream_->avg_frame_rate = rate;
  videoStream_->r_frame_rate = rate;
  if (audio && mediablocks::AudioCodecId(*audio) != AV_CODEC_ID_NONE) {
    audioStream_ = avformat_new_stream(context_, nullptr);
    if (!audioStream_) return Close(), false;
    par = audioStream_->codecpar;
    par->codec_type = AVMEDIA_TYPE_AUDIO;
    par->codec_id = mediablocks::AudioCodecId(*audio);
    par->sample_rate = static_cast<int>(audio->dwSampleRate);
    av_channel_layout_default(&par->ch_layout, audio->byChannels);
    if (par->codec_id == AV_CODEC_ID_AAC) {
      par->frame_size = 1024;
      audioStream_->time_base = AVRational{1024, par->sample_rate};
    } else {
      par->bits_per_coded_sample = 8;
      par->block_align = audio->byChannels;
      audioStream_->time_base = AVRational{1, par->sample_rate};
    }
    SetExtradata(par, audio->byExtra, audio->byExtraSize);
  }
  if (avio_open(&context_->pb, nativePath.c_str(), AVIO_FLAG_WRITE) < 0) return Close(), false;
  if (avformat_write_header(context_, nullptr) < 0) {
    avio_closep(&context_->pb);
    avformat_free_context(context_);
    context_ = nullptr;
    ::unlink(nativePath.c_str());
    return false;
  }
  packet_ = av_packet_alloc();
  avio_flush(context_->pb);
  patchFd_ = ::open(nativePath.c_str(), O_RDWR | O_CLOEXEC);
  FindSizeFields();
  return packet_ != nullptr;
}

void AviFileWriter::FindSizeFields() {
  moviListOffset_ = -1;
  if (patchFd_ < 0) return;
  std::vector<uint8_t> head(64 * 1024);
  ssize_t got = ::pread(patchFd_, head.data(), head.size(), 0);
  for (ssize_t i = 0; i + 12 <= got; ++i) {
    if (std::memcmp(&head[i], "LIST", 4) == 0 && std::memcmp(&head[i + 8], "movi", 4) == 0) {
      moviListOffset_ = i;
      return;
    }
  }
}

void AviFileWriter::PatchSizes() {
  if (patchFd_ < 0 || moviListOffset_ < 0) return;
  struct stat info {};
  if (::fstat(patchFd_, &info) != 0 || info.st_size > kFirstRiffLimit) return;
  const int64_t end = info.st_size;
  uint8_t riffSize[4];
  uint8_t moviSize[4];
  PutLe32(riffSize, static_cast<uint32_t>(end - 8));
  PutLe32(moviSize, static_cast<uint32_t>(end - moviListOffset_ - 8));
  // The movi list first: a size that covers only whole chunks is sound at every moment.
  if (::pwrite(patchFd_, moviSize, 4, moviListOffset_ + 4) != 4 ||
      ::pwrite(patchFd_, riffSize, 4, 4) != 4) {
    moviListOffset_ = -1;
  }
}

bool AviFileWriter::Write(AVStream* stream, const uint8_t* data, size_t length, int64_t pts, bool key) {
  if (!context_ || !stream || failed_ || length == 0) return false;
  if (av_new_packet(packet_, static_cast<int>(length)) < 0) return false;
  std::memcpy(packet_->data, data, length);
  packet_->stream_index = stream->index;
  packet_->pts = packet_->dts = pts;
  packet_->duration = 1;
  if (key) packet_->flags |= AV_PKT_FLAG_KEY;
  int result = av_write_frame(context_, packet_);
  av_packet_unref(packet_);
  if (result < 0) {
    failed_ = true;
    return false;
  }
  if (++written_ % kFlushPackets == 0) Flush();
  return true;
}

bool AviFileWriter::WriteVideo(const uint8_t* data, size_t length, int64_t pts, bool key) {
  if (!Write(videoStream_, data, length, pts, key)) return false;
  ++videoFrames_;
  return true;
}

bool AviFileWriter::WriteAudio(const uint8_t* data, size_t length, int64_t pts) {
  return Write(audioStream_, data, length, pts, true);
}

void AviFileWriter::Flush() {
  if (!context_ || !context_->pb) return;
  avio_flush(context_->pb);
  PatchSizes();
}

void AviFileWriter::Close() {
  if (context_) {
    if (context_->pb) {
      if (written_ > 0 && !failed_) av_write_trailer(context_);
      avio_closep(&context_->pb);
    }
    avformat_free_context(context_);
    context_ = nullptr;
    if (written_ == 0) ::unlink(path_.c_str());
  }
  if (patchFd_ >= 0) ::close(patchFd_);
  patchFd_ = -1;
  av_packet_free(&packet_);
  videoStream_ = audioStream_ = nullptr;
}
