// The alarm tests' surroundings: a program folder of their own (where the
// "Alarm" logs go), the program's templates, the English texts, and the device
// lists and alarm settings back at their start values afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <string>

#include "common/temp_folder.h"
#include "core/dev_info.h"
#include "gimbro/gimbro.h"
#include "pelk/pelk.h"
#include "relay/login/vss_info.h"

class AlarmTest : public ::testing::Test {
 public:
  static std::string ReadBytes(const std::string& nativePath);

 protected:
  void SetUp() override;
  void TearDown() override;

  // The program folder (native, with its trailing '/').
  const std::string& Folder() const { return folder_.Path(); }
  // A file below the program folder ("Alarm/2026-1-5/Gate.xml").
  std::string File(const std::string& name) const { return folder_.File(name); }
  static void WriteBytes(const std::string& nativePath, const std::string& bytes);
  // The program's five alarm sounds, copied into this program folder.
  void CopyAlarmSounds() const;
  // GBK bytes of a UTF-8 text.
  static std::string Gbk(const char* utf8);

  // A device record of g_lstDevInfo.
  static DevInfo& AddDevice(const char* name, int devType = 1, const char* ip = "192.168.1.20");
  // A relay server logged in with one device (its MAC and IP texts).
  static RelayDevice& AddRelayDevice(const char* mac, const char* ip, const char* name = "Peer camera");

  static GimbroAlarmRecord Alarm(int type, int year = 2026, int month = 1, int day = 5, int hour = 10, int minute = 30,
                                 int second = 0, int subFlag = 0);
  static RelayAlarmRecord RelayAlarm(int type, int year = 2026, int month = 1, int day = 5, int hour = 10,
                                     int minute = 30, int second = 0);
  // Local midnight of a day plus seconds.
  static int64_t LocalTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

 private:
  TempFolder folder_;
  std::string programFolder_;
};

// The client log's lines while it lives (a log file of its own).
class LogCapture {
 public:
  explicit LogCapture(const std::string& nativeFolder);
  ~LogCapture();
  // The lines so far that hold `text`.
  int Count(const std::string& text) const;

 private:
  std::string path_;
};
