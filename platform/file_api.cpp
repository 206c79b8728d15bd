#include "platform/file_api.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <limits>
#include <mutex>
#include <set>
#include <utility>

#include "platform/paths.h"

namespace fileapi {

FILE* Open(const std::string& path, const char* mode) {
  return std::fopen(paths::NativePath(path).c_str(), mode);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(paths::NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(paths::NativePath(path).c_str(), &st) == 0;
}

bool MakeDirectory(const std::string& path) {
  const std::string native = paths::NativePath(path);
  if (::mkdir(native.c_str(), 0755) == 0) return true;
  struct stat st {};
  return errno == EEXIST && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Rename(const std::string& from, const std::string& to) {
  return ::rename(paths::NativePath(from).c_str(), paths::NativePath(to).c_str()) == 0;
}

bool Remove(const std::string& path) {
  return ::unlink(paths::NativePath(path).c_str()) == 0;
}

int64_t Size(const std::string& path) {
  struct stat st {};
  if (::stat(paths::NativePath(path).c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

namespace {

// The write numbers of this process's writes in progress (the <n> of their
// temporaries' names): a clean-up never takes them for leftovers of an earlier
// process that had the same process id.
std::mutex g_writesMutex;
std::set<unsigned> g_writesInProgress;

class WriteInProgress {
 public:
  explicit WriteInProgress(unsigned number) : number_(number) {
    std::lock_guard<std::mutex> lock(g_writesMutex);
    g_writesInProgress.insert(number_);
  }
  ~WriteInProgress() {
    std::lock_guard<std::mutex> lock(g_writesMutex);
    g_writesInProgress.erase(number_);
  }
  WriteInProgress(const WriteInProgress&) = delete;
  WriteInProgress& operator=(const WriteInProgress&) = delete;

 private:
  unsigned number_;
};

constexpr char kTempMark[] = ".tmp";

bool AllDigits(const std::string& text) {
  return !text.empty() && text.size() <= 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The process id and write number of a temporary's name "<base>.tmp<pid>-<n>";
// false when the name is not of that form.
bool ReadTempName(const std::string& name, const std::string& base, pid_t* pid, unsigned long long* number) {
  const std::string head = base + kTempMark;
  if (name.size() <= head.size() || name.compare(0, head.size(), head) != 0) return false;
  const std::string tail = name.substr(head.size());
  const size_t dash = tail.find('-');
  if (dash == std::string::npos || !AllDigits(tail.substr(0, dash)) || !AllDigits(tail.substr(dash + 1))) return false;
  const long long owner = std::stoll(tail.substr(0, dash));
  if (owner <= 0 || owner > std::numeric_limits<pid_t>::max()) return false;
  *pid = static_cast<pid_t>(owner);
  *number = std::stoull(tail.substr(dash + 1));
  return true;
}

bool ProcessGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

bool WriteWhole(const std::string& path, const void* data, size_t size) {
  static std::atomic<unsigned> counter{0};
  const std::string native = paths::NativePath(path);
  const unsigned number = counter.fetch_add(1);
  const WriteInProgress busy(number);
  const std::string temp = native + kTempMark + std::to_string(::getpid()) + "-" + std::to_string(number);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const char* p = static_cast<const char*>(data);
  size_t left = size;
  bool ok = true;
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(temp.c_str(), native.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

std::vector<std::string> RemoveStaleWriteTemporaries(const std::string& path) {
  std::vector<std::string> removed;
  const std::string native = paths::NativePath(path);
  const size_t cut = native.find_last_of('/');
  const std::string folder = cut == std::string::npos ? std::string(".") : native.substr(0, cut + 1);
  const std::string base = cut == std::string::npos ? native : native.substr(cut + 1);
  if (base.empty()) return removed;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return removed;
  const pid_t self = ::getpid();
  while (const dirent* d = ::readdir(dir)) {
    const std::string name = d->d_name;
    pid_t owner = 0;
    unsigned long long number = 0;
    if (!ReadTempName(name, base, &owner, &number)) continue;
    const std::string temp = (cut == std::string::npos ? std::string() : folder) + name;
    struct stat st {};
    if (::lstat(temp.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    // Held while deciding and removing, so a write of this process that starts
    // with a reused name is either seen as busy or starts after the removal.
    std::lock_guard<std::mutex> lock(g_writesMutex);
    const bool stale = owner == self ? number > std::numeric_limits<unsigned>::max() ||
                                           g_writesInProgress.count(static_cast<unsigned>(number)) == 0
                                     : ProcessGone(owner);
    if (stale && ::unlink(temp.c_str()) == 0) removed.push_back(paths::FromNativePath(name));
  }
  ::closedir(dir);
  return removed;
}

bool LockForWriting(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool RemoveUnlessInUse(const std::string& path, int* error) {
  const std::string native = paths::NativePath(path);
  const int fd = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    if (error) *error = EBUSY;
    return false;
  }
  const bool removed = ::unlink(native.c_str()) == 0;
  const int unlinkError = errno;
  if (fd >= 0) ::close(fd);
  if (!removed && error) *error = unlinkError;
  return removed;
}

bool ReadRest(FILE* file, std::string& out) {
  out.clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
  return !std::ferror(file);
}

bool ReadWhole(const std::string& path, std::string& out) {
  out.clear();
  FILE* f = Open(path, "rb");
  if (!f) return false;
  const bool ok = ReadRest(f, out);
  std::fclose(f);
  return ok;
}

int64_t FoundEntry::Size() const {
  struct stat st {};
  if (::fstatat(folderFd_, nativeName_.c_str(), &st, 0) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool FindFiles(const std::string& pattern, const std::function<void(const FoundEntry&)>& onEntry) {
  const size_t cut = pattern.find_last_of("\\/");
  const std::string folder = cut == std::string::npos ? std::string(".") : pattern.substr(0, cut + 1);
  const std::string mask = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  const bool all = mask == "*" || mask == "*.*";
  const std::string nativeMask = all ? std::string() : paths::NativePath(mask);

  DIR* dir = ::opendir(paths::NativePath(folder).c_str());
  if (!dir) return false;
  FoundEntry entry;
  entry.folderFd_ = ::dirfd(dir);
  while (const dirent* d = ::readdir(dir)) {
    const char* name = d->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
    if (!all && ::fnmatch(nativeMask.c_str(), name, 0) != 0) continue;
    entry.nativeName_ = name;
    entry.name_ = paths::FromNativePath(entry.nativeName_);
    if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
      struct stat st {};
      entry.isDirectory_ = ::fstatat(entry.folderFd_, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    } else {
      entry.isDirectory_ = d->d_type == DT_DIR;
    }
    onEntry(entry);
  }
  ::closedir(dir);
  return true;
}

}  // namespace fileapi
