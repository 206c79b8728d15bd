// Section 8 (AlarmLinkage): for every alarm source of the NVR, when it is
// armed and what it sets off. Integer values are kept in 8 bits (the low byte
// of the value read); arming schedules hold kArmed or kNotArmed cells.
//
// The counts say how many entries the NVR sent, so that writing the section
// back sends those entries and no empty ones.
#pragma once

#include <cstdint>

#include "harlen/link/xml/sched_cell.h"

constexpr int kIpcAlarmTypes = 3;
constexpr int kIpcAlarmChannels = 16;
constexpr int kAlarmInputs = 4;
constexpr int kSysAlarms = 6;

// Only the channel entries of this alarm type carry their recording trigger.
constexpr const char* kMotionDetect = "MotionDetect";

struct AlarmTriggers {
  uint8_t VoiceAlarm;
  uint8_t MonitorAlarm;
  uint8_t Email;
  uint8_t SMS;
  uint8_t NotifyCenter;
  uint8_t TriggerIO;
};

struct AlarmChannelEntry {
  uint8_t Enable;
  uint8_t armingEnable;
  SchedCell arming[kSchedDays][kSchedHours];
  AlarmTriggers trigger;
  uint8_t ChnNum;
  char ChnArray[17];
};

struct IpcAlarmEntry {
  char AlarmType[128];
  uint8_t channelCount;
  AlarmChannelEntry channels[kIpcAlarmChannels];
};

struct AlarmPortEntry {
  uint8_t Enable;
  char name[128];  // the input's name, edited on the alarm page; not in the section text
  uint8_t armingEnable;
  SchedCell arming[kSchedDays][kSchedHours];
  AlarmTriggers trigger;
  uint8_t ChnNum;
  char ChnArray[17];
  // The input's PTZ linkage, edited by its linkage window; not in the section text.
  uint8_t PtzChannel;
  uint8_t PtzAction;
  uint8_t PtzNumber;
};

struct SysAlarmEntry {
  char AlarmType[128];
  uint8_t VoiceAlarm;
  uint8_t MonitorAlarm;
  uint8_t NotifyCenter;
  uint8_t TriggerIO;
};

struct AlarmLinkage {
  uint8_t ipcAlarmCount;
  IpcAlarmEntry ipcAlarm[kIpcAlarmTypes];
  uint8_t inputCount;
  AlarmPortEntry inputAlarm[kAlarmInputs];
  uint8_t sysAlarmCount;
  SysAlarmEntry sysAlarm[kSysAlarms];
};
