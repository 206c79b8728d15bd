#include "records/recording/rec_file_manager.h"

#include <utility>
#include <vector>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/rec_scheme.h"
#include "records/recording/rec_scheme_rules.h"

using recrules::StoragePath;

namespace {

#define LOW_SPACE "CRecFileManager:the storage space less than 20G,delete the old record file..."

// Which free figures add up, by which storage paths share a drive.
enum class Row { kThree, kOneAndThree, kOneAndTwo, kOne };

bool Overwrites(const RecSchemeInfo* scheme) { return scheme && scheme->OnOff != 0 && scheme->StorageScheme == 1; }

}  // namespace

struct CRecFileManager::Drives {
  std::string path[3];
  bool usable[3] = {};  // set, and its free space measured at the start of the cycle
  uint64_t freeBytes[3] = {};
};

CRecFileManager::CRecFileManager(HWND, IRecEnvironment* env)
    : CRecWorker(kCycleMs, "CRecFileManager: Start record file manager thread.", "",
                 "CRecFileManager: Forcing killing record file manager thread."),
      m_env(env ? *env : SystemRecEnvironment()) {}

CRecFileManager::~CRecFileManager() { StopThread(); }

void CRecFileManager::Cycle() {
  CsLock lock(&g_csAppData);
  for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) {
    if (StopRequested()) return;
    if (Overwrites(scheme)) CleanScheme(*scheme);
  }
}

// The first measurement leaves a path whose drive cannot be measured out of
// the cycle; later ones keep the previous figure.
void CRecFileManager::Measure(const RecSchemeInfo& scheme, Drives& drives, bool first) {
  for (int i = 0; i < 3; ++i) {
    if (first) drives.path[i] = StoragePath(scheme, i + 1);
    if (drives.path[i].empty() || (!first && !drives.usable[i])) continue;
    uint64_t bytes = 0;
    if (m_env.FreeBytes(drives.path[i], &bytes)) {
      drives.freeBytes[i] = bytes;
      drives.usable[i] = true;
    } else if (first) {
      WriteLog(3, "CRecFileManager: Can't read the free space of the storage path, skipped this cycle. SchemeName=%s, StoragePath=%s",
               scheme.SchemeName, drives.path[i].c_str());
    }
  }
}

template <class Visit>
void CRecFileManager::ForEachPathOnDrives(const Drives& drives, Visit visit) {
  std::vector<std::pair<const RecSchemeInfo*, std::string>> visited;
  for (int i = 0; i < 3; ++i) {
    if (!drives.usable[i]) continue;
    for (const RecSchemeInfo* other : g_lstRecSchemeInfo) {
      if (!Overwrites(other)) continue;
      for (int n = 1; n <= 3; ++n) {
        const std::string path = StoragePath(*other, n);
        if (path.empty() || (path != drives.path[i] && !m_env.SameDrive(drives.path[i], path))) continue;
        const std::pair<const RecSchemeInfo*, std::string> key{other, path};
        bool seen = false;
        for (const auto& each : visited) seen = seen || each == key;
        if (seen) continue;
        visited.push_back(key);
        visit(*other, path);
      }
    }
  }
}

RecDate CRecFileManager::FindOldestRecordDay(const RecSchemeInfo& scheme) {
  Drives drives;
  Measure(scheme, drives, true);
  return OldestRecordDay(drives);
}

RecDate CRecFileManager::OldestRecordDay(const Drives& drives) {
  RecDate oldest = RecDate::None();
  ForEachPathOnDrives(drives, [&](const RecSchemeInfo& other, const std::string& path) {
    oldest = recorddays::FindOldestDayInPath(other, path, oldest);
  });
  return oldest;
}

RecDate CRecFileManager::NextRecordDay(const Drives& drives, const RecDate& after) {
  RecDate next = RecDate::None();
  ForEachPathOnDrives(drives, [&](const RecSchemeInfo& other, const std::string& path) {
    next = recorddays::FindNextDayInPath(other, path, after, next);
  });
  return next;
}

void CRecFileManager::DeleteRecordDay(const Drives& drives, const RecDate& date, int keepDay) {
  ForEachPathOnDrives(drives, [&](const RecSchemeInfo& other, const std::string& path) {
    recorddays::DeleteDayFolders(other, date, path, keepDay, [this] { return StopRequested(); });
  });
}

void CRecFileManager::CleanScheme(const RecSchemeInfo& scheme) {
  Drives drives;
  Measure(scheme, drives, true);
  // Two paths share a drive when both are left out, or both are usable and on one file system.
  auto same = [&](int a, int b) {
    if (!drives.usable[a] || !drives.usable[b]) return drives.usable[a] == drives.usable[b];
    return drives.path[a] == drives.path[b] || m_env.SameDrive(drives.path[a], drives.path[b]);
  };
  const bool d12 = same(0, 1), d13 = same(0, 2), d23 = same(1, 2);
  Row row = Row::kOne;
  if (!d12 && !d13 && !d23) row = Row::kThree;
  else if (d12 && !d13) row = Row::kOneAndThree;
  else if (d13 && !d12) row = Row::kOneAndTwo;
  else if (!d12 && d23) row = Row::kOneAndTwo;
  const uint64_t* f = drives.freeBytes;
  auto sum = [&] {
    switch (row) {
      case Row::kThree: return f[0] + f[1] + f[2];
      case Row::kOneAndThree: return f[0] + f[2];
      case Row::kOneAndTwo: return f[0] + f[1];
      case Row::kOne: return f[0];
    }
    return f[0];
  };
  auto log = [&] {
    const auto b = [&](int i) { return static_cast<unsigned long long>(f[i]); };
    if (row == Row::kThree || row == Row::kOneAndThree) {
      WriteLog(6, LOW_SPACE "disk1FreeBytes=%llu,disk2FreeBytes=%llu,disk3FreeBytes=%llu", b(0), b(1), b(2));
    } else if (row == Row::kOneAndTwo) {
      WriteLog(6, LOW_SPACE "disk1FreeBytes=%llu,disk2FreeBytes=%llu", b(0), b(1));
    } else {
      WriteLog(6, LOW_SPACE "diskFreeBytes=%llu", b(0));
    }
  };
  if (sum() / kGiB >= kMinFreeBytes / kGiB) return;

  const RecNow now = m_env.Now();
  const RecDate today{now.year, now.month, now.day};
  RecDate oldest = OldestRecordDay(drives);
  while (!oldest.IsNone() && oldest <= today && !StopRequested()) {
    log();
    DeleteRecordDay(drives, oldest, now.day);
    Measure(scheme, drives, false);
    if (sum() / kGiB >= kMinFreeBytes / kGiB) break;
    oldest = NextRecordDay(drives, oldest);
  }
}
