#include "nvr_record_tree.h"

#include <QDir>
#include <cstdio>
#include <vector>

#include "clipta/record_file_writer.h"

std::string NvrRecordTree::Add(const H264Clip& clip, int channel, const char* kind, int year, int month, int day,
                               int hour, int minute, int second, int seconds, bool withAudio) {
  if (clip.frames.empty() || clip.frameRate < 1) return std::string();
  char relative[128];
  std::snprintf(relative, sizeof(relative), "ch%d/%s/%04d%02d%02d/%02d%02d%02d.avi", channel, kind, year, month, day,
                hour, minute, second);
  const std::string path = folder_.Path() + relative;
  QDir().mkpath(QString::fromStdString(path.substr(0, path.rfind('/'))));
  recordfile::Media media;
  media.video = recordfile::VideoKind::kH264;
  media.width = static_cast<uint32_t>(clip.width);
  media.height = static_cast<uint32_t>(clip.height);
  media.frameRate = static_cast<uint32_t>(clip.frameRate);
  if (withAudio) media.audio = recordfile::AudioKind::kMulaw;
  RecordFileWriter writer;
  if (!writer.Open(path, media)) return std::string();
  const int frames = seconds * clip.frameRate;
  const std::vector<uint8_t> sound(320, 0xFF);  // 40 ms of mu-law silence
  for (int i = 0; i < frames; ++i) {
    const size_t k = static_cast<size_t>(i) % clip.frames.size();
    const double ms = i * 1000.0 / clip.frameRate;
    if (!writer.WriteVideo(clip.frames[k].data(), clip.frames[k].size(), clip.keys[k], ms)) return std::string();
    if (withAudio && !writer.WriteAudio(sound.data(), sound.size(), ms)) return std::string();
  }
  writer.Close();
  return std::string(kDeviceRoot) + relative;
}

std::string NvrRecordTree::LocalPath(const std::string& devicePath) const {
  const std::string root(kDeviceRoot);
  if (devicePath.compare(0, root.size(), root) != 0) return std::string();
  return folder_.Path() + devicePath.substr(root.size());
}
