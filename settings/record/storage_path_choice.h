// A storage path chosen with the record-scheme page's folder picker.
#pragma once

#include <string>

// The program's form of a chosen folder (a native path): below a drive folder
// it is "X:\\..." of that drive letter, elsewhere the folder's own path.
std::string StoragePathOfFolder(const std::string& nativeFolder);
