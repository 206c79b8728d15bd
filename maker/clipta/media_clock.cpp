#include "clipta/media_clock.h"

double MediaClock::Next(const FrameHeader* header, double intervalMs) {
  const bool hasTime = header && !(header->dwFlags & kFrameFlagNoTime);
  if (!started_) {
    started_ = true;
    sourceKnown_ = hasTime;
    if (hasTime) lastSource_ = header->dwTimeStamp;
    last_ = 0;
    return last_;
  }
  double next = last_ + intervalMs;
  if (hasTime) {
    if (sourceKnown_) {
      int64_t delta = static_cast<int32_t>(header->dwTimeStamp - lastSource_);
      if (delta > 0 && delta <= kMaxJumpMs) next = last_ + static_cast<double>(delta);
    }
    lastSource_ = header->dwTimeStamp;
    sourceKnown_ = true;
  }
  last_ = next;
  return last_;
}
