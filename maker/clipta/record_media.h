// From the pull client's parameter blocks and frames to what a record file holds.
//
// A record file must be readable from its first chunk on, by readers that take
// the codec set-up from the first video frame: every key frame written starts
// with its stream headers (H.264 SPS and PPS, MPEG-4 VOS/VOL) and, for H.264, a
// four-byte start code. Frames that already carry their headers are written as
// they come.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "clipta/record_file_layout.h"
#include "streva/streva_ctrl.h"

namespace recordmedia {

// The header description of a file; audio only when `audio` is filled.
recordfile::Media Describe(const VideoParamBlock& video, const AudioParamBlock* audio);

// The bytes to store for a video frame: `data` itself, or `scratch` filled
// with the frame behind its headers. *outLength receives the length.
const uint8_t* VideoChunk(const VideoParamBlock& video, bool key, const uint8_t* data, size_t length,
                          std::vector<uint8_t>& scratch, size_t* outLength);

}  // namespace recordmedia
