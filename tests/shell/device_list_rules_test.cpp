#include "shell/device_list_rules.h"

#include <gtest/gtest.h>

#include <cstring>

#include <tuple>

#include "core/fixed_text.h"
#include "shell/dev_tree_model.h"
#include "tests/shell/dev_records.h"

namespace {

// GBK: 大 (d) 门 (m) 张 (z) 三 (s).
const CString kDaMen = "\xB4\xF3\xC3\xC5";
const CString kZhangSan = "\xD5\xC5\xC8\xFD";

TEST(SearchBoxMatch, PatternsAgainstItemTexts) {
  struct Case {
    CString text, pattern;
    bool match;
  };
  const Case cases[] = {
      {"Gate East", "Gate", true},         // anywhere
      {"Gate East", "ate E", true},
      {"Gate East", "EAST", true},         // letters ignore case
      {"Gate East", "Lobby", false},
      {"Gate East", "Gate*", true},        // starts with
      {"Gate East", "East*", false},
      {"Gate East", "*East", true},        // ends with
      {"Gate East", "*Gate", false},
      {"Gate East", "G*t", true},          // starts and ends
      {"Gate East", "G*x", false},
      {"Gate East", "*ate*", true},        // inside
      {"Gate East", "*Gate East*", false}, // the wildcards stand for at least one character
      {"Gate East", "*", true},
      {"Gate East", "a*b*c", false},       // wildcards in other places
      {kZhangSan, "zs", true},             // pinyin initials
      {kZhangSan, "ZS", true},
      {kZhangSan, "sz", false},
      {kDaMen + kZhangSan, "mz", true},    // initials anywhere in the name
      {kDaMen + kZhangSan, "z*", false},
      {kDaMen + kZhangSan, "d*s", true},
      {kDaMen + kZhangSan, kZhangSan, true},  // Chinese characters compare exactly
      {kDaMen, kZhangSan, false},
      {"", "Gate", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SearchBoxMatch(c.text, c.pattern), c.match) << "text '" << c.text << "' pattern '" << c.pattern << "'";
}

TEST(ChooseDropTarget, ByHostModuleAndDeviceType) {
  using T = DropTarget;
  const std::tuple<int, int, int, T> cases[] = {
      // host, module, device type -> target
      {kHostMainWnd, 0, kDevTypeIpc, T::kVideoWnd},
      {kHostMainWnd, 0, kDevTypeDecoder, T::kVideoWnd},
      {kHostMainWnd, 1, kDevTypeIpc, T::kNone},
      {kHostMainWnd, 3, kDevTypeIpc, T::kNone},
      {kHostMainWnd, 4, kDevTypeDecoder, T::kTvWallDecoder},
      {kHostMainWnd, 4, kDevTypeIpc, T::kTvWallChannel},
      {kHostMainWnd, 5, kDevTypeNvr, T::kMap},
      {kHostTvWall, 0, kDevTypeDecoder, T::kTvWallDecoder},
      {kHostTvWall, 3, kDevTypeDvs, T::kTvWallChannel},
      {kHostMap, 0, kDevTypeIpc, T::kMap},
      {1, 0, kDevTypeIpc, T::kNone},  // other hosts: their drops do nothing
      {3, 5, kDevTypeIpc, T::kNone},
  };
  for (const auto& [host, module, type, target] : cases)
    EXPECT_EQ(ChooseDropTarget(host, module, type), target) << host << "/" << module << "/" << type;
}

TEST(WatchRefusal, OfflineAndCloudLoginWithoutDeviceLogin) {
  DevInfo dev = Dev("C1", "Gate", kDevTypeIpc, "Hall", 1);
  EXPECT_EQ(WatchRefusal(dev, 0), 0u);
  EXPECT_EQ(WatchRefusal(dev, 1), kStrNoDevLogin);  // cloud login, no login name or password
  CopyFixedText(dev.LoginName, "admin");
  EXPECT_EQ(WatchRefusal(dev, 1), kStrNoDevLogin);
  CopyFixedText(dev.LoginPsw, "pw");
  EXPECT_EQ(WatchRefusal(dev, 1), 0u);
  dev.nOnline = 0;
  EXPECT_EQ(WatchRefusal(dev, 0), kStrDevOffline);
  EXPECT_EQ(WatchRefusal(dev, 1), kStrDevOffline);
}

TEST(ResetIpcResolution, OnlyCamerasTakeTheirDefault) {
  DevInfo camera = Dev("C1", "Gate", kDevTypeIpc, "Hall", 1);
  CopyFixedText(camera.Resolution, "D1");
  memcpy(camera.Resolution + 20, "CIF", 4);  // the alarm window's text stays
  CopyFixedText(camera.DefRes, "720P");
  ResetIpcResolution(camera);
  EXPECT_STREQ(camera.Resolution, "720P");
  EXPECT_STREQ(camera.Resolution + 20, "CIF");

  DevInfo channel = Dev("N1", "Channel1", kDevTypeNvr, "Hall", 1, 1);
  CopyFixedText(channel.Resolution, "D1");
  CopyFixedText(channel.DefRes, "720P");
  ResetIpcResolution(channel);
  EXPECT_STREQ(channel.Resolution, "D1");
}

// Grids with a fixed number of panes; records every add-watch call.
struct Grids {
  explicit Grids(std::vector<int> gridPanes) : panes(std::move(gridPanes)) {}
  std::vector<int> panes;  // panes of grid 0, 1, ...
  std::vector<std::string> calls;
  int overMemoryAfter = -1;  // memory over the limit once this many records were opened
  GroupPlayCalls Calls() {
    GroupPlayCalls out;
    out.memoryOverLimit = [this] {
      return overMemoryAfter >= 0 && static_cast<int>(opened()) >= overMemoryAfter;
    };
    out.addWatch = [this](int grid, int pane, DevInfo* dev) {
      if (pane >= panes[static_cast<size_t>(grid)]) return kPaneBeyondLayout;
      calls.push_back(std::to_string(grid) + ":" + std::to_string(pane) + ":" + dev->DevName);
      return 0;
    };
    return out;
  }
  size_t opened() const { return calls.size(); }
};

std::vector<DevInfo> Records(int count) {
  std::vector<DevInfo> records;
  for (int i = 0; i < count; ++i)
    records.push_back(Dev("C", ("Cam" + std::to_string(i)).c_str(), kDevTypeIpc, "Hall", 1));
  return records;
}

std::vector<DevInfo*> Pointers(std::vector<DevInfo>& records) {
  std::vector<DevInfo*> out;
  for (DevInfo& dev : records) out.push_back(&dev);
  return out;
}

TEST(RunGroupAutoPlay, FillsTheMainGridThenTheNextGridsAndStopsWhenNoneIsLeft) {
  std::vector<DevInfo> records = Records(6);
  records[1].nOnline = 0;  // skipped
  std::vector<DevInfo*> list = Pointers(records);
  list.insert(list.begin() + 2, nullptr);  // an item without data: skipped
  Grids grids({2, 2});
  EXPECT_EQ(RunGroupAutoPlay(list, 2, 0, grids.Calls()), 0u);
  // Cam4 goes on in grid 1 when grid 0 is full; Cam5 finds no grid left.
  EXPECT_EQ(grids.calls, (std::vector<std::string>{"0:0:Cam0", "0:1:Cam2", "1:0:Cam3", "1:1:Cam4"}));
}

TEST(RunGroupAutoPlay, OnlyTheMainGridWithoutExtensionGrids) {
  std::vector<DevInfo> records = Records(3);
  Grids grids({1, 4});
  EXPECT_EQ(RunGroupAutoPlay(Pointers(records), 1, 0, grids.Calls()), 0u);
  EXPECT_EQ(grids.calls, (std::vector<std::string>{"0:0:Cam0"}));
}

TEST(RunGroupAutoPlay, RefusalsEndTheRun) {
  std::vector<DevInfo> records = Records(4);
  Grids memory({16});
  memory.overMemoryAfter = 2;
  EXPECT_EQ(RunGroupAutoPlay(Pointers(records), 1, 0, memory.Calls()), kStrMemoryTooLarge);
  EXPECT_EQ(memory.opened(), 2u);

  // With a cloud login the first record without its login ends the run, even an offline one.
  for (DevInfo& dev : records) {
    CopyFixedText(dev.LoginName, "admin");
    CopyFixedText(dev.LoginPsw, "pw");
  }
  records[1].nOnline = 0;  // skipped
  records[3].nOnline = 0;
  records[3].LoginPsw[0] = '\0';
  Grids cloud({16});
  EXPECT_EQ(RunGroupAutoPlay(Pointers(records), 1, 1, cloud.Calls()), kStrNoDevLogin);
  EXPECT_EQ(cloud.calls, (std::vector<std::string>{"0:0:Cam0", "0:1:Cam2"}));
}

TEST(RunGroupAutoPlay, CamerasOpenWithTheirDefaultResolution) {
  std::vector<DevInfo> records = Records(1);
  CopyFixedText(records[0].Resolution, "D1");
  CopyFixedText(records[0].DefRes, "CIF");
  Grids grids({4});
  RunGroupAutoPlay(Pointers(records), 1, 0, grids.Calls());
  EXPECT_STREQ(records[0].Resolution, "CIF");
}

}  // namespace

namespace {

TEST(RelayInvite, KeyChannelAndStream) {
  EXPECT_EQ(RelayInviteKey("00-11-22-33-44-55", "10.0.0.9"), "00-11-22-33-44-55:10.0.0.9");

  const std::tuple<int, const char*, int> channels[] = {
      {0, "Gate Stream3", 3}, {0, "Stream", 0}, {0, "", 0},
      {4, "NVR-12", 12},     {4, "A-B-7", 7},   {4, "NVR", 0}, {4, "NVR-", 0},
      {1, "Cam-5", 0},       {3, "Node9", 0},
  };
  for (const auto& [kind, name, channel] : channels)
    EXPECT_EQ(RelayChannelNumber(kind, name), channel) << kind << " " << name;

  for (int panes : {1, 4, 6, 8}) {
    EXPECT_EQ(RelayStreamSelector(0, panes, true), 1) << panes;
    EXPECT_EQ(RelayStreamSelector(0, panes, false), 0) << panes;
  }
  for (int panes : {9, 16, 64}) EXPECT_EQ(RelayStreamSelector(0, panes, true), 0) << panes;
  EXPECT_EQ(RelayStreamSelector(1, 16, false), 1);
}

}  // namespace
