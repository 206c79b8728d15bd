// What an alarm becomes before a window shows it: its table by device type,
// its text and sound class, its times, the relay report and the relay device.
#include <gtest/gtest.h>

#include "alarm_map_wall/alarm/alarm_intake.h"
#include "alarm_map_wall/alarm/alarm_types.h"
#include "alarm_test_env.h"
#include "relay/login/vss_info.h"

using AlarmIntakeTest = AlarmTest;

TEST_F(AlarmIntakeTest, EachTableTakesDropsAndSoundsItsCodes) {
  struct Case {
    int devType;
    int code;
    int subFlag;
    bool taken;
    const char* text;
    int soundClass;
    UINT timer;
  } cases[] = {
      {1, 0, 0, false, "", 0, 0},
      {1, 1, 0, true, "Device Disconneted", 1, 400},
      {1, 6, 0, true, "SD1 not Ready", 6, 300},
      {1, 12, 0, true, "Video lost", 12, 100},
      {1, 14, 0, true, "Motion Detect", 14, 100},
      {1, 15, 0, true, "Alarm input high to low", 15, 200},
      {1, 18, 0, true, "Record Begin", 18, 500},
      {1, 21, 0, true, "GPS", 21, 100},  // 423 to 425 belong to no code
      {1, 24, 0, true, "serial data alarms", 24, 0},
      {1, 25, 1, true, "IP address conflict", 25, 0},
      {1, 25, 0, true, "IP address conflict disappears", 25, 0},
      {1, 26, 0, false, "", 0, 0},
      {1, 27, 0, false, "", 0, 0},
      {1, -1, 0, false, "", 0, 0},
      {0, 14, 0, true, "Motion Detect", 14, 100},  // video servers use the general table
      {4, 0, 0, false, "", 0, 0},
      {4, 1, 0, true, "Disk Full", 1, 400},
      {4, 8, 0, true, "Encode Error", 8, 300},
      {4, 9, 0, false, "", 0, 0},
      {4, 10, 0, true, "Alarm In", 9, 300},
      {4, 11, 0, true, "Motion", 10, 200},
      {4, 14, 0, true, "Video block", 13, 100},
      {4, 15, 0, true, "", 0, 500},  // listed with an empty text
      {4, 1000, 0, true, "", 0, 500},
      {4, -3, 0, false, "", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.devType) + "/" + std::to_string(c.code));
    const AlarmIntake intake = TakeLocalAlarm(c.devType, Alarm(c.code, 2026, 1, 5, 10, 30, 0, c.subFlag), 0);
    EXPECT_EQ(intake.accepted, c.taken);
    if (!c.taken) continue;
    EXPECT_EQ(intake.text, c.text);
    EXPECT_EQ(intake.soundClass, c.soundClass);
    EXPECT_EQ(AlarmSoundTimer(intake.soundClass), c.timer);
  }
  // Relay peers always use the general table: an NVR code means its general kind.
  EXPECT_EQ(TakeRemoteAlarm(AlarmRecordOf(RelayAlarm(11)), 0).text, "SD2 Space Shortage");
}

TEST_F(AlarmIntakeTest, FilteredOnlineAndOfflineAlarmsAndOldDates) {
  for (int type : {1, 2}) {
    EXPECT_FALSE(TakeLocalAlarm(1, Alarm(type), 1).accepted) << type;
    EXPECT_FALSE(TakeRemoteAlarm(AlarmRecordOf(RelayAlarm(type)), 1).accepted) << type;
    EXPECT_TRUE(TakeLocalAlarm(1, Alarm(type), 0).accepted) << type;
  }
  EXPECT_TRUE(TakeLocalAlarm(1, Alarm(14), 1).accepted);

  // A local alarm dated 1980 is taken as 1990, same month, day and time; a peer's keeps its date.
  const AlarmIntake local = TakeLocalAlarm(1, Alarm(14, 1980, 3, 4, 5, 6, 7), 0);
  EXPECT_EQ(local.record.year, 1990);
  EXPECT_EQ(local.timeValue, LocalTime(1990, 3, 4, 5, 6, 7));
  EXPECT_EQ(local.timeText, "05:06:07");
  EXPECT_EQ(FormatAlarmDateTime(local.timeValue), "1990-03-04 05:06:07");
  const AlarmIntake remote = TakeRemoteAlarm(AlarmRecordOf(RelayAlarm(14, 1980, 3, 4, 5, 6, 7)), 0);
  EXPECT_EQ(remote.record.year, 1980);
  EXPECT_EQ(remote.timeValue, LocalTime(1980, 3, 4, 5, 6, 7));
}

// Past 2038-01-19 a time value needs more than 32 bits; it keeps its own time.
// Years at the ends of the range neither crash nor wrap.
TEST_F(AlarmIntakeTest, TimesPast2038AndOddYearsKeepTheirOwnTime) {
  const AlarmIntake late = TakeLocalAlarm(1, Alarm(14, 2039, 6, 1, 12, 0, 0), 0);
  EXPECT_GT(late.timeValue, int64_t{INT32_MAX});
  EXPECT_EQ(FormatAlarmDateTime(late.timeValue), "2039-06-01 12:00:00");
  EXPECT_EQ(AlarmDayText(late.timeValue), "2039-6-1");
  EXPECT_EQ(TakeLocalAlarm(1, Alarm(14, 0), 0).record.year, 1990);
  const AlarmIntake far = TakeLocalAlarm(1, Alarm(14, 65535), 0);
  EXPECT_TRUE(far.accepted);
  EXPECT_EQ(FormatAlarmDateTime(far.timeValue).substr(0, 6), "65535-");
  const AlarmIntake zero = TakeRemoteAlarm(AlarmRecordOf(RelayAlarm(14, 0)), 0);
  EXPECT_TRUE(zero.accepted);
  EXPECT_EQ(zero.timeText, "10:30:00");
  EXPECT_TRUE(TakeRemoteAlarm(AlarmRecordOf(RelayAlarm(14, INT32_MAX, 99, -5, 99, 99, 99)), 0).accepted);
  EXPECT_EQ(AlarmDayText(LocalTime(2026, 1, 5, 23, 59, 59)), "2026-1-5");
}

TEST_F(AlarmIntakeTest, TheReportNamesThisClientAndTheChannelOfAVideoServer) {
  struct Case {
    const char* name;
    int devType;
    LONG channel;
  } cases[] = {
      {"Server-3", 0, 3}, {"Server-0", 0, 0}, {"ServerA", 0, 0}, {"Cam3", 1, 0}, {"Nvr-3", 4, 0}, {"", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DevInfo dev = AddDevice(c.name, c.devType, "192.168.1.9");
    const AlarmReport report = MakeAlarmReport("00-11-22-33-44-55", dev, Alarm(14, 1990, 2, 3));
    EXPECT_EQ(report.key, "00-11-22-33-44-55:192.168.1.9");
    EXPECT_EQ(report.channel, c.channel);
    EXPECT_EQ(report.record.nYear, 1990);
    EXPECT_EQ(report.record.nType, 14);
  }
}

TEST_F(AlarmIntakeTest, ARelayDeviceIsFoundByItsMacAndIpTexts) {
  AddRelayDevice("00-11-22-33-44-55", "192.168.1.9", "A");
  RelayDevice& second = AddRelayDevice("00-11-22-33-44-55", "192.168.1.10", "B");
  EXPECT_EQ(FindRelayDevice("00-11-22-33-44-55", "192.168.1.10"), &second);
  EXPECT_EQ(FindRelayDevice("00-11-22-33-44-55", "192.168.1.1"), nullptr);
  EXPECT_EQ(FindRelayDevice("00-11-22-33-44-5", "192.168.1.9"), nullptr);
  EXPECT_EQ(FindRelayDevice("", ""), nullptr);
  EXPECT_EQ(FindRelayDevice(nullptr, "192.168.1.9"), nullptr);
}
