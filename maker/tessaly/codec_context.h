// Opening an FFmpeg decoder with the codec configuration of a parameter block.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace codeccontext {

// A decoder context for `codec` with a copy of `extra` (may be empty), not yet
// opened; null when the codec is not available.
AVCodecContext* Create(AVCodecID codec, const uint8_t* extra, size_t extraSize);

}  // namespace codeccontext
