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

bool FinishRelayFile(const std::string& tmpPath) {
  const size_t dot = tmpPath.find_last_of('.');
  const std::string avi = (dot == std::string::npos ? tmpPath : tmpPath.substr(0, dot)) + ".avi";
  if (fileapi::Exists(avi)) {
    fileapi::Remove(tmpPath);
    return false;
  }
  return fileapi::Rename(tmpPath, avi);
}

}  // namespace downloads
