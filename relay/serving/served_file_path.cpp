#include "relay/serving/served_file_path.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "core/rec_scheme.h"
#include "platform/paths.h"

namespace {

// The real path of a native path, every link followed; empty when it does not exist.
std::string RealPath(const std::string& native) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(native.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : std::string();
}

std::string RecordRoot(const char* storage) {
  if (storage[0] == '\0') return {};
  return RealPath(paths::NativePath(paths::ChildPath(storage, "Record")));
}

bool EndsWith(const std::string& text, const char* tail) {
  const std::string end(tail);
  return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool ResolveServedRecordFile(const std::string& peerPath, const std::list<RecSchemeInfo*>& schemes,
                             std::string* localPath) {
  if (!EndsWith(peerPath, ".avi")) return false;
  const std::string real = RealPath(paths::NativePath(peerPath));
  struct stat info {};
  if (real.empty() || !EndsWith(real, ".avi") || ::stat(real.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  for (const RecSchemeInfo* scheme : schemes) {
    if (!scheme) continue;
    for (const char* storage : {scheme->StoragePath1, scheme->StoragePath2, scheme->StoragePath3}) {
      const std::string root = RecordRoot(storage);
      if (root.empty() || real.compare(0, root.size() + 1, root + "/") != 0) continue;
      if (localPath) *localPath = paths::FromNativePath(real);
      return true;
    }
  }
  return false;
}
