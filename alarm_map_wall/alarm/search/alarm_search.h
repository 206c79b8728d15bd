// The alarm log search: one device's alarms of a span of time and of chosen
// kinds, read back from the day files (alarm_log_format.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One alarm found: the log's four attribute texts, each cut to its field with
// its terminating zero (376 bytes).
struct AlarmResult {
  char DevName[256] = {};
  char DateTime[50] = {};
  char Type[20] = {};
  char AlarmInfo[50] = {};
};
static_assert(sizeof(AlarmResult) == 376);

// The kinds the search page offers: codes 1 to 8 and 12 to 17 (device on and
// offline, storage, video lost and blocked, motion, alarm inputs, free space).
constexpr int kAlarmSearchKindCount = 14;
extern const int kAlarmSearchKinds[kAlarmSearchKindCount];

struct AlarmQuery {
  std::string device;          // the log name searched for: as the alarm panel logs it
  int64_t start = 0;           // seconds since 1970, both inclusive
  int64_t end = 0;
  bool all = true;             // every kind of kAlarmSearchKinds
  std::vector<int> kinds;      // the chosen codes when not `all`
};

// Searches the day folders of "<program folder>Alarm" whose date lies from
// start's day to end's day, in the order of their dates, each in its device
// file (the mapped name, as the writer makes it): the AlarmLog elements of the
// device text whose time lies in the span and whose code is a chosen kind, in
// file order. Folders that are not dates, missing and damaged files give fewer
// results (a damaged file is logged).
std::vector<AlarmResult> SearchAlarmLogs(const std::string& programFolder, const AlarmQuery& query);
