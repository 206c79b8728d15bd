#include "pelk/pelk_wire.h"

namespace pelk {

namespace {
void PutU32(uint8_t* out, uint32_t value) { std::memcpy(out, &value, 4); }
void PutU16(uint8_t* out, uint16_t value) { std::memcpy(out, &value, 2); }
}  // namespace

HeaderCheck ParseHeader(const uint8_t* bytes, uint32_t limit, FrameHeader* header) {
  if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return HeaderCheck::kBadMagic;
  uint16_t version = 0;
  std::memcpy(&version, bytes + 4, 2);
  if (version != kVersion) return HeaderCheck::kBadVersion;
  std::memcpy(&header->type, bytes + 6, 2);
  std::memcpy(&header->length, bytes + 8, 4);
  if (header->length > limit) return HeaderCheck::kTooLong;
  return HeaderCheck::kOk;
}

const char* HeaderCheckText(HeaderCheck check) {
  switch (check) {
    case HeaderCheck::kOk: return "ok";
    case HeaderCheck::kBadMagic: return "not a relay frame";
    case HeaderCheck::kBadVersion: return "unknown protocol version";
    case HeaderCheck::kTooLong: return "frame longer than allowed";
  }
  return "?";
}

FrameBuilder::FrameBuilder(uint16_t type, size_t reserve) {
  frame_.reserve(kHeaderSize + reserve);
  frame_.resize(kHeaderSize);
  std::memcpy(frame_.data(), kMagic, sizeof kMagic);
  PutU16(frame_.data() + 4, kVersion);
  PutU16(frame_.data() + 6, type);
}

FrameBuilder& FrameBuilder::U32(uint32_t value) { return Bytes(&value, 4); }

FrameBuilder& FrameBuilder::U64(uint64_t value) { return Bytes(&value, 8); }

FrameBuilder& FrameBuilder::Bytes(const void* data, size_t length) {
  if (length == 0) return *this;
  const auto* bytes = static_cast<const uint8_t*>(data);
  frame_.insert(frame_.end(), bytes, bytes + length);
  return *this;
}

FrameBuilder& FrameBuilder::Block(const void* data, size_t size) {
  if (data) return Bytes(data, size);
  frame_.resize(frame_.size() + size, 0);
  return *this;
}

FrameBuilder& FrameBuilder::FixedText(const char* text, size_t size) {
  const size_t start = frame_.size();
  frame_.resize(start + size, 0);
  if (text && size > 0) {
    const size_t length = strnlen(text, size - 1);
    std::memcpy(frame_.data() + start, text, length);
  }
  return *this;
}

std::vector<uint8_t> FrameBuilder::Finish() {
  PutU32(frame_.data() + 8, static_cast<uint32_t>(frame_.size() - kHeaderSize));
  return std::move(frame_);
}

const uint8_t* PayloadReader::Take(size_t length) {
  if (!ok_ || length > length_ - pos_) {
    ok_ = false;
    return nullptr;
  }
  const uint8_t* at = data_ + pos_;
  pos_ += length;
  return at;
}

uint32_t PayloadReader::U32() {
  uint32_t value = 0;
  if (const uint8_t* at = Take(4)) std::memcpy(&value, at, 4);
  return value;
}

uint64_t PayloadReader::U64() {
  uint64_t value = 0;
  if (const uint8_t* at = Take(8)) std::memcpy(&value, at, 8);
  return value;
}

bool PayloadReader::Bytes(void* out, size_t length) {
  const uint8_t* at = Take(length);
  if (at) {
    if (length) std::memcpy(out, at, length);
  } else if (length) {
    std::memset(out, 0, length);
  }
  return at != nullptr;
}

bool PayloadReader::FixedText(char* out, size_t size) {
  const bool ok = Bytes(out, size);
  if (size > 0) out[size - 1] = 0;
  return ok;
}

const uint8_t* PayloadReader::Rest(size_t* length) {
  *length = Remaining();
  const uint8_t* at = ok_ ? data_ + pos_ : nullptr;
  if (ok_) pos_ = length_;
  return at;
}

}  // namespace pelk
