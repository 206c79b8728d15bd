#include "alarm_map_wall/alarm/search/alarm_search.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "alarm_map_wall/alarm/log/alarm_log_format.h"
#include "alarm_map_wall/alarm/log/alarm_log_reader.h"
#include "core/fixed_text.h"
#include "platform/file_api.h"

const int kAlarmSearchKinds[kAlarmSearchKindCount] = {1, 2, 3, 4, 5, 6, 7, 8, 12, 13, 14, 15, 16, 17};

namespace {

struct DayFolder {
  int64_t date = 0;
  std::string name;
};

bool ReadInt64(const std::string& text, int64_t& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end == text.c_str()) return false;
  value = v;
  return true;
}

bool KindWanted(const AlarmQuery& query, const std::string& typeText) {
  const int code = std::atoi(typeText.c_str());
  if (query.all) return std::find(std::begin(kAlarmSearchKinds), std::end(kAlarmSearchKinds), code) != std::end(kAlarmSearchKinds);
  return std::find(query.kinds.begin(), query.kinds.end(), code) != query.kinds.end();
}

}  // namespace

std::vector<AlarmResult> SearchAlarmLogs(const std::string& programFolder, const AlarmQuery& query) {
  std::vector<AlarmResult> results;
  const int64_t firstDay = AlarmDayStartOf(query.start);
  const int64_t lastDay = AlarmDayStartOf(query.end);
  if (query.device.empty() || firstDay == -1 || lastDay == -1) return results;

  std::vector<DayFolder> days;
  fileapi::FindFiles(AlarmFolder(programFolder) + "\\*.*", [&](const fileapi::FoundEntry& entry) {
    int year = 0, month = 0, day = 0;
    if (!entry.IsDirectory() || !ParseAlarmDayName(entry.Name(), year, month, day)) return;
    const int64_t date = AlarmDayStart(year, month, day);
    if (date != -1 && date >= firstDay && date <= lastDay) days.push_back({date, entry.Name()});
  });
  std::stable_sort(days.begin(), days.end(), [](const DayFolder& a, const DayFolder& b) { return a.date < b.date; });

  std::vector<AlarmLogRecord> records;
  for (const DayFolder& day : days) {
    records.clear();
    ReadAlarmDayFile(AlarmDayFile(programFolder, day.name, query.device), records);
    for (const AlarmLogRecord& record : records) {
      int64_t time = 0;
      if (record.DevName != query.device || !ReadInt64(record.DateTime, time)) continue;
      if (time < query.start || time > query.end || !KindWanted(query, record.Type)) continue;
      AlarmResult& result = results.emplace_back();
      CopyFixedText(result.DevName, record.DevName.c_str());
      CopyFixedText(result.DateTime, record.DateTime.c_str());
      CopyFixedText(result.Type, record.Type.c_str());
      CopyFixedText(result.AlarmInfo, record.AlarmInfo.c_str());
    }
  }
  return results;
}
