#include "records/recording/record_days.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/rec_scheme.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "records/recording/record_folders.h"

namespace fs = std::filesystem;

bool RecDate::IsValid() const {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

namespace recorddays {
namespace {

constexpr const char* kKinds[] = {"Schedule", "Motion", "IO"};
constexpr int kFirstYear = 1970;
constexpr int kLastYear = 2100;

struct Entry {
  std::string name;  // ANSI
  bool folder = false;
};

// The entries of a folder (ANSI program path), without following links.
std::vector<Entry> List(const std::string& folder) {
  std::vector<Entry> entries;
  std::error_code error;
  fs::directory_iterator it(paths::NativePath(folder), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    const fs::file_status status = it->symlink_status(error);
    if (error) break;
    entries.push_back({paths::FromNativePath(it->path().filename().string()), fs::is_directory(status)});
  }
  return entries;
}

// The numbers of the sub-folders that lie in [low, high], ascending.
std::vector<int> NumberedFolders(const std::string& folder, int low, int high) {
  std::vector<int> numbers;
  for (const Entry& entry : List(folder)) {
    if (!entry.folder) continue;
    const int number = FolderNumber(entry.name);
    if (number >= low && number <= high) numbers.push_back(number);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

void RemoveEmptyFolder(const std::string& folder) {
  const bool removed = ::rmdir(paths::NativePath(folder).c_str()) == 0;
  WriteLog(6, "Remove empty directory: %s, ret=%d", folder.c_str(), removed ? 1 : 0);
}

std::string Child(const std::string& folder, int number) { return folder + "\\" + std::to_string(number); }

template <class Visit>
void ForEachKindFolder(const RecSchemeInfo& scheme, const std::string& path, Visit visit) {
  if (path.empty()) return;
  for (const char* kind : kKinds) {
    for (const DevInfo& entry : scheme.lstDev) {
      const std::string device = RecordDeviceFolder(entry);
      if (device.empty()) continue;
      visit(RecordKindFolder(path, device, kind));
    }
  }
}

// Deletes a folder's content (files in use stay) and then the folder, unless
// keep says otherwise. False when something stayed.
bool DeleteFolderTree(const std::string& folder, bool keep, const std::function<bool()>& stop) {
  bool all = true;
  for (const Entry& entry : List(folder)) {
    if (entry.name == "." || entry.name == "..") continue;
    if (stop()) return false;
    const std::string path = folder + "\\" + entry.name;
    if (entry.folder) {
      all = DeleteFolderTree(path, false, stop) && all;
      continue;
    }
    int error = 0;
    if (fileapi::RemoveUnlessInUse(path, &error)) {
      WriteLog(6, "CRecFileManager: delete file = %s", path.c_str());
    } else {
      WriteLog(6, "CRecFileManager: delete file failed = %s . error code %d ", path.c_str(), error);
      all = false;
    }
  }
  if (keep) return all;
  if (::rmdir(paths::NativePath(folder).c_str()) == 0) {
    WriteLog(6, "CRecFileManager: remove directory = %s", folder.c_str());
    return all;
  }
  WriteLog(6, "CRecFileManager: remove directory failed = %s . error code %d", folder.c_str(), errno);
  return false;
}

}  // namespace

int FolderNumber(const std::string& name) {
  long value = 0;
  for (char c : name) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    value = value * 10 + (c - '0');
    if (value > 1000000) return 0;  // no date has such a number
  }
  return static_cast<int>(value);
}

RecDate FindOldestDayInPath(const RecSchemeInfo& scheme, const std::string& path, RecDate oldest) {
  ForEachKindFolder(scheme, path, [&](const std::string& kindFolder) {
    const std::vector<int> years = NumberedFolders(kindFolder, kFirstYear, kLastYear);
    if (years.empty()) return;
    RecDate date{years.front(), 12, 31};
    const std::string yearFolder = Child(kindFolder, date.year);
    const std::vector<int> months = NumberedFolders(yearFolder, 1, 12);
    if (months.empty()) {
      RemoveEmptyFolder(yearFolder);
    } else {
      date.month = months.front();
      const std::string monthFolder = Child(yearFolder, date.month);
      const std::vector<int> days = NumberedFolders(monthFolder, 1, 31);
      if (days.empty()) {
        RemoveEmptyFolder(monthFolder);
      } else {
        date.day = days.front();
      }
    }
    if (date.IsValid() && date < oldest) oldest = date;
  });
  return oldest;
}

RecDate FindNextDayInPath(const RecSchemeInfo& scheme, const std::string& path, RecDate after, RecDate limit) {
  ForEachKindFolder(scheme, path, [&](const std::string& kindFolder) {
    for (int year : NumberedFolders(kindFolder, std::max(after.year, kFirstYear), std::min(limit.year, kLastYear))) {
      const std::string yearFolder = Child(kindFolder, year);
      for (int month : NumberedFolders(yearFolder, 1, 12)) {
        for (int day : NumberedFolders(Child(yearFolder, month), 1, 31)) {
          const RecDate date{year, month, day};
          if (!date.IsValid() || date <= after) continue;
          if (date < limit) limit = date;
          return;  // the first valid day after `after` in this kind folder
        }
        if (RecDate{year, month, 31} > limit) return;
      }
    }
  });
  return limit;
}

void DeleteDayFolders(const RecSchemeInfo& scheme, const RecDate& date, const std::string& path, int keepDay,
                      const std::function<bool()>& stop) {
  ForEachKindFolder(scheme, path, [&](const std::string& kindFolder) {
    if (stop()) return;
    const std::string folder = Child(Child(Child(kindFolder, date.year), date.month), date.day);
    if (!fileapi::IsDirectory(folder)) return;
    WriteLog(6, "delete %s", folder.c_str());
    DeleteFolderTree(folder, date.day == keepDay, stop);
  });
}

}  // namespace recorddays
