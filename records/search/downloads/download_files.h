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

// Where a relay file is received: the save folder, the file name without its
// extension, ".tmp".
std::string RelayTmpPath(const std::string& saveFolder, const std::string& peerPath);

// Percent of a transfer, received x 100 / total in 64 bits, held within 0 to
// 100; 0 while the total is not known (0).
int Percent(uint64_t received, uint64_t total);

// "Downloading... (42%)..."
std::string ProgressText(const std::string& downloading, int percent);

// A received ".tmp" is complete: it becomes the ".avi" of the same path, or,
// when that file exists already, is deleted and the old file stays. True when
// the ".avi" holds the download.
bool FinishRelayFile(const std::string& tmpPath);

}  // namespace downloads
