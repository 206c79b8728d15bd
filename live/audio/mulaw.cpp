#include "live/audio/mulaw.h"

namespace talk {

int16_t MuLawToLinear(uint8_t code) {
  // Codes are sent inverted; the low four bits are the step inside one of
  // eight segments, each segment twice as wide as the one before.
  const int inverted = ~code & 0xFF;
  const int segment = (inverted >> 4) & 0x07;
  const int step = inverted & 0x0F;
  const int magnitude = (((step << 1) + 33) << segment) - 33;  // 14-bit linear
  const int value = (inverted & 0x80) ? -magnitude : magnitude;
  return static_cast<int16_t>(value * 4);
}

void DecodeMuLaw(const uint8_t* data, size_t length, std::vector<int16_t>* pcm) {
  pcm->reserve(pcm->size() + length);
  for (size_t i = 0; i < length; ++i) pcm->push_back(MuLawToLinear(data[i]));
}

}  // namespace talk
