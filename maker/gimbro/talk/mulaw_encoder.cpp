#include "maker/gimbro/talk/mulaw_encoder.h"

namespace talkaudio {

namespace {

constexpr int kBias = 33;     // in 14-bit units
constexpr int kClip = 8158;   // largest 14-bit magnitude before the bias (8191 after it)
// Upper ends (exclusive) of the eight segments in 14-bit magnitude before the
// bias; the decoder expands segment s, step t to ((2t + 33) << s) - 33.
constexpr int kSegmentEnds[8] = {31, 95, 223, 479, 991, 2015, 4063, 8160};

}  // namespace

uint8_t LinearToMuLaw(int16_t sample) {
  // The magnitude is taken before it is cut to 14 bits, so that -1 codes as
  // the negative zero and not as the next step down.
  int value = sample;
  uint8_t mask = 0xFF;
  if (value < 0) {
    value = -value;
    mask = 0x7F;
  }
  value >>= 2;
  if (value > kClip) value = kClip;
  int segment = 0;
  while (segment < 7 && value >= kSegmentEnds[segment]) ++segment;
  const int step = ((value + kBias) >> (segment + 1)) & 0x0F;
  return static_cast<uint8_t>(((segment << 4) | step) ^ mask);
}

void EncodeMuLaw(const int16_t* samples, size_t count, std::string* out) {
  out->reserve(out->size() + count);
  for (size_t i = 0; i < count; ++i) out->push_back(static_cast<char>(LinearToMuLaw(samples[i])));
}

}  // namespace talkaudio
