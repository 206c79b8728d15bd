#include "streva/streva_dispatcher.h"

#include <algorithm>

#include "platform/thread_handoff.h"

namespace {

// Gives back a pending-frame slot when the posted call is destroyed, delivered or not.
struct PendingSlot {
  explicit PendingSlot(std::shared_ptr<std::atomic<int>> counter) : counter(std::move(counter)) {}
  ~PendingSlot() { --*counter; }
  std::shared_ptr<std::atomic<int>> counter;
};

}  // namespace

StrevaDispatcher::StrevaDispatcher(std::function<bool(long)> isOpen) : isOpen_(std::move(isOpen)) {}

void StrevaDispatcher::Advise(IStrevaEvents* sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (sink && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) sinks_.push_back(sink);
}

void StrevaDispatcher::Unadvise(IStrevaEvents* sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), sink), sinks_.end());
}

void StrevaDispatcher::Deliver(long streamId, const std::function<void(IStrevaEvents*)>& call) {
  if (!isOpen_(streamId)) return;
  std::vector<IStrevaEvents*> snapshot;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    snapshot = sinks_;
  }
  for (IStrevaEvents* sink : snapshot) {
    // A sink called earlier may have unadvised another one or deleted the stream.
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) continue;
    }
    if (!isOpen_(streamId)) return;
    call(sink);
  }
}

void StrevaDispatcher::PostState(long streamId, long state, long detail) {
  QueueCall(
      this,
      [this, streamId, state, detail] {
        Deliver(streamId, [&](IStrevaEvents* sink) { sink->OnStreamState(streamId, state, detail); });
      });
}

void StrevaDispatcher::PostMedia(long streamId, const MediaParamBlock& block) {
  auto payload = std::make_shared<MediaParamBlock>(block);
  QueueCall(
      this,
      [this, streamId, payload] {
        Deliver(streamId, [&](IStrevaEvents* sink) {
          sink->MediaRecv(streamId, kMediaTypeParam, reinterpret_cast<const BYTE*>(payload.get()),
                          sizeof(MediaParamBlock));
        });
      });
}

void StrevaDispatcher::PostFrame(long streamId, bool video, QueuedFrame frame,
                                 std::shared_ptr<std::atomic<int>> pending) {
  ++*pending;
  auto slot = std::make_shared<PendingSlot>(std::move(pending));
  QueueCall(
      this,
      [this, streamId, video, frame = std::move(frame), slot] {
        Deliver(streamId, [&](IStrevaEvents* sink) {
          const BYTE* data = frame.data->data();
          long length = static_cast<long>(frame.data->size());
          const BYTE* header = reinterpret_cast<const BYTE*>(&frame.header);
          if (video) {
            sink->OnVideoFrame(streamId, data, length, header, sizeof(FrameHeader));
          } else {
            sink->OnAudioFrame(streamId, data, length, header, sizeof(FrameHeader));
          }
        });
      });
}
