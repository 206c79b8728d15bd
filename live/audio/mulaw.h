// G.711 mu-law samples to 16-bit linear PCM: the 14-bit linear value of each
// code, multiplied by 4.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace talk {

int16_t MuLawToLinear(uint8_t code);
// One 16-bit sample per byte, appended to *pcm.
void DecodeMuLaw(const uint8_t* data, size_t length, std::vector<int16_t>* pcm);

}  // namespace talk
