#include "settings/record/storage_path_choice.h"

#include <algorithm>

#include "platform/paths.h"

std::string StoragePathOfFolder(const std::string& nativeFolder) {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string drive = paths::DriveFolder(letter);
    if (nativeFolder.compare(0, drive.size(), drive) != 0) continue;
    if (nativeFolder.size() != drive.size() && nativeFolder[drive.size()] != '/') continue;
    std::string rest = paths::FromNativePath(nativeFolder.substr(drive.size()));
    std::replace(rest.begin(), rest.end(), '/', '\\');
    while (!rest.empty() && rest.front() == '\\') rest.erase(rest.begin());
    return std::string(1, letter) + ":\\" + rest;
  }
  return paths::FromNativePath(nativeFolder);
}
