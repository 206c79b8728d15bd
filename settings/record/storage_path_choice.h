// A storage path chosen with the record-scheme page's folder picker.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

class IRecEnvironment;

// The program's form of a chosen folder (a native path): below a drive folder
// it is "X:\\..." of that drive letter, elsewhere the folder's own path.
std::string StoragePathOfFolder(const std::string& nativeFolder);

// Whether a chosen folder may become a storage path: 0 when it may; 777 "The
// storage space less than 5G, please check!" when the file system that holds
// the folder itself (a disk mounted below a drive counts, not the drive's
// root) has less than 5 GB free or cannot be asked; 796 "The storage path
// exist, please select again!" when one of the other paths is exactly this one.
UINT CheckChosenStoragePath(IRecEnvironment& env, const std::string& path, const std::vector<std::string>& others);
