// The recordings of the fake device when it plays an NVR: record files written
// by the client's own recorder from a clip that ffmpeg made, laid out as the
// fake device reads them ("<root>/ch<channel>/<kind>/<YYYYMMDD>/<HHMMSS>.avi",
// tests/peers/nvr_record_store.py).
#pragma once

#include <string>

#include "common/temp_folder.h"
#include "h264_clip.h"

class NvrRecordTree {
 public:
  static constexpr const char* kDeviceRoot = "/mnt/sd1/";

  // Native path of the tree, with a trailing '/'.
  const std::string& Root() const { return folder_.Path(); }

  // Writes a file `seconds` long (the clip over and over; with G.711 sound
  // when withAudio) of a channel, kind ("Schedule", "Alarm", "Motion") and
  // start; returns its path on the device, "" when it could not be written.
  std::string Add(const H264Clip& clip, int channel, const char* kind, int year, int month, int day, int hour,
                  int minute, int second, int seconds, bool withAudio = false);
  // The file behind a device path.
  std::string LocalPath(const std::string& devicePath) const;

 private:
  TempFolder folder_;
};
