// The per-second table of key-frame positions of a record file, built from its
// video chunks in file order (from the index, or from the chunks themselves).
//
// Slot 0 holds the first video frame, slot k (k >= 1) the last key frame at or
// before video frame k x rate. Slots before the first key frame hold the first
// key frame (or the first frame of a file without key frames): a position a
// chunk can be read from.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class RecKeyTableBuilder {
 public:
  explicit RecKeyTableBuilder(uint32_t frameRate) : rate_(frameRate ? frameRate : 1) {}

  // One video chunk: the file position of its header, and whether it is a key frame.
  // False when the table cannot grow (no memory).
  bool AddVideo(uint32_t pos, bool key);

  uint32_t VideoChunks() const { return videoChunks_; }
  uint32_t FirstVideoPos() const { return firstVideoPos_; }
  // K: whole seconds of video, at least 1.
  uint32_t Seconds() const;
  // The table of K entries and `spare` more (zero), or null without memory.
  std::unique_ptr<uint32_t[]> Build(uint32_t spare) const;

 private:
  uint32_t rate_;
  std::vector<uint32_t> table_;
  uint32_t videoChunks_ = 0;
  uint32_t firstVideoPos_ = 0;
  uint32_t last_ = 0;
  size_t slot_ = 0;
  uint32_t untilNextSlot_ = 0;  // video frames until the slot number grows (every rate-th frame)
  bool haveKey_ = false;
};
