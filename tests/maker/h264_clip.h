// A short H.264 clip made by ffmpeg (a moving test picture by default, one key
// frame a second), cut into its frames, for feeding players and recorders.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

struct H264Clip {
  int width = 0;
  int height = 0;
  int frameRate = 0;
  std::vector<std::vector<BYTE>> frames;  // Annex B access units, in order
  std::vector<bool> keys;                 // key frame flags of the frames
};

// Makes the clip in `folder` (seconds long) and reads its frames; an empty
// clip when ffmpeg or the reading fails. `source`: ffmpeg's lavfi source of the
// picture ("testsrc", "color=c=red", ...).
H264Clip MakeH264Clip(const std::string& folder, int seconds, int width = 320, int height = 240,
                      int frameRate = 25, const std::string& source = "testsrc");
// The frames of a clip file that MakeH264Clip made ("clip.h264" in its folder).
H264Clip ReadH264Clip(const std::string& path, int width = 320, int height = 240, int frameRate = 25);
