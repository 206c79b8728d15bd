// Counts of some relay calls of this process, for tests of the code that makes
// them (the relay library counts every such call, whatever its result).
#pragma once

#include <string>
#include <vector>

#include "pelk/pelk.h"

struct PelkCallCounts {
  int rspDeviceVideo = 0;
  int reportVideo = 0;
  int reportAudio = 0;
  int closeDeviceVideo = 0;
  int setMsgWnd = 0;
  int setCallbacks = 0;  // the four main-window callbacks and the real-data one
  int inviteDeviceVideo = 0;
  int loginOut = 0;
  int stopTS = 0;
  int deleteRecord = 0;  // Pelk_Delete with a non-null pointer
  int notifyUpdateDeviceList = 0;
  int startTS = 0;
  int modifyChannelCount = 0;
};

// One Pelk_ReportDeviceState call as the library received it.
struct PelkDeviceStateReport {
  std::string deviceKey;
  long channel = 0;
  long state = 0;
};

// One Pelk_ReportAlarmInfo call as the library received it.
struct PelkAlarmReport {
  std::string deviceKey;
  long channel = 0;
  RelayAlarmRecord alarm;
};

PelkCallCounts PelkTestCounts();
// The device-state reports since the last reset, oldest first.
std::vector<PelkDeviceStateReport> PelkTestDeviceStates();
// The alarm reports since the last reset, oldest first.
std::vector<PelkAlarmReport> PelkTestAlarmReports();
void PelkTestReset();
