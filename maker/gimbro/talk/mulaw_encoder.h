// G.711 mu-law encoding of 16-bit samples, the inverse of the talk decoder's
// expansion (each code's 14-bit linear value, times 4).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace talkaudio {

// The code of one sample: the sample's 14 most significant bits, biased by
// 33, fall into one of eight segments (each twice as wide as the one before)
// and one of sixteen steps inside it; the code is sent inverted. Magnitudes
// beyond the last segment are clipped.
uint8_t LinearToMuLaw(int16_t sample);

// One code per sample, appended to *out.
void EncodeMuLaw(const int16_t* samples, size_t count, std::string* out);

}  // namespace talkaudio
