// Cuts the byte stream from the NVR into frame payloads.
//
// Bytes before the magic "svpi" are skipped one at a time; then the rest of
// the 12-byte frame head; then the announced payload. A frame announcing more
// payload than the reader holds is reported, never stored: the connection
// carrying it is out of step and is dropped by the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class NvrFrameReader {
 public:
  enum class Event { kNeedMore, kFrame, kOversize };

  explicit NvrFrameReader(size_t capacity);

  // Takes bytes until a frame completes, an oversized frame is announced, or
  // the bytes run out; `used` tells how many were taken. After kFrame the
  // payload stays valid until the next Feed or Reset.
  Event Feed(const uint8_t* data, size_t size, size_t& used);

  const uint8_t* Payload() const { return payload_.get(); }
  size_t PayloadLength() const { return payloadLength_; }
  // True once a magic has been seen and its frame is not complete yet.
  bool InFrame() const { return state_ != State::kMagic; }
  void Reset();

 private:
  enum class State { kMagic, kHead, kPayload };

  size_t capacity_;
  std::unique_ptr<uint8_t[]> payload_;
  State state_ = State::kMagic;
  uint8_t head_[12] = {};
  size_t headFilled_ = 0;
  size_t payloadLength_ = 0;
  size_t payloadFilled_ = 0;
};
