// A reader's bounded queue of whole frames: when it is full, the oldest frame goes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "streva/streva_ctrl.h"

struct QueuedFrame {
  std::shared_ptr<const std::vector<uint8_t>> data;  // shared by every reader of the frame
  FrameHeader header{};
};

class FrameQueue {
 public:
  FrameQueue(size_t maxFrames, size_t maxBytes) : maxFrames_(maxFrames), maxBytes_(maxBytes) {}

  void Push(QueuedFrame frame);
  bool Front(QueuedFrame* frame) const;
  void PopFront();
  size_t Size() const { return frames_.size(); }
  uint64_t Dropped() const { return dropped_; }

 private:
  size_t maxFrames_;
  size_t maxBytes_;
  size_t bytes_ = 0;
  uint64_t dropped_ = 0;
  std::deque<QueuedFrame> frames_;
};
