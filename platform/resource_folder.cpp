#include "platform/resource_folder.h"

#include "platform/paths.h"

std::string ResourceFolder::Get() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!override_.empty()) return override_;
  return paths::NativePath(paths::ProgramFolder()) + subFolder_;
}

void ResourceFolder::Set(const std::string& nativeFolder) {
  std::lock_guard<std::mutex> lock(mutex_);
  override_ = nativeFolder;
  if (!override_.empty() && override_.back() != '/') override_ += '/';
}
