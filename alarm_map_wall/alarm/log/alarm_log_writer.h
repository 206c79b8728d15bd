// Writing the alarm log files (alarm_log_format.h): appending a day file's
// lines, and deleting the day folders older than 15 days.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Appends lines (each without its line feed) to a day file, in one opening of
// the file: a file that is new or empty gets the declaration line first; a
// file whose last line was cut (a crash mid-write) gets a line feed first, so
// no earlier line is joined to a new one. The folder must exist. When a write
// fails (a full disk) the file is cut back to what it held, so it never ends
// in a part of a line, and false comes back with the reason in *error.
bool AppendAlarmLines(const std::string& file, const std::vector<std::string>& lines, std::string* error);

// The day folders older than 15 days: every folder of "<program folder>Alarm"
// whose name reads as a date (ParseAlarmDayName) whose midnight is not later
// than now minus 15 whole days is deleted with all it holds; other names
// ("backup") and names that are not dates are left alone. A folder that is a
// symbolic link loses the link only. Returns the names deleted.
std::vector<std::string> PurgeAlarmDays(const std::string& programFolder, int64_t now);

constexpr int64_t kAlarmLogKeepSeconds = 15 * 24 * 3600;
