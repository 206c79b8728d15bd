// The alarm log files: where they lie and what their lines hold.
//
// Under the program folder, "Alarm\<day>\<device log name>.xml": one folder per
// day named "%d-%d-%d" (year, month, day without leading zeros) after the day
// the alarms were written, one file per device. A file is GBK text with line
// feeds: first the declaration line
//   <?xml version="1.0" encoding="gb2312" />
// then one line per alarm, in the order written, and no root element:
//   <AlarmLog DevName="Gate" DateTime="1767600000" Type="14" AlarmInfo="Motion Detect" />
// DateTime is the alarm time value in seconds since 1970 (signed decimal, all
// 64 bits: a time past 2038 stays its own), Type the code as received,
// AlarmInfo the type's text in the language of the moment it was written.
//
// A device's log name is a local device's DevName, or "MAC_IP" for a relay
// peer's device. The file's name maps what cannot stand in one name of the day
// folder: ':', '/' and '\' become '_', and so do the dots of any run of two or
// more, so that a name never reaches outside its day folder; the DevName
// attribute keeps the name as it is. A GBK character's second byte is never
// mapped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr char kAlarmLogDeclaration[] = "<?xml version=\"1.0\" encoding=\"gb2312\" />";

// One alarm as the log holds it.
struct AlarmLogEntry {
  std::string DevName;    // the device's log name (GBK)
  int64_t DateTime = 0;   // the alarm time value
  int Type = 0;           // the code as received
  std::string AlarmInfo;  // the type's text (GBK)
};

// The entry's line, without its line feed. '&', '<', '>' and '"' in the texts
// are written as entities, and control characters (a line feed in a name) as
// character references, so that one alarm is always one line.
std::string AlarmLogLine(const AlarmLogEntry& entry);

// A relay device's log name: "%s_%s" of its MAC and IP texts, at most 259 bytes.
std::string RelayAlarmLogName(const char* mac, const char* ip);
// The file name (without ".xml") of a device log name, mapped as above.
std::string AlarmLogFileName(std::string_view devLogName);

// "<program folder>Alarm" (the program folder ends with its separator).
std::string AlarmFolder(const std::string& programFolder);
// "<program folder>Alarm\<day text>".
std::string AlarmDayFolder(const std::string& programFolder, const std::string& dayText);
// "<program folder>Alarm\<day text>\<mapped log name>.xml".
std::string AlarmDayFile(const std::string& programFolder, const std::string& dayText, std::string_view devLogName);

// A day folder's name split at its first '-' into the year and the rest, the
// rest at its next '-' into month and day, each read as a decimal integer (a
// part that is not a number reads 0). False for a name without '-'.
bool ParseAlarmDayName(std::string_view name, int& year, int& month, int& day);
// Midnight of that local day in seconds since 1970; -1 when it is not a date
// (a part is 0 or out of its range).
int64_t AlarmDayStart(int year, int month, int day);
// Midnight of the local day of a time value; -1 when the system cannot express it.
int64_t AlarmDayStartOf(int64_t value);
