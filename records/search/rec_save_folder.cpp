#include "records/search/rec_save_folder.h"

#include "core/dev_info.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "records/search/rec_folder_tree.h"

std::string RecSaveFolder(const DevInfo& dev, const std::list<RecSchemeInfo*>& schemes) {
  std::string folder = "D:\\Record\\" + FixedText(dev.DevId) + "\\Remotion\\";
  const std::string name = FixedText(dev.DevName);
  for (const RecSchemeInfo* scheme : schemes) {
    bool holds = false;
    for (const DevInfo& entry : scheme->lstDev) holds = holds || FixedText(entry.DevName) == name;
    if (!holds) continue;
    for (const char* path : {scheme->StoragePath1, scheme->StoragePath2, scheme->StoragePath3}) {
      if (path[0] == '\0') continue;
      folder = paths::ChildPath(path, "Record") + "\\" + RecDeviceFolderName(dev) + "\\Remotion\\";
      break;
    }
  }
  return folder;
}

std::string RelaySaveFolder(const std::string& serverName, const std::string& devName,
                            const std::list<RecSchemeInfo*>& schemes) {
  const std::string tail = "\\VSS\\" + serverName + "\\" + devName + "\\";
  std::string folder = "D:\\Record" + tail;
  for (const RecSchemeInfo* scheme : schemes) {
    if (!scheme) continue;
    for (const char* path : {scheme->StoragePath1, scheme->StoragePath2, scheme->StoragePath3}) {
      if (path[0] == '\0') continue;
      folder = paths::ChildPath(path, "Record") + tail;
      break;
    }
  }
  return folder;
}

bool CreateSaveFolder(const std::string& folder) {
  std::string path;
  size_t start = 0;
  while (start <= folder.size()) {
    size_t end = folder.find_first_of("\\/", start);
    if (end == std::string::npos) end = folder.size();
    path = folder.substr(0, end);
    const bool drive = path.size() == 2 && path[1] == ':';
    if (!path.empty() && !drive && !fileapi::IsDirectory(path) && !fileapi::MakeDirectory(path)) return false;
    start = end + 1;
  }
  return fileapi::IsDirectory(folder);
}
