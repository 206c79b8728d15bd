#include "alarm_map_wall/alarm/alarm_entry.h"

#include <cstdio>
#include <cstring>

AlarmEntry MakeAlarmEntry(const DevInfo& dev, const GimbroAlarmRecord& alarm) {
  char time[64];
  std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d", alarm.year, alarm.month, alarm.day,
                alarm.hour, alarm.minute, alarm.second);
  return {std::string(dev.DevName, strnlen(dev.DevName, sizeof dev.DevName)), time, alarm.type};
}

void StartAlarmBlink(DevInfo& dev) {
  dev.bAlarmFlag = 1;
  dev.nAlarmBlinkCount = 0;
}
