#include "records/search/rec_save_folder.h"

#include "core/dev_info.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
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
      std::string root = path;
      while (!root.empty() && root.back() == '\\') root.pop_back();  // paths are kept with a trailing backslash
      folder = root + "\\Record\\" + RecDeviceFolderName(dev) + "\\Remotion\\";
      break;
    }
  }
  return folder;
}
