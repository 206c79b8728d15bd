// Record files made by the recorder's own writer from an ffmpeg clip: the
// clip's H.264 frames over and over, a G.711 chunk after each frame.
#pragma once

#include <cstdint>
#include <string>

#include "h264_clip.h"

// Writes at least `bytes` of chunks (0: each frame of the clip once); true
// when the file was made.
bool WriteRecorderFile(const H264Clip& clip, const std::string& path, uint64_t bytes = 0);
