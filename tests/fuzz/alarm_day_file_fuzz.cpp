// An alarm log day file of arbitrary bytes (damaged, cut, another encoding) is
// read whole or line by line without crashing; whatever it holds, the alarms
// it gives are written again by the log worker and read back unchanged, and a
// device name made of the bytes never names a file outside its day folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "alarm_map_wall/alarm/alarm_record.h"
#include "alarm_map_wall/alarm/log/alarm_log_format.h"
#include "alarm_map_wall/alarm/log/alarm_log_queue.h"
#include "alarm_map_wall/alarm/log/alarm_log_reader.h"
#include "common/temp_folder.h"
#include "platform/file_api.h"
#include "platform/paths.h"

namespace {

const TempFolder& Folder() {
  static TempFolder folder;
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string program = paths::FromNativePath(Folder().Path());
  const std::string day = program + "Alarm/2026-1-5";
  fileapi::MakeDirectory(program + "Alarm");
  fileapi::MakeDirectory(day);
  const std::string file = day + "/Fuzz.xml";
  fileapi::WriteWhole(file, bytes.data(), bytes.size());
  std::vector<AlarmLogRecord> records;
  ReadAlarmDayFile(file, records);
  fileapi::Remove(file);

  // The name: one file inside the day folder.
  const std::string name = AlarmLogFileName(bytes.substr(0, 200));
  if (name.find('/') != std::string::npos || name.find("..") != std::string::npos) std::abort();

  // What was read goes out and comes back as it was (names that are not empty).
  AlarmLogQueue::Options options;
  options.programFolder = program;
  options.clock = [] { return int64_t{1767610000}; };
  AlarmLogQueue queue(options);
  size_t written = 0;
  for (const AlarmLogRecord& record : records) {
    if (record.DevName.empty() || record.DevName.find('\0') != std::string::npos) continue;
    queue.Push({"Again", std::atoll(record.DateTime.c_str()), std::atoi(record.Type.c_str()), record.DevName});
    ++written;
  }
  queue.Save();
  std::vector<AlarmLogRecord> again;
  const std::string againFile = AlarmDayFile(program, AlarmDayText(1767610000), "Again");
  ReadAlarmDayFile(againFile, again);
  fileapi::Remove(againFile);
  if (again.size() != written) std::abort();
  for (size_t i = 0, j = 0; i < records.size(); ++i) {
    if (records[i].DevName.empty() || records[i].DevName.find('\0') != std::string::npos) continue;
    if (again[j++].AlarmInfo != records[i].DevName) std::abort();
  }
  return 0;
}
