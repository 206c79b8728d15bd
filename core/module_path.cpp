#include "core/module_path.h"

#include <stdexcept>

#include "platform/file_api.h"
#include "platform/paths.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "D:", "D:\\" and "D:/".
bool IsDriveRoot(const CString& path) {
  return (path.size() == 2 || (path.size() == 3 && IsSeparator(path[2]))) && path[1] == ':';
}

// Nothing above these to create: "", "/" and a drive root.
bool IsRoot(const CString& path) {
  return path.empty() || (path.size() == 1 && IsSeparator(path[0])) || IsDriveRoot(path);
}

}  // namespace

std::string GetModuleFileNameStr() {
  const std::string file = paths::ProgramFile();
  // The path is fetched into a buffer of 261 characters that doubles while the
  // path fills it completely; a buffer of 2600 or more is refused.
  size_t size = MAX_PATH + 1;
  while (file.size() + 1 >= size) {
    size *= 2;
    if (size >= 2600) throw std::length_error("ModuleFileName is too long");
  }
  return file;
}

std::string GetModuleDir() { return paths::ProgramFolder(); }

BOOL CreateDirectoryTree(CString path) {
  if (!path.empty() && IsSeparator(path.back()) && !IsRoot(path)) path.pop_back();
  if (IsRoot(path)) return TRUE;
  if (fileapi::IsDirectory(path)) return TRUE;
  const size_t last = path.find_last_of("\\/");
  if (last != CString::npos && last > 0) {
    const CString parent = path.substr(0, last + 1);
    if (IsDriveRoot(parent)) {
      // A drive is a folder of ours (see paths.h) that may not exist yet.
      if (!CreateDirectoryTree(paths::FromNativePath(paths::DriveFolder(parent[0])))) return FALSE;
    } else if (!CreateDirectoryTree(parent)) {
      return FALSE;
    }
  }
  return fileapi::MakeDirectory(path) ? TRUE : FALSE;
}

BOOL DirectoryExists(const char* path) {
  if (!path || !*path) return FALSE;
  return fileapi::IsDirectory(path) ? TRUE : FALSE;
}
