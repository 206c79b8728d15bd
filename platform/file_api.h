// File-system calls on the program's ANSI Windows-form paths (see paths.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

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

// A file being written holds an exclusive lock on its descriptor
// (LockForWriting), and RemoveUnlessInUse leaves such a file alone: a file that
// a writer has open is not deleted, as on the system the program came from.
// RemoveUnlessInUse removes a symbolic link itself, never what it points to;
// false with *error = errno (EBUSY for a file in use) when nothing was removed.
bool LockForWriting(int fd);
bool RemoveUnlessInUse(const std::string& path, int* error);
bool ReadWhole(const std::string& path, std::string& out);

}  // namespace fileapi
