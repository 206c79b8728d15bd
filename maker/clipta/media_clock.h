// Turns the time stamps of a frame sequence into strictly increasing stream
// time (ms from the first frame): the source's spacing where it is sound, one
// frame interval where a frame has no time stamp, goes back or jumps.
#pragma once

#include <cstdint>

#include "streva/streva_ctrl.h"

class MediaClock {
 public:
  static constexpr int64_t kMaxJumpMs = 10000;

  // header may be null. intervalMs: the nominal spacing of this medium.
  double Next(const FrameHeader* header, double intervalMs);
  double Last() const { return last_; }

 private:
  bool started_ = false;
  bool sourceKnown_ = false;
  uint32_t lastSource_ = 0;
  double last_ = 0;
};
