#include "harlen/link/protocol/nvr_frame_reader.h"

#include <algorithm>
#include <cstring>

#include "harlen/link/protocol/nvr_protocol.h"

NvrFrameReader::NvrFrameReader(size_t capacity)
    : capacity_(capacity), payload_(std::make_unique<uint8_t[]>(capacity > 0 ? capacity : 1)) {}

void NvrFrameReader::Reset() {
  state_ = State::kMagic;
  headFilled_ = 0;
  payloadLength_ = 0;
  payloadFilled_ = 0;
}

NvrFrameReader::Event NvrFrameReader::Feed(const uint8_t* data, size_t size, size_t& used) {
  used = 0;
  while (used < size) {
    switch (state_) {
      case State::kMagic: {
        // A four-byte window over the stream: shift out its first byte until it reads "svpi".
        if (headFilled_ == 4) {
          std::memmove(head_, head_ + 1, 3);
          headFilled_ = 3;
        }
        head_[headFilled_++] = data[used++];
        if (headFilled_ == 4 && std::memcmp(head_, NVRMC_FRAME_MAGIC, 4) == 0) state_ = State::kHead;
        break;
      }
      case State::kHead: {
        const size_t take = std::min(sizeof head_ - headFilled_, size - used);
        std::memcpy(head_ + headFilled_, data + used, take);
        headFilled_ += take;
        used += take;
        if (headFilled_ < sizeof head_) break;
        payloadLength_ = ReadLe32(head_ + 8);
        payloadFilled_ = 0;
        if (payloadLength_ > capacity_) {
          Reset();
          return Event::kOversize;
        }
        state_ = State::kPayload;
        if (payloadLength_ == 0) {
          state_ = State::kMagic;
          headFilled_ = 0;
          return Event::kFrame;
        }
        break;
      }
      case State::kPayload: {
        const size_t take = std::min(payloadLength_ - payloadFilled_, size - used);
        std::memcpy(payload_.get() + payloadFilled_, data + used, take);
        payloadFilled_ += take;
        used += take;
        if (payloadFilled_ == payloadLength_) {
          state_ = State::kMagic;
          headFilled_ = 0;
          return Event::kFrame;
        }
        break;
      }
    }
  }
  return Event::kNeedMore;
}
