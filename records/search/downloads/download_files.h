// Names and files of the downloads of the record search page.
#pragma once

#include <cstdint>
#include <string>

namespace downloads {

// The file name of a device's or a peer's path: the text after its last "\"
// or "/" (peers on either kind of system send either).
std::string BaseName(const std::string& path);

// Where an NVR file goes: the save folder and the path's file name; empty for
// a path that does not begin with "/" (no file of an NVR).
std::string NvrLocalPath(const std::string& saveFolder, const std::string& remotePath);

// Where a download of an NVR file goes: the first name of the save folder that
// no file holds yet, so that a download never replaces a file. NVR files are
// named by their time of day, so the same name comes back every day: a name
// that is taken gets the file's day in front (the nearest folder of its path
// named by eight digits, "20240106_083000.avi"), and when that is taken too, or
// the path names no day, a number after it ("20240106_083000_2.avi",
// "083000_2.avi", ...). Empty for a path that does not begin with "/", and when
// every name is taken.
std::string NvrSavePath(const std::string& saveFolder, const std::string& remotePath);

// A downloaded copy of an NVR file that is `size` bytes long: the first of the
// names NvrSavePath gives out whose file has that length; with no size known
// (below 0), the file of the path's own name. Empty when there is none.
std::string NvrSavedCopy(const std::string& saveFolder, const std::string& remotePath, int64_t size);

// Where a relay file is received: the save folder, the file name without its
// extension, ".tmp".
std::string RelayTmpPath(const std::string& saveFolder, const std::string& peerPath);

// Percent of a transfer, received x 100 / total in 64 bits, held within 0 to
// 100; 0 while the total is not known (0).
int Percent(uint64_t received, uint64_t total);

// "Downloading... (42%)..."
std::string ProgressText(const std::string& downloading, int percent);

// A received ".tmp" is complete: it becomes the ".avi" of the same path, or,
// when a file of that name is there already (a peer's files are named by their
// time of day), "<name>_2.avi", "<name>_3.avi", ...; the old file stays. The
// path that holds the download, or empty when it could not be kept (the
// ".tmp" then stays).
std::string FinishRelayFile(const std::string& tmpPath);

}  // namespace downloads
