#include "records/search/rec_day_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/fixed_text.h"
#include "records/search/rec_tree.h"

namespace {

struct Run {
  int from;
  int to;  // inclusive
  char letter;
};

std::string MapOf(std::initializer_list<Run> runs) {
  std::string map(kDayMinutes, 'C');
  for (const Run& r : runs) {
    for (int m = r.from; m <= r.to; ++m) map[m] = r.letter;
  }
  return map;
}

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

RecDayInfo Day(const char* ip, int year, int month, int day) {
  RecDayInfo info;
  CopyFixedText(info.szDevIp, ip);
  info.wYear = static_cast<WORD>(year);
  info.wMonth = static_cast<WORD>(month);
  info.byDay = static_cast<BYTE>(day);
  ResetDayMap(info.szDayMap);
  return info;
}

TEST(RecDayMap, MinutesOfEachFileFollowItsNameAndLength) {
  RecTree tree;
  const std::string storage = tree.Storage("d1");
  const std::string day = tree.DayFolder(storage, "cam", "Schedule", 2026, 3, 7);
  struct File {
    const char* name;
    int seconds;  // 0: a file that does not open
  } files[] = {
      {"235930.avi", 120},  // minute 1439 only: cut at the end of the day
      {"100030.avi", 59},   // minute 600
      {"110030.avi", 61},   // minutes 660 and 661
      {"120000.avi", 60},   // minute 720
      {"130000.avi", 0},    // listed with 0 seconds, no minute
      {"14x000.avi", 30},   // minute digits end at 'x': 14:00
      {"abcd30.avi", 1},    // no digits: hour 0, minute 0
      {"1.avi", 30},        // shorter than six characters: skipped
      {"150000.AVI", 30},   // capital extension: skipped
      {"990000.avi", 30},   // hour 99: skipped
      {"160000.avi.bak", 30},
  };
  for (const File& f : files) RecTree::WriteRecord(day + f.name, f.seconds);
  std::filesystem::create_directory(day + "170000.avi");

  RecSchemeInfo& scheme = tree.AddScheme(storage);
  scheme.lstDev.push_back(MakeDevice(1, "cam", "10.0.0.9"));
  RecDayInfo info = Day("10.0.0.9", 2026, 3, 7);
  EXPECT_EQ(CRecDayMapBuilder(tree.Schemes()).SearchLocalRecByDate(&info, 0), 1);

  EXPECT_EQ(std::string(info.szDayMap), MapOf({{1439, 1439, 'A'}, {600, 600, 'A'}, {660, 661, 'A'},
                                                {720, 720, 'A'}, {840, 840, 'A'}, {0, 0, 'A'}}));
  struct Listed {
    const char* name;
    int seconds;
    int start;
  } expected[] = {
      {"100030.avi", 59, 36030}, {"110030.avi", 61, 39630}, {"120000.avi", 60, 43200},
      {"130000.avi", 0, 46800},  {"14x000.avi", 30, 50400}, {"235930.avi", 120, 86370},
      {"abcd30.avi", 1, 30},
  };
  ASSERT_EQ(info.lstFile.size(), std::size(expected));
  auto it = info.lstFile.begin();
  for (const Listed& e : expected) {
    EXPECT_EQ(NameOf(it->strFilePath), e.name);
    EXPECT_EQ(it->strFilePath, storage + "\\Record\\cam\\Local\\Schedule\\2026\\3\\7\\" + e.name);
    EXPECT_EQ(it->nSeconds, e.seconds) << e.name;
    EXPECT_EQ(it->nStartSecond, e.start) << e.name;
    ++it;
  }
}

TEST(RecDayMap, AlarmKindsWinWithinAPathAndLaterPathsWinOverEarlierOnes) {
  RecTree tree;
  const std::string p1 = tree.Storage("d1");
  const std::string p3 = tree.Storage("d3");
  RecTree::WriteRecord(tree.DayFolder(p1, "cam", "Schedule", 2026, 3, 7) + "100000.avi", 600);  // 600..609
  RecTree::WriteRecord(tree.DayFolder(p1, "cam", "Motion", 2026, 3, 7) + "100200.avi", 120);    // 602..603
  RecTree::WriteRecord(tree.DayFolder(p1, "cam", "IO", 2026, 3, 7) + "100800.avi", 180);        // 608..610
  RecTree::WriteRecord(tree.DayFolder(p3, "cam", "Schedule", 2026, 3, 7) + "100900.avi", 60);   // 609
  RecTree::WriteRecord(tree.DayFolder(p1, "cam", "Schedule", 2026, 3, 8) + "000000.avi", 60);   // another day
  RecSchemeInfo& scheme = tree.AddScheme(p1, "", p3);
  scheme.lstDev.push_back(MakeDevice(1, "cam", "10.0.0.9"));

  RecDayInfo info = Day("10.0.0.9", 2026, 3, 7);
  CRecDayMapBuilder(tree.Schemes()).SearchLocalRecByDate(&info, 0);
  EXPECT_EQ(std::string(info.szDayMap),
            MapOf({{600, 609, 'A'}, {602, 603, 'B'}, {608, 610, 'B'}, {609, 609, 'A'}}));
  std::vector<std::string> names;
  for (const RecDayFile& f : info.lstFile) names.push_back(NameOf(f.strFilePath));
  EXPECT_EQ(names, (std::vector<std::string>{"100000.avi", "100200.avi", "100800.avi", "100900.avi"}));
}

TEST(RecDayMap, DeviceEntriesServeTheirChannels) {
  RecTree tree;
  const std::string p1 = tree.Storage("d1");
  const std::string p2 = tree.Storage("d2");
  RecTree::WriteRecord(tree.DayFolder(p1, "dvs-3", "Schedule", 2026, 3, 7) + "010000.avi", 60);  // minute 60
  RecTree::WriteRecord(tree.DayFolder(p1, "ipcam", "Schedule", 2026, 3, 7) + "020000.avi", 60);  // 120
  RecTree::WriteRecord(tree.DayFolder(p1, "N7-nvr2", "Schedule", 2026, 3, 7) + "030000.avi", 60);  // 180
  RecTree::WriteRecord(tree.DayFolder(p2, "ipcam", "Schedule", 2026, 3, 7) + "040000.avi", 60);  // 240
  RecTree::WriteRecord(tree.DayFolder(p1, "dvsx", "Schedule", 2026, 3, 7) + "050000.avi", 60);   // 300

  RecSchemeInfo& first = tree.AddScheme(p1);
  first.lstDev.push_back(MakeDevice(0, "dvs-3", "10.0.0.3"));
  first.lstDev.push_back(MakeDevice(1, "ipcam", "10.0.0.1"));
  first.lstDev.push_back(MakeDevice(1, "ipcam", "10.0.0.1"));  // listed twice: its folders once
  first.lstDev.push_back(MakeDevice(4, "nvr2", "10.0.0.4", 2, "N7"));
  first.lstDev.push_back(MakeDevice(0, "dvsx", "10.0.0.5"));  // name without a digit: channel 0
  RecSchemeInfo& second = tree.AddScheme(p2);
  second.lstDev.push_back(MakeDevice(1, "ipcam", "10.0.0.1"));

  struct Case {
    const char* ip;
    int channel;
    std::string map;
    size_t files;
  } cases[] = {
      {"10.0.0.3", 3, MapOf({{60, 60, 'A'}}), 1},
      {"10.0.0.3", 2, MapOf({}), 0},
      {"10.0.0.1", 5, MapOf({{120, 120, 'A'}, {240, 240, 'A'}}), 2},  // a camera serves any channel
      {"10.0.0.4", 2, MapOf({{180, 180, 'A'}}), 1},
      {"10.0.0.5", 0, MapOf({{300, 300, 'A'}}), 1},
      {"10.0.0.99", 0, MapOf({}), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.ip) + " channel " + std::to_string(c.channel));
    RecDayInfo info = Day(c.ip, 2026, 3, 7);
    CRecDayMapBuilder(tree.Schemes()).SearchLocalRecByDate(&info, c.channel);
    EXPECT_EQ(std::string(info.szDayMap), c.map);
    EXPECT_EQ(info.lstFile.size(), c.files);
  }
}

TEST(RecDayMap, BuilderOnlyAddsToTheRecord) {
  RecTree tree;
  const std::string p1 = tree.Storage("d1");
  const std::string day = tree.DayFolder(p1, "cam", "Motion", 2026, 3, 7);
  RecTree::WriteRecord(day + "000100.avi", 60);
  RecDayInfo info = Day("10.0.0.9", 2026, 3, 7);
  info.szDayMap[0] = 'A';
  info.lstFile.push_back({"x\\000000.avi", 60, 0});
  info.lstFile.push_back({"x\\zzz.avi", 60, 0});
  CRecDayMapBuilder builder(tree.Schemes());
  builder.FillDayMapFromFolder(p1 + "\\Record\\cam\\Local\\Motion\\2026\\3\\7\\*.*", &info, 'B');
  builder.FillDayMapFromFolder("", &info, 'B');
  builder.FillDayMapFromFolder(p1 + "\\missing\\*.*", &info, 'B');
  builder.FillDayMapFromFolder(p1 + "\\Record\\cam\\Local\\Motion\\2026\\3\\7\\*.*", nullptr, 'B');
  EXPECT_EQ(std::string(info.szDayMap), MapOf({{0, 0, 'A'}, {1, 1, 'B'}}));
  std::vector<std::string> names;
  for (const RecDayFile& f : info.lstFile) names.push_back(NameOf(f.strFilePath));
  EXPECT_EQ(names, (std::vector<std::string>{"000000.avi", "000100.avi", "zzz.avi"}));
  EXPECT_EQ(CRecDayMapBuilder(tree.Schemes()).SearchLocalRecByDate(nullptr, 0), 1);
}

}  // namespace
