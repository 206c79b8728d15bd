#include "records/recording/record_folders.h"

#include <cstdio>
#include <cstring>

#include "core/dev_info.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "records/search/rec_folder_tree.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Whether a GBK text holds a path separator (the second byte of a two-byte
// character is no separator, even when it has the value of '\\').
bool HasSeparator(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x81) {
      ++i;
    } else if (IsSeparator(text[i])) {
      return true;
    }
  }
  return false;
}

}  // namespace

const char* RecordKindWord(int startType) {
  switch (startType) {
    case 0: return kRecKindSchedule;
    case 1: return kRecKindMotion;
    case 2: return kRecKindIo;
    default: return nullptr;
  }
}

std::string RecordDeviceFolder(const DevInfo& dev) {
  const std::string name = RecDeviceFolderName(dev);
  if (name.empty() || name == "." || name == ".." || HasSeparator(name)) return {};
  return name;
}

std::string RecordKindFolder(const std::string& storagePath, const std::string& deviceFolder, const char* kind) {
  return paths::ChildPath(storagePath, "Record") + "\\" + deviceFolder + "\\" + kRecSourceLocal + "\\" + kind;
}

std::string RecordDayFolder(const std::string& storagePath, const std::string& deviceFolder, const char* kind,
                            int year, int month, int day) {
  char date[48];
  std::snprintf(date, sizeof date, "\\%d\\%d\\%d\\", year, month, day);
  return RecordKindFolder(storagePath, deviceFolder, kind) + date;
}

bool CreateRecordFolder(const std::string& folder) {
  std::string path = folder;
  if (path.size() < 2) return false;
  if (IsSeparator(path.back())) path.pop_back();
  if (path.empty()) return false;
  if (path.size() < 4) return fileapi::IsDirectory(path);
  if (fileapi::IsDirectory(path)) return true;
  size_t cut = path.size();
  while (cut > 0 && !IsSeparator(path[cut - 1])) --cut;
  if (cut < 2) return false;  // no parent left to make it in
  const std::string parent = path.substr(0, cut - 1);
  if (parent.empty() || !CreateRecordFolder(parent)) return false;
  return fileapi::MakeDirectory(path);
}
