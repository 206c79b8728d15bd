#include "live/grid/capture_paths.h"

#include <cstdio>
#include <cstring>

#include "platform/paths.h"

namespace capturepaths {

namespace {

std::string WithSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder;
  return folder + "\\";
}

std::string Default(const std::string& configured, const char* name) {
  if (!configured.empty()) return configured;
  return paths::ProgramFolder() + name;
}

}  // namespace

std::string PictureFolder(const std::string& configured) { return Default(configured, "Picture"); }

std::string VideoFolder(const std::string& configured) { return Default(configured, "Video"); }

std::string FileNamePart(const std::string& devName) {
  std::string part;
  part.reserve(devName.size());
  for (size_t i = 0; i < devName.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(devName[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < devName.size()) {  // a GBK double byte stays whole
      part += devName[i];
      part += devName[++i];
    } else if (c < 0x20 || std::strchr("\\/:*?\"<>|", c)) {
      part += '_';
    } else {
      part += devName[i];
    }
  }
  if (part.empty() || part == "." || part == "..") return "_";
  return part;
}

std::string SnapshotFile(const std::string& folder, const std::string& devName, int pictureFormat,
                         std::time_t when, int milliseconds) {
  std::tm local{};
  localtime_r(&when, &local);
  char stamp[80];
  std::snprintf(stamp, sizeof(stamp), "%04d%02d%02d%02d%02d%02d%03d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, milliseconds % 1000);
  return WithSeparator(folder) + FileNamePart(devName) + "_" + stamp + (pictureFormat == 0 ? ".bmp" : ".jpg");
}

std::string ManualRecordFolder(const std::string& folder, const std::string& devName, std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char day[48];
  std::snprintf(day, sizeof(day), "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return WithSeparator(folder) + FileNamePart(devName) + "\\" + day + "\\";
}

}  // namespace capturepaths
