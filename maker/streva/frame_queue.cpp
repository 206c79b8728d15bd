#include "streva/frame_queue.h"

void FrameQueue::Push(QueuedFrame frame) {
  bytes_ += frame.data->size();
  frames_.push_back(std::move(frame));
  while (frames_.size() > 1 && (frames_.size() > maxFrames_ || bytes_ > maxBytes_)) {
    PopFront();
    ++dropped_;
  }
}

bool FrameQueue::Front(QueuedFrame* frame) const {
  if (frames_.empty()) return false;
  *frame = frames_.front();
  return true;
}

void FrameQueue::PopFront() {
  if (frames_.empty()) return;
  bytes_ -= frames_.front().data->size();
  frames_.pop_front();
}
