#include "platform/storage_drive.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cctype>

#include "platform/paths.h"

namespace storage {
namespace {

bool IsDriveLetterPath(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool IsFolder(const std::string& native, struct stat* info) {
  return ::stat(native.c_str(), info) == 0 && S_ISDIR(info->st_mode);
}

// The deepest existing folder of the path, not above its drive folder; false
// when there is none.
bool Anchor(const std::string& path, std::string* native, struct stat* info) {
  if (path.empty()) return false;
  std::string at = paths::NativePath(path);
  std::string stop = at;
  if (IsDriveLetterPath(path)) stop = paths::DriveFolder(path[0]);
  if (!IsFolder(stop, info)) return false;
  while (!at.empty()) {
    if (IsFolder(at, info)) {
      *native = at;
      return true;
    }
    if (!stop.empty() && at.size() <= stop.size()) return false;
    while (!at.empty() && at.back() == '/') at.pop_back();
    const size_t slash = at.rfind('/');
    if (slash == std::string::npos) return false;
    at = slash == 0 ? std::string("/") : at.substr(0, slash);
  }
  return false;
}

}  // namespace

bool FreeBytes(const std::string& path, uint64_t* bytes) {
  std::string native;
  struct stat info {};
  if (!Anchor(path, &native, &info)) return false;
  struct statvfs fs {};
  if (::statvfs(native.c_str(), &fs) != 0) return false;
  *bytes = static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
  return true;
}

bool SameDrive(const std::string& a, const std::string& b) {
  std::string native;
  struct stat infoA {};
  struct stat infoB {};
  return Anchor(a, &native, &infoA) && Anchor(b, &native, &infoB) && infoA.st_dev == infoB.st_dev;
}

}  // namespace storage
