// Storage drives of the record folders.
//
// A record storage path is a program path (paths.h): "D:\\Video\\" lies on drive
// D, whose folder is paths::DriveFolder('D'); a disk is put behind a drive
// letter by making that folder a mount point (or a link to one). A drive
// exists when its folder exists. A path's file system is that of its deepest
// existing folder (the path itself, or the drive folder when nothing of the
// path exists yet); a path on a missing drive has none. A path without a drive
// letter ("/srv/video/") is a drive of its own: it has a file system only
// while the folder itself exists, so that a disk that is not mounted is never
// taken for the disk below it.
#pragma once

#include <cstdint>
#include <string>

namespace storage {

// Free bytes of the file system that holds `path` (what an unprivileged writer
// may still use). false when the path has no file system (missing drive) or
// the system cannot tell.
bool FreeBytes(const std::string& path, uint64_t* bytes);

// Whether both paths lie on one file system: "the same drive". false when
// either has none.
bool SameDrive(const std::string& a, const std::string& b);

}  // namespace storage
