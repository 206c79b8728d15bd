#include "records/recfile/rec_key_table.h"

#include <algorithm>
#include <new>

bool RecKeyTableBuilder::AddVideo(uint32_t pos, bool key) {
  if (videoChunks_ == 0) {
    firstVideoPos_ = pos;
    last_ = pos;
  }
  if (key) {
    if (!haveKey_) {
      std::fill(table_.begin(), table_.end(), pos);
      haveKey_ = true;
    }
    last_ = pos;
  }
  try {
    if (table_.size() <= slot_) table_.resize(slot_ + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  table_[slot_] = last_;
  if (untilNextSlot_ == 0) {
    ++slot_;
    untilNextSlot_ = rate_;
  }
  --untilNextSlot_;
  ++videoChunks_;
  return true;
}

uint32_t RecKeyTableBuilder::Seconds() const {
  const uint32_t seconds = videoChunks_ / rate_;
  return seconds == 0 ? 1 : seconds;
}

std::unique_ptr<uint32_t[]> RecKeyTableBuilder::Build(uint32_t spare) const {
  const size_t size = std::max<size_t>(table_.size(), Seconds()) + spare;
  std::unique_ptr<uint32_t[]> table(new (std::nothrow) uint32_t[size]());
  if (table) std::copy(table_.begin(), table_.end(), table.get());
  return table;
}
