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
std::string g_driveRootOverride;
std::string g_configHomeOverride;

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

const char* Set(const EnvLookup& env, const char* name) {
  const char* value = env(name);
  return value != nullptr && *value != '\0' ? value : nullptr;
}

std::string Home(const EnvLookup& env) {
  const char* home = Set(env, "HOME");
  return home != nullptr ? home : "/tmp";
}

// The override when one is set, else `fallback()`.
template <class Fn>
std::string Overridden(const std::string& override, Fn fallback) {
  {
    std::lock_guard<std::mutex> lock(g_folderMutex);
    if (!override.empty()) return override;
  }
  return fallback();
}

}  // namespace

std::string ProgramFile() {
  std::vector<char> buffer(4096);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return std::string();
  return FromNativePath(std::string(buffer.data(), static_cast<size_t>(n)));
}

std::string ProgramFolder() {
  return Overridden(g_folderOverride, [] {
    std::string file = ProgramFile();
    size_t slash = file.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : file.substr(0, slash + 1);
  });
}

void SetProgramFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_folderMutex);
  g_folderOverride = folder.empty() ? std::string() : WithTrailingSlash(folder);
}

const char* ProcessEnv(const char* name) { return std::getenv(name); }

std::string DriveRoot(const EnvLookup& env) {
  if (const char* root = Set(env, "VEMO_DRIVE_ROOT")) return WithoutTrailingSlash(root);
  if (const char* data = Set(env, "XDG_DATA_HOME")) return WithoutTrailingSlash(std::string(data) + "/vemo/drives");
  return WithoutTrailingSlash(Home(env) + "/.local/share/vemo/drives");
}

std::string DriveRoot() {
  return Overridden(g_driveRootOverride, [] { return DriveRoot(ProcessEnv); });
}

void SetDriveRoot(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_folderMutex);
  g_driveRootOverride = folder.empty() ? std::string() : WithoutTrailingSlash(folder);
}

std::string DriveFolder(char letter) {
  return DriveRoot() + "/" + static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

std::string ConfigHome(const EnvLookup& env) {
  if (const char* config = Set(env, "XDG_CONFIG_HOME")) return WithoutTrailingSlash(config);
  return WithoutTrailingSlash(Home(env) + "/.config");
}

std::string ConfigHome() {
  return Overridden(g_configHomeOverride, [] { return ConfigHome(ProcessEnv); });
}

void SetConfigHome(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_folderMutex);
  g_configHomeOverride = folder.empty() ? std::string() : WithoutTrailingSlash(folder);
}

std::string ChildPath(const std::string& folder, const std::string& name) {
  // Walk the GBK text: a byte from 0x81 up starts a two-byte character.
  bool endsWithSeparator = false;
  for (size_t i = 0; i < folder.size(); ++i) {
    if (static_cast<unsigned char>(folder[i]) >= 0x81 && i + 1 < folder.size()) {
      ++i;
      endsWithSeparator = false;
    } else {
      endsWithSeparator = folder[i] == '\\' || folder[i] == '/';
    }
  }
  return endsWithSeparator ? folder + name : folder + '\\' + name;
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
