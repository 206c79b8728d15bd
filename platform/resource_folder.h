// A folder of resource files below the program folder that tests can move.
#pragma once

#include <mutex>
#include <string>

class ResourceFolder {
 public:
  // `subFolder` below the program folder, e.g. "Lang/".
  explicit ResourceFolder(const char* subFolder) : subFolder_(subFolder) {}

  // Native path with a trailing '/': the folder set with Set, else the default.
  std::string Get() const;
  void Set(const std::string& nativeFolder);  // empty: back to the default

 private:
  const char* subFolder_;
  mutable std::mutex mutex_;
  std::string override_;
};
