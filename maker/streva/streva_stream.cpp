#include "streva/streva_stream.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "maker/gimbro/gimbro_streams.h"
#include "streva/host_resolver.h"
#include "streva/media_blocks.h"
#include "streva/streva_dispatcher.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/time.h>
}

StrevaStream::StrevaStream(long id, const rtspaddress::Address& address, bool overTcp,
                           StrevaDispatcher* dispatcher)
    : id_(id), address_(address), overTcp_(overTcp), dispatcher_(dispatcher) {}

StrevaStream::~StrevaStream() { Stop(); }

void StrevaStream::Start() { thread_ = std::thread([this] { Run(); }); }

void StrevaStream::RequestStop() {
  {
    std::lock_guard<std::mutex> lock(waitMutex_);
    stop_ = true;
  }
  waitCv_.notify_all();
  {
    std::lock_guard<std::mutex> lock(readersMutex_);  // a reader between its test and its wait
  }
  framesCv_.notify_all();
}

void StrevaStream::Stop() {
  RequestStop();
  if (thread_.joinable()) thread_.join();
}

int StrevaStream::InterruptCallback(void* opaque) {
  auto* self = static_cast<StrevaStream*>(opaque);
  return self->stop_.load() || av_gettime_relative() > self->deadlineUs_.load() ? 1 : 0;
}

void StrevaStream::ArmDeadline(int milliseconds) {
  deadlineUs_ = av_gettime_relative() + int64_t(milliseconds) * 1000;
}

void StrevaStream::WaitBeforeRetry(int milliseconds) {
  std::unique_lock<std::mutex> lock(waitMutex_);
  waitCv_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stop_.load(); });
}

void StrevaStream::Run() {
  pthread_setname_np(pthread_self(), "streva");
  int failures = 0;
  while (!stop_) {
    dispatcher_->PostState(id_, kStreamConnecting, 0);
    bool played = false;
    int error = PullOnce(&played);
    if (stop_) break;
    if (played) failures = 0;
    dispatcher_->PostState(id_, played ? kStreamLost : kStreamFailed, error);
    // Back-off: 1, 2, 4, then 8 seconds between attempts.
    WaitBeforeRetry(1000 << std::min(failures, 3));
    ++failures;
  }
}

rtspaddress::Address StrevaStream::DeviceAddress() {
  // A registered ONVIF device serves its own stream addresses: while the
  // device-messaging control is still finding out, wait a little, then take
  // whatever is known.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(CStrevaCtrl::kIoTimeoutMs);
  const bool sub = gimbro_streams::IsSubStreamPath(address_.path);
  for (;;) {
    const gimbro_streams::Found found = gimbro_streams::Find(address_.host, address_.port, sub);
    if (found.kind == gimbro_streams::Found::kStream) {
      rtspaddress::Address device;
      if (!rtspaddress::Parse(found.uri, &device)) return address_;
      if (!found.user.empty()) {
        device.user = found.user;
        device.password = found.password;
      }
      return device;
    }
    if (found.kind == gimbro_streams::Found::kNone || stop_ || std::chrono::steady_clock::now() >= deadline) {
      return address_;
    }
    WaitBeforeRetry(100);
  }
}

int StrevaStream::PullOnce(bool* played) {
  const rtspaddress::Address address = DeviceAddress();
  if (stop_) return AVERROR_EXIT;
  std::string host;
  if (!hostresolver::Resolve(address.host, stop_, CStrevaCtrl::kIoTimeoutMs, &host)) {
    return AVERROR(EHOSTUNREACH);
  }
  const std::string url = rtspaddress::ToFfmpegUrl(address, host);

  AVFormatContext* context = avformat_alloc_context();
  if (!context) return AVERROR(ENOMEM);
  context->interrupt_callback.callback = &StrevaStream::InterruptCallback;
  context->interrupt_callback.opaque = this;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "rtsp_transport", overTcp_ ? "tcp" : "udp", 0);
  av_dict_set_int(&options, "timeout", int64_t(CStrevaCtrl::kIoTimeoutMs) * 1000, 0);
  av_dict_set_int(&options, "analyzeduration", 1000000, 0);
  av_dict_set_int(&options, "probesize", 1 << 20, 0);
  ArmDeadline(CStrevaCtrl::kIoTimeoutMs);
  int error = avformat_open_input(&context, url.c_str(), nullptr, &options);
  av_dict_free(&options);
  if (error < 0) return error;  // avformat_open_input frees the context on failure

  ArmDeadline(CStrevaCtrl::kIoTimeoutMs);
  error = avformat_find_stream_info(context, nullptr);
  if (error >= 0) {
    int videoIndex = av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    int audioIndex = av_find_best_stream(context, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    MediaParamBlock block{};
    std::strncpy(block.szCodecTag, kMediaCodecTag, sizeof(block.szCodecTag) - 1);
    AVCodecID videoCodec = AV_CODEC_ID_NONE;
    if (videoIndex >= 0) {
      AVStream* stream = context->streams[videoIndex];
      if (mediablocks::FillVideo(stream->codecpar, av_guess_frame_rate(context, stream, nullptr),
                                 stream->time_base, &block.video)) {
        block.wVideoPresent = 1;
        videoCodec = stream->codecpar->codec_id;
      } else {
        videoIndex = -1;
      }
    }
    if (audioIndex >= 0) {
      if (mediablocks::FillAudio(context->streams[audioIndex]->codecpar, &block.audio)) {
        block.wAudioPresent = 1;
      } else {
        audioIndex = -1;
      }
    }
    if (videoIndex < 0 && audioIndex < 0) {
      error = AVERROR_DECODER_NOT_FOUND;
    } else {
      dispatcher_->PostMedia(id_, block);
      dispatcher_->PostState(id_, kStreamPlaying, 0);
      *played = true;
      error = ReadLoop(context, videoIndex, audioIndex, videoCodec);
    }
  }
  avformat_close_input(&context);
  return error;
}

int StrevaStream::ReadLoop(AVFormatContext* context, int videoIndex, int audioIndex,
                           int videoCodecId) {
  const auto videoCodec = static_cast<AVCodecID>(videoCodecId);
  AVPacket* packet = av_packet_alloc();
  if (!packet) return AVERROR(ENOMEM);
  int error = 0;
  while (!stop_) {
    ArmDeadline(CStrevaCtrl::kIoTimeoutMs);
    error = av_read_frame(context, packet);
    if (error < 0) break;
    const bool video = packet->stream_index == videoIndex;
    if ((video || packet->stream_index == audioIndex) && packet->size > 0) {
      QueuedFrame frame;
      frame.data = std::make_shared<const std::vector<uint8_t>>(packet->data, packet->data + packet->size);
      int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
      if (time == AV_NOPTS_VALUE) {
        frame.header.dwFlags |= kFrameFlagNoTime;
      } else {
        AVRational base = context->streams[packet->stream_index]->time_base;
        frame.header.dwTimeStamp =
            static_cast<uint32_t>(av_rescale_q(time, base, AVRational{1, 1000}));
      }
      if (!video || (packet->flags & AV_PKT_FLAG_KEY) ||
          mediablocks::IsKeyFrame(videoCodec, packet->data, packet->size)) {
        frame.header.dwFlags |= kFrameFlagKey;
      }
      frame.header.dwSequence = video ? videoSequence_++ : audioSequence_++;
      Distribute(video, std::move(frame));
    }
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  if (error == AVERROR_EOF) error = AVERROR(ECONNRESET);
  return error;
}

void StrevaStream::Distribute(bool video, QueuedFrame frame) {
  {
    std::lock_guard<std::mutex> lock(readersMutex_);
    if (!readers_.empty()) {
      for (auto& [readerId, reader] : readers_) {
        (video ? reader.video : reader.audio).Push(frame);
      }
      framesCv_.notify_all();
      return;
    }
  }
  // Without readers the frame goes out as an event, unless the receiving
  // thread is that far behind.
  if (pendingEvents_->load() < kMaxPendingEvents) {
    dispatcher_->PostFrame(id_, video, std::move(frame), pendingEvents_);
  }
}

long StrevaStream::RegisterReader(long readerId) {
  std::lock_guard<std::mutex> lock(readersMutex_);
  readers_.try_emplace(readerId);
  return 0;
}

long StrevaStream::UnregisterReader(long readerId) {
  std::lock_guard<std::mutex> lock(readersMutex_);
  if (!readers_.erase(readerId)) return -1;
  framesCv_.notify_all();
  return 0;
}

long StrevaStream::Read(long readerId, bool video, BYTE* buffer, long* length, BYTE* header,
                        long* headerLength) {
  std::unique_lock<std::mutex> lock(readersMutex_);
  auto it = readers_.find(readerId);
  if (it == readers_.end()) return kReadBadArgs;
  if (it->second.idle) {
    framesCv_.wait_for(lock, std::chrono::milliseconds(kReadWaitMs), [&] {
      it = readers_.find(readerId);
      return stop_.load() || it == readers_.end() || it->second.video.Size() > 0 ||
             it->second.audio.Size() > 0;
    });
    if (it == readers_.end()) return kReadBadArgs;
  }
  FrameQueue& queue = video ? it->second.video : it->second.audio;
  QueuedFrame frame;
  if (!queue.Front(&frame)) {
    it->second.idle = true;
    *length = 0;
    return kReadEmpty;
  }
  it->second.idle = false;
  queue.PopFront();
  const long size = static_cast<long>(frame.data->size());
  if (size > *length) {
    *length = size;
    return kReadTooSmall;
  }
  std::memcpy(buffer, frame.data->data(), size);
  *length = size;
  if (header && headerLength) {
    long copy = std::min<long>(*headerLength, sizeof(FrameHeader));
    if (copy > 0) std::memcpy(header, &frame.header, copy);
    *headerLength = sizeof(FrameHeader);
  }
  return 0;
}
