#include "relay/pair/recorder_file.h"

#include <filesystem>
#include <vector>

#include "clipta/record_file_writer.h"

bool WriteRecorderFile(const H264Clip& clip, const std::string& path, uint64_t bytes) {
  if (clip.frames.empty()) return false;
  recordfile::Media media;
  media.width = static_cast<uint32_t>(clip.width);
  media.height = static_cast<uint32_t>(clip.height);
  media.frameRate = static_cast<uint32_t>(clip.frameRate);
  media.audio = recordfile::AudioKind::kAlaw;
  RecordFileWriter writer;
  if (!writer.Open(path, media)) return false;
  const std::vector<uint8_t> sound(320, 0xD5);
  uint64_t written = 0;
  for (size_t i = 0; i < clip.frames.size() || written < bytes; ++i) {
    const size_t f = i % clip.frames.size();
    const double ms = 1000.0 * static_cast<double>(i) / clip.frameRate;
    // Every round of the clip starts with its first frame, a key frame.
    if (!writer.WriteVideo(clip.frames[f].data(), clip.frames[f].size(), clip.keys[f] || f == 0, ms)) return false;
    if (!writer.WriteAudio(sound.data(), sound.size(), ms)) return false;
    written += clip.frames[f].size() + sound.size() + 16;
  }
  writer.Close();
  return std::filesystem::exists(path);
}
