#include "platform/paths.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/codepage.h"

namespace paths {
namespace {

std::mutex g_folderMutex;
std::string g_folderOverride;

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string ProgramFile() {
  std::vector<char> buffer(4096);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return std::string();
  return FromNativePath(std::string(buffer.data(), static_cast<size_t>(n)));
}

std::string ProgramFolder() {
  {
    std::lock_guard<std::mutex> lock(g_folderMutex);
    if (!g_folderOverride.empty()) return g_folderOverride;
  }
  std::string file = ProgramFile();
  size_t slash = file.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : file.substr(0, slash + 1);
}

void SetProgramFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_folderMutex);
  g_folderOverride = folder.empty() ? std::string() : WithTrailingSlash(folder);
}

std::string DriveFolder(char letter) {
  std::string root;
  if (const char* env = std::getenv("VEMO_DRIVE_ROOT"); env && *env) {
    root = env;
  } else if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
    root = std::string(data) + "/vemo/drives";
  } else {
    const char* home = std::getenv("HOME");
    root = std::string(home && *home ? home : "/tmp") + "/.local/share/vemo/drives";
  }
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  return root + "/" + static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

std::string NativePath(const std::string& ansiPath) {
  std::string path = ansiPath;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  std::string prefix;
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
    prefix = DriveFolder(path[0]);
    path.erase(0, 2);
    if (!path.empty() && path[0] != '/') path.insert(path.begin(), '/');
  }
  return prefix + codepage::GbkToUtf8(path);
}

std::string FromNativePath(const std::string& nativePath) {
  return codepage::Utf8ToGbk(nativePath);
}

}  // namespace paths
