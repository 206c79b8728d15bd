#include "core/process_query.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "platform/paths.h"
#include "platform/window_registry.h"

namespace {

constexpr double kMemoryLimitMB = 1200.0;

std::atomic<HWND> g_mainWindow{nullptr};

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads a /proc file with plain read(): the process may end while it is read,
// and a stream would then throw instead of reporting the failure.
bool ReadText(const std::string& path, std::string& out) {
  out.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  return n == 0;
}

// A process that has ended but is not yet reaped is no longer running.
bool IsZombie(const std::string& procDir) {
  std::string stat;
  if (!ReadText(procDir + "/stat", stat)) return true;  // gone meanwhile
  const size_t close = stat.rfind(')');
  return close == std::string::npos || close + 2 >= stat.size() || stat[close + 2] == 'Z';
}

// The executable file name of a process, or empty when none can be read.
std::string ExecutableName(const std::string& procDir) {
  char target[4096];
  ssize_t n = readlink((procDir + "/exe").c_str(), target, sizeof target - 1);
  if (n > 0) {
    std::string path(target, static_cast<size_t>(n));
    static const std::string kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() &&
        path.compare(path.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0) {
      path.erase(path.size() - kDeleted.size());
    }
    return BaseName(path);
  }
  std::string text;
  if (ReadText(procDir + "/cmdline", text) && !text.empty() && text[0] != '\0') {
    return BaseName(std::string(text.c_str()));  // argv[0] ends at the first zero
  }
  if (ReadText(procDir + "/comm", text)) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
  return std::string();
}

// Which processes a name asks for: by executable name, or (a name with a
// separator) those running one program file, told by its device and inode.
class ProcessMatch {
 public:
  explicit ProcessMatch(const std::string& exeName) : name_(exeName) {
    if (exeName.find_first_of("\\/") == std::string::npos) return;
    byFile_ = true;
    struct stat st {};
    if (::stat(paths::NativePath(exeName).c_str(), &st) == 0) {
      device_ = st.st_dev;
      inode_ = st.st_ino;
      fileExists_ = true;
    }
  }
  // Nothing can match: no name, or a program file that is not there.
  bool Empty() const { return name_.empty() || (byFile_ && !fileExists_); }
  bool Matches(const std::string& procDir) const {
    if (!byFile_) return ExecutableName(procDir) == name_;
    struct stat st {};
    return ::stat((procDir + "/exe").c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
  }

 private:
  std::string name_;
  bool byFile_ = false;
  bool fileExists_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

// Calls `fn` with the id of every running process of that name until it returns false.
void ForEachProcessNamed(const char* exeName, const std::function<bool(pid_t)>& fn) {
  if (!exeName) return;
  const ProcessMatch match(exeName);
  if (match.Empty()) return;
  DIR* proc = opendir("/proc");
  if (!proc) return;
  while (dirent* entry = readdir(proc)) {
    char* end = nullptr;
    const long pid = strtol(entry->d_name, &end, 10);
    if (pid <= 0 || !end || *end != '\0') continue;
    const std::string dir = std::string("/proc/") + entry->d_name;
    if (!match.Matches(dir) || IsZombie(dir)) continue;
    if (!fn(static_cast<pid_t>(pid))) break;
  }
  closedir(proc);
}

}  // namespace

BOOL IsProcessRunning(const char* exeName) {
  bool found = false;
  ForEachProcessNamed(exeName, [&found](pid_t) {
    found = true;
    return false;
  });
  return found ? TRUE : FALSE;
}

void KillProcessByName(const char* exeName) {
  const pid_t self = getpid();
  ForEachProcessNamed(exeName, [self](pid_t pid) {
    if (pid != self) kill(pid, SIGKILL);
    return true;
  });
}

float GetProcessMemoryMB(HWND window) {
  if (!window || !IsWindow(window)) return 0;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) {
      const double kilobytes = strtod(line.c_str() + 6, nullptr);
      return static_cast<float>(kilobytes / 1024.0);
    }
  }
  return 0;
}

void SetMainWindowHandle(HWND window) { g_mainWindow.store(window); }

bool IsOverMemoryLimit(double megabytes) { return megabytes >= kMemoryLimitMB; }

BOOL IsMemoryOverLimit() {
  const HWND window = g_mainWindow.load();
  if (!window || !IsWindow(window)) return FALSE;
  return IsOverMemoryLimit(GetProcessMemoryMB(window)) ? TRUE : FALSE;
}
