// The days of the record folder tree (record_folders.h), as the housekeeping
// thread finds and deletes them.
//
// Only folders whose names read as plausible dates count: a year from 1970 to
// 2100, a month from 1 to 12, a day from 1 to 31 (names are read as their
// leading decimal digits, "2026abc" is 2026). Anything else in the tree (a year
// "1000" or "abc", stray files) is neither taken as a day nor deleted.
#pragma once

#include <compare>
#include <functional>
#include <string>

struct DevInfo;
struct RecSchemeInfo;

struct RecDate {
  int year = 9999;  // 9999-12-31: no date
  int month = 12;
  int day = 31;

  static RecDate None() { return RecDate{}; }
  bool IsNone() const { return year == 9999 && month == 12 && day == 31; }
  bool IsValid() const;  // a real calendar date
  auto operator<=>(const RecDate&) const = default;
};

namespace recorddays {

// Leading decimal digits of a folder name as a number; 0 when there are none.
int FolderNumber(const std::string& name);

// The oldest day under one storage path of a scheme, over its devices and the
// kinds Schedule, Motion, IO: in each kind folder the smallest year, its
// smallest month, that month's smallest day. Empty year and month folders met
// on the way are removed (and logged). Returns the earlier of that and `oldest`.
RecDate FindOldestDayInPath(const RecSchemeInfo& scheme, const std::string& path, RecDate oldest);

// The earliest day after `after` under one storage path of a scheme, or
// `limit` when that is earlier; removes nothing.
RecDate FindNextDayInPath(const RecSchemeInfo& scheme, const std::string& path, RecDate after, RecDate limit);

// Deletes the day's folders of every device and kind under the path. A file
// being written stays; the folders of the day number `keepDay` (today's day of
// the month) are emptied but kept. `stop` is polled between files; true
// ends the deletion early.
void DeleteDayFolders(const RecSchemeInfo& scheme, const RecDate& date, const std::string& path, int keepDay,
                      const std::function<bool()>& stop);

}  // namespace recorddays
