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

// Copies one encoded packet of `length` bytes into `packet` and sends it to the
// opened decoder; false when it cannot be taken. Decoded frames are then read
// with avcodec_receive_frame.
bool SendPacket(AVCodecContext* context, AVPacket* packet, const uint8_t* data, size_t length);

}  // namespace codeccontext
