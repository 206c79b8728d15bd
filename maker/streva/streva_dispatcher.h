// Carries a stream thread's events to the advised sinks on the thread that
// created the control. Every posted payload is owned by the posted call: when
// the call is never delivered (the dispatcher is gone) the payload is freed
// with it. A sink gets no call after it was unadvised, and no event reaches a
// sink for a stream that was deleted meanwhile.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "streva/frame_queue.h"
#include "streva/streva_ctrl.h"

class StrevaDispatcher : public QObject {
 public:
  // isOpen(stream id) tells whether a stream still exists at delivery.
  explicit StrevaDispatcher(std::function<bool(long)> isOpen);

  void Advise(IStrevaEvents* sink);
  void Unadvise(IStrevaEvents* sink);

  // From any thread.
  void PostState(long streamId, long state, long detail);
  void PostMedia(long streamId, const MediaParamBlock& block);
  // `pending` counts the frames posted and not yet delivered or dropped.
  void PostFrame(long streamId, bool video, QueuedFrame frame,
                 std::shared_ptr<std::atomic<int>> pending);

 private:
  void Deliver(long streamId, const std::function<void(IStrevaEvents*)>& call);

  std::function<bool(long)> isOpen_;
  std::mutex mutex_;
  std::vector<IStrevaEvents*> sinks_;
};
