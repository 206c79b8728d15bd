#include "alarm_map_wall/alarm/alarm_record.h"

#include <cstdio>
#include <ctime>

#include "pelk/pelk.h"

AlarmRecord AlarmRecordOf(const RelayAlarmRecord& a) {
  AlarmRecord r;
  r.year = a.nYear;
  r.month = a.nMonth;
  r.day = a.nDay;
  r.spare = a.nSpare;
  r.hour = a.nHour;
  r.minute = a.nMinute;
  r.second = a.nSecond;
  r.type = a.nType;
  r.subFlag = a.nSubFlag;
  return r;
}

RelayAlarmRecord RelayRecordOf(const AlarmRecord& a) {
  RelayAlarmRecord r;
  r.nYear = a.year;
  r.nMonth = a.month;
  r.nDay = a.day;
  r.nSpare = a.spare;
  r.nHour = a.hour;
  r.nMinute = a.minute;
  r.nSecond = a.second;
  r.nType = a.type;
  r.nSubFlag = a.subFlag;
  return r;
}

namespace {

std::tm LocalTm(const AlarmRecord& a) {
  std::tm tm{};
  // The year is counted from 1900 in 64 bits' worth of int: years near the
  // ends of the 32-bit range must not wrap.
  const int64_t years = static_cast<int64_t>(a.year) - 1900;
  tm.tm_year = years < INT32_MIN ? INT32_MIN : years > INT32_MAX ? INT32_MAX : static_cast<int>(years);
  tm.tm_mon = a.month - 1;
  tm.tm_mday = a.day;
  tm.tm_hour = a.hour;
  tm.tm_min = a.minute;
  tm.tm_sec = a.second;
  tm.tm_isdst = -1;
  return tm;
}

bool LocalOf(int64_t value, std::tm& out) {
  const std::time_t t = static_cast<std::time_t>(value);
  return localtime_r(&t, &out) != nullptr;
}

}  // namespace

int64_t AlarmTimeValue(const AlarmRecord& alarm) {
  std::tm tm = LocalTm(alarm);
  return static_cast<int64_t>(std::mktime(&tm));
}

std::string AlarmTimeText(const AlarmRecord& alarm) {
  std::tm tm = LocalTm(alarm);
  char text[64];
  if (std::mktime(&tm) == static_cast<std::time_t>(-1)) {
    // Not a time the system can express: the record's own words.
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", alarm.hour, alarm.minute, alarm.second);
  } else {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  }
  return text;
}

std::string FormatAlarmDateTime(int64_t value) {
  std::tm tm{};
  if (!LocalOf(value, tm)) return {};
  char text[80];
  return std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm) ? text : std::string();
}

std::string AlarmDayText(int64_t value) {
  std::tm tm{};
  if (!LocalOf(value, tm)) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%lld-%d-%d", static_cast<long long>(tm.tm_year) + 1900, tm.tm_mon + 1,
                tm.tm_mday);
  return text;
}
