#include "records/search/rec_folder_tree.h"

#include <cstdio>

#include "core/dev_info.h"
#include "core/fixed_text.h"
#include "platform/paths.h"

std::string RecDeviceFolderName(const DevInfo& dev) {
  if (dev.DevType == kDevTypeNvr) return FixedText(dev.DevId) + "-" + FixedText(dev.DevName);
  return FixedText(dev.DevName);
}

std::string RecDayFolderPattern(const char* storagePath, const std::string& deviceFolder,
                                const char* source, const char* kind, int year, int month, int day) {
  char dates[48];
  std::snprintf(dates, sizeof dates, "\\%d\\%d\\%d\\*.*", year, month, day);
  std::string pattern = paths::ChildPath(storagePath, "Record");
  pattern.append("\\").append(deviceFolder).append("\\").append(source);
  pattern.append("\\").append(kind).append(dates);
  return pattern;
}

int RecNameNumber(const std::string& name, size_t at) {
  int value = 0;
  for (size_t i = at; i < at + 2 && i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') break;
    value = value * 10 + (name[i] - '0');
  }
  return value;
}

int RecNameStartSecond(const std::string& name) {
  return RecNameNumber(name, 0) * 3600 + RecNameNumber(name, 2) * 60 + RecNameNumber(name, 4);
}

bool IsRecFileName(const std::string& name) { return name.ends_with(".avi"); }
