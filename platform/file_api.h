// File-system calls on the program's ANSI Windows-form paths (see paths.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace fileapi {

FILE* Open(const std::string& path, const char* mode);
bool IsDirectory(const std::string& path);
bool Exists(const std::string& path);
bool MakeDirectory(const std::string& path);  // one level; true when it exists afterwards
bool Rename(const std::string& from, const std::string& to);
bool Remove(const std::string& path);
int64_t Size(const std::string& path);  // -1 when missing

// Replaces the file's content: writes a temporary file in the same folder,
// syncs it and renames it over the old one, so a crash mid-write leaves either
// the old or the new content, never a part of it.
bool WriteWhole(const std::string& path, const void* data, size_t size);

// Removes the temporaries that WriteWhole left beside `path` when its writer
// was killed mid-write: entries of the file's own folder named exactly
// "<file name>.tmp<pid>-<n>" (decimal numbers) whose process is gone, or that
// this process made and no write of it is still busy with. A temporary of a
// living process (another instance saving the same file) and every other name
// are left alone. Returns the names removed.
std::vector<std::string> RemoveStaleWriteTemporaries(const std::string& path);

// A file being written holds an exclusive lock on its descriptor
// (LockForWriting), and RemoveUnlessInUse leaves such a file alone: a file that
// a writer has open is not deleted, as on the system the program came from.
// RemoveUnlessInUse removes a symbolic link itself, never what it points to;
// false with *error = errno (EBUSY for a file in use) when nothing was removed.
bool LockForWriting(int fd);
bool RemoveUnlessInUse(const std::string& path, int* error);
bool ReadWhole(const std::string& path, std::string& out);
// Reads what is left of an open file into `out`; false on a read error.
bool ReadRest(FILE* file, std::string& out);

// One entry of a folder listing (FindFiles).
class FoundEntry {
 public:
  const std::string& Name() const { return name_; }  // ANSI, without the folder
  bool IsDirectory() const { return isDirectory_; }
  // Length in bytes; -1 when the entry cannot be read. Asked of the file
  // system only when called.
  int64_t Size() const;

 private:
  friend bool FindFiles(const std::string&, const std::function<void(const FoundEntry&)>&);
  int folderFd_ = -1;
  std::string nativeName_;
  std::string name_;
  bool isDirectory_ = false;
};

// Lists the entries of a folder whose names match a pattern, in the order the
// file system returns them, without "." and "..": `pattern` is an ANSI path
// whose last part (after the last backslash or slash) is the name mask, with
// '*' for any run of characters and '?' for one; "*.*" and "*" match every
// name (matching is case-sensitive). False (nothing listed) when the folder
// cannot be opened.
bool FindFiles(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry);

}  // namespace fileapi
