// Snapshot file names and the manual-record folder tree.
#include <gtest/gtest.h>

#include <ctime>

#include "live/grid/capture_paths.h"
#include "platform/paths.h"

namespace {

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

TEST(CapturePaths, FoldersDefaultUnderTheProgramFolder) {
  paths::SetProgramFolder("/opt/vemo/");
  EXPECT_EQ(capturepaths::PictureFolder(""), "/opt/vemo/Picture");
  EXPECT_EQ(capturepaths::VideoFolder(""), "/opt/vemo/Video");
  EXPECT_EQ(capturepaths::VideoFolder("E:\\Rec"), "E:\\Rec");
  paths::SetProgramFolder("");
}

TEST(CapturePaths, SnapshotFileAndRecordFolderNames) {
  const std::time_t when = LocalTime(2026, 3, 7, 9, 5, 2);
  EXPECT_EQ(capturepaths::SnapshotFile("D:\\Pic", "Gate", 1, when, 42), "D:\\Pic\\Gate_20260307090502042.jpg");
  EXPECT_EQ(capturepaths::SnapshotFile("D:\\Pic\\", "Gate", 0, when, 7), "D:\\Pic\\Gate_20260307090502007.bmp");
  EXPECT_EQ(capturepaths::ManualRecordFolder("/v/Video", "Gate", when), "/v/Video\\Gate\\2026-03-07\\");
}

TEST(CapturePaths, DeviceNamesBecomeOneSafeNamePart) {
  struct Case { const char* name; const char* part; };
  const Case cases[] = {
      {"Gate 1", "Gate 1"},
      {"192.168.1.9:ch1", "192.168.1.9_ch1"},
      {"..\\..\\etc/passwd", ".._.._etc_passwd"},
      {"a*b?c\"d<e>f|g", "a_b_c_d_e_f_g"},
      {"", "_"},
      {"..", "_"},
      {"\xc3\xc5\xbf\xda", "\xc3\xc5\xbf\xda"},  // GBK text stays whole
      {"\xb5\\", "\xb5\\"},                        // a GBK trail byte that looks like '\\' is not a separator
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(capturepaths::FileNamePart(c.name), c.part);
  }
}

}  // namespace
