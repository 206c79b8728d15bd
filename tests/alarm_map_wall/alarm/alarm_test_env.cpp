#include "alarm_test_env.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/user_settings.h"
#include "alarm_map_wall/alarm/alarm_record.h"
#include "platform/dialog_template.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "relay/login/vss_info.h"

void AlarmTest::SetUp() {
  programFolder_ = paths::ProgramFolder();
  dlgtemplate::SetFolder(dlgtemplate::Folder());
  stringtable::SetFolder(paths::NativePath(programFolder_ + "Lang/"));
  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  paths::SetProgramFolder(folder_.Path());
  g_lstDevInfo.clear();
  g_lstVssInfo.clear();
  g_bAlarmAudio = 0;
  g_bFilterAlarm = 0;
}

void AlarmTest::TearDown() {
  g_lstDevInfo.clear();
  g_lstVssInfo.clear();
  g_bAlarmAudio = 0;
  g_bFilterAlarm = 0;
  FreeLanguageLibrary();
  stringtable::SetFolder("");
  paths::SetProgramFolder("");
  dlgtemplate::SetFolder("");
}

void AlarmTest::CopyAlarmSounds() const {
  for (int n = 1; n <= 5; ++n) {
    const std::string name = "Alarm" + std::to_string(n) + ".wav";
    std::filesystem::copy_file(paths::NativePath(programFolder_ + name), folder_.File(name),
                               std::filesystem::copy_options::overwrite_existing);
  }
}

std::string AlarmTest::ReadBytes(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AlarmTest::WriteBytes(const std::string& nativePath, const std::string& bytes) {
  std::ofstream(nativePath, std::ios::binary) << bytes;
}

std::string AlarmTest::Gbk(const char* utf8) {
  QStringEncoder encoder("GBK");
  return QByteArray(encoder(QString::fromUtf8(utf8))).toStdString();
}

DevInfo& AlarmTest::AddDevice(const char* name, int devType, const char* ip) {
  DevInfo dev;
  CopyFixedText(dev.DevName, name);
  CopyFixedText(dev.DevId, (std::string("id-") + name).c_str());
  CopyFixedText(dev.IPAddr, ip);
  dev.DevType = devType;
  g_lstDevInfo.push_back(dev);
  return g_lstDevInfo.back();
}

RelayDevice& AlarmTest::AddRelayDevice(const char* mac, const char* ip, const char* name) {
  if (g_lstVssInfo.empty()) {
    Vemo2Node server;
    server.nLoginHandle = 7;
    CopyFixedText(server.DevName, "Relay");
    g_lstVssInfo.push_back(server);
  }
  RelayDeviceEntry entry;
  CopyFixedText(entry.MACAddr, mac);
  CopyFixedText(entry.IPAddr, ip);
  CopyFixedText(entry.DevName, name);
  entry.nType = 1;
  entry.nState = 1;
  g_lstVssInfo.back().lstRelayDevice.emplace_back(entry);
  return g_lstVssInfo.back().lstRelayDevice.back();
}

GimbroAlarmRecord AlarmTest::Alarm(int type, int year, int month, int day, int hour, int minute, int second,
                                   int subFlag) {
  GimbroAlarmRecord alarm;
  alarm.year = year;
  alarm.month = month;
  alarm.day = day;
  alarm.hour = hour;
  alarm.minute = minute;
  alarm.second = second;
  alarm.type = type;
  alarm.subFlag = subFlag;
  return alarm;
}

RelayAlarmRecord AlarmTest::RelayAlarm(int type, int year, int month, int day, int hour, int minute, int second) {
  return RelayRecordOf(Alarm(type, year, month, day, hour, minute, second));
}

int64_t AlarmTest::LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

LogCapture::LogCapture(const std::string& nativeFolder) : path_(nativeFolder + "clientlog.txt") {
  CloseLogFile();
  OpenLogFile(paths::FromNativePath(path_).c_str());
}

LogCapture::~LogCapture() { CloseLogFile(); }

int LogCapture::Count(const std::string& text) const {
  std::istringstream lines(AlarmTest::ReadBytes(path_));
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.find(text) != std::string::npos ? 1 : 0;
  return count;
}
