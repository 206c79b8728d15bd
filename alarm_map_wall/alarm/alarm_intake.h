// What the alarm panel makes of one alarm before any window shows it: whether
// it is taken, its text, sound class and times, and for a local device's
// alarm what goes to the relay peers.
#pragma once

#include <cstdint>
#include <string>

#include "alarm_map_wall/alarm/alarm_record.h"
#include "pelk/pelk.h"

struct DevInfo;
struct RelayDevice;

struct AlarmIntake {
  bool accepted = false;
  AlarmRecord record;      // as taken: a local alarm's year raised to 1990
  std::string text;        // the type's text (GBK) in the current language; may be empty
  int soundClass = 0;
  int64_t timeValue = 0;   // alarm_record.h
  std::string timeText;    // "HH:MM:SS"
};

// A local device's alarm: dated 1990 when earlier; dropped when filtered
// (filterAlarm non-zero and type 1 or 2) or when the device type's table
// drops its code (NVRs: DevType 4).
AlarmIntake TakeLocalAlarm(int devType, AlarmRecord record, int filterAlarm);
// A relay peer's alarm: the general table, no change of its date.
AlarmIntake TakeRemoteAlarm(const AlarmRecord& record, int filterAlarm);

// The report of an accepted local alarm to the relay peers: the key "%s:%s" of
// this client's MAC text and the device's IP text (at most 259 bytes), the
// channel (a video server's (DevType 0) channel is the last character of its
// DevName when that is a digit, else 0; other devices 0) and the record.
struct AlarmReport {
  std::string key;
  LONG channel = 0;
  RelayAlarmRecord record;
};
AlarmReport MakeAlarmReport(const std::string& localMac, const DevInfo& dev, const AlarmRecord& record);

// The first relay device of the logged-in relay servers (g_lstVssInfo, in
// order) whose MAC and IP texts are these; null when none is.
RelayDevice* FindRelayDevice(const char* mac, const char* ip);
