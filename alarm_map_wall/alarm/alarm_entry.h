// One alarm of a local device as the alarm panel lists it, and the start of
// the device's alarm blinking.
#pragma once

#include <string>

#include "core/dev_info.h"
#include "gimbro/gimbro.h"

struct AlarmEntry {
  std::string DevName;
  std::string Time;  // "YYYY-MM-DD hh:mm:ss"
  int nType = 0;     // alarm type code
};

AlarmEntry MakeAlarmEntry(const DevInfo& dev, const GimbroAlarmRecord& alarm);

// Sets the device's alarm-blink flag and zeroes its blink counter; the main
// window's blink timer does the rest.
void StartAlarmBlink(DevInfo& dev);
