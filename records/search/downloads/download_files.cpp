#include "records/search/downloads/download_files.h"

#include <cstdio>

#include "platform/file_api.h"

namespace downloads {

std::string BaseName(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string NvrLocalPath(const std::string& saveFolder, const std::string& remotePath) {
  if (remotePath.empty() || remotePath[0] != '/') return std::string();
  return saveFolder + BaseName(remotePath);
}

namespace {

// Numbered names stop here: past it every name counts as taken.
constexpr int kMaxNumbered = 9999;

// The day of an NVR path: its nearest folder named by eight digits; empty for none.
std::string DayOf(const std::string& remotePath) {
  size_t end = remotePath.rfind('/');
  while (end != std::string::npos && end > 0) {
    const size_t start = remotePath.rfind('/', end - 1);
    const size_t from = start == std::string::npos ? 0 : start + 1;
    const std::string folder = remotePath.substr(from, end - from);
    if (folder.size() == 8 && folder.find_first_not_of("0123456789") == std::string::npos) return folder;
    if (start == std::string::npos) break;
    end = start;
  }
  return std::string();
}

// "<folder><stem>_<number><extension>" of a file's path; empty past the last number.
std::string Numbered(const std::string& path, int number) {
  if (number > kMaxNumbered) return std::string();
  const size_t name = path.find_last_of("\\/") + 1;  // 0 without a folder
  const size_t dot = path.find_last_of('.');
  const size_t cut = dot == std::string::npos || dot < name ? path.size() : dot;
  return path.substr(0, cut) + "_" + std::to_string(number) + path.substr(cut);
}

// The index-th name an NVR file may be kept under: 0 its own name, then the
// day's, then the numbered ones; empty past the last.
std::string NvrCandidate(const std::string& saveFolder, const std::string& remotePath, int index) {
  if (BaseName(remotePath).empty()) return std::string();  // a folder, no file
  const std::string own = NvrLocalPath(saveFolder, remotePath);
  if (own.empty() || index == 0) return index == 0 ? own : std::string();
  const std::string day = DayOf(remotePath);
  const std::string named = day.empty() ? own : saveFolder + day + "_" + BaseName(remotePath);
  if (!day.empty() && --index == 0) return named;
  return Numbered(named, index + 1);  // from 2 on
}

}  // namespace

std::string NvrSavePath(const std::string& saveFolder, const std::string& remotePath) {
  for (int index = 0;; ++index) {
    const std::string path = NvrCandidate(saveFolder, remotePath, index);
    if (path.empty() || !fileapi::Exists(path)) return path;
  }
}

std::string NvrSavedCopy(const std::string& saveFolder, const std::string& remotePath, int64_t size) {
  if (size < 0) {
    const std::string own = NvrLocalPath(saveFolder, remotePath);
    return !own.empty() && fileapi::Exists(own) ? own : std::string();
  }
  // The names are given out in order: the first one that is free ends the copies.
  for (int index = 0;; ++index) {
    const std::string path = NvrCandidate(saveFolder, remotePath, index);
    if (path.empty()) return path;
    const int64_t length = fileapi::Size(path);
    if (length == size) return path;
    if (length < 0 && index > 1) return std::string();
  }
}

std::string RelayTmpPath(const std::string& saveFolder, const std::string& peerPath) {
  std::string name = BaseName(peerPath);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  return saveFolder + name + ".tmp";
}

int Percent(uint64_t received, uint64_t total) {
  if (total == 0) return 0;
  const unsigned __int128 percent = static_cast<unsigned __int128>(received) * 100 / total;  // never overflows
  return percent > 100 ? 100 : static_cast<int>(percent);
}

std::string ProgressText(const std::string& downloading, int percent) {
  char text[300];
  std::snprintf(text, sizeof(text), "%.250s (%d%%)...", downloading.c_str(), percent);
  return text;
}

std::string FinishRelayFile(const std::string& tmpPath) {
  const size_t dot = tmpPath.find_last_of('.');
  const std::string avi = (dot == std::string::npos ? tmpPath : tmpPath.substr(0, dot)) + ".avi";
  for (int number = 1;; ++number) {
    const std::string path = number == 1 ? avi : Numbered(avi, number);
    if (path.empty()) return path;  // every name is taken: the ".tmp" stays
    if (!fileapi::Exists(path)) return fileapi::Rename(tmpPath, path) ? path : std::string();
  }
}

}  // namespace downloads
