// Reading an alarm log day file (alarm_log_format.h) back: its AlarmLog
// elements' four attributes as text, in file order.
#pragma once

#include <string>
#include <vector>

struct AlarmLogRecord {
  std::string DevName;
  std::string DateTime;
  std::string Type;
  std::string AlarmInfo;
};

enum class AlarmDayRead {
  kMissing,     // no such file
  kRead,        // the whole file read as XML
  kRecovered,   // not XML as a whole (cut by a crash, damaged): its good lines were read one by one
  kUnreadable,  // nothing could be read
};

// Reads the file: a declaration (either form) and a flat list of elements,
// those not named AlarmLog skipped. A file that does not load whole is read
// line by line, each line that holds an AlarmLog element taken; a damaged
// file gets one log line. The entities and character references of the texts
// are decoded.
AlarmDayRead ReadAlarmDayFile(const std::string& path, std::vector<AlarmLogRecord>& out);
