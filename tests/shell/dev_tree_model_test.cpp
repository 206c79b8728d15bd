#include "shell/dev_tree_model.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/fixed_text.h"
#include "tests/shell/dev_records.h"

namespace {

// "text/image" of a node and, in brackets, its children.
std::string Shape(const TreeNode& node) {
  std::string out = node.text + "/" + std::to_string(node.image);
  if (node.children.empty()) return out;
  out += "[";
  for (size_t i = 0; i < node.children.size(); ++i) out += (i ? " " : "") + Shape(node.children[i]);
  return out + "]";
}

DevTreeView View(int module, bool showChannels, int page = 0, bool all = false) {
  DevTreeView view;
  view.curModule = module;
  view.showChannels = showChannels;
  view.cfgPage = page;
  view.showAllTypes = all;
  return view;
}

}  // namespace

TEST(DevTreeModel, StateImageFollowsOnlineWatchedRecording) {
  struct Case {
    int online, watched, recording, image;
  } cases[] = {
      {1, 1, 1, 10}, {1, 1, 0, 7}, {1, 0, 1, 6}, {1, 0, 0, 3},
      {0, 1, 1, 2},  {0, 0, 0, 2}, {2, 0, 0, 2},  // only 1 means online
  };
  for (const Case& c : cases) {
    DevInfo dev;
    dev.nOnline = c.online;
    dev.bWatched = c.watched;
    dev.bRecording = c.recording;
    EXPECT_EQ(DevStateImage(dev), c.image) << c.online << c.watched << c.recording;
    EXPECT_EQ(AlarmBlinkImage(dev, true), 11);
    EXPECT_EQ(AlarmBlinkImage(dev, false), c.image);
  }
  const int relay[][2] = {{0, 2}, {1, 3}, {2, 7}, {3, 6}, {4, 10}, {5, -1}, {-1, -1}};
  for (const auto& r : relay) EXPECT_EQ(RelayStateImage(r[0]), r[1]) << r[0];
}

TEST(DevTreeModel, KeyTextsAndStreamChannelText) {
  EXPECT_EQ(DeviceKeyText(Dev("C1", "Gate", 1, "G")), "Gate");
  EXPECT_EQ(DeviceKeyText(Dev("N1", "Channel2", 4, "G", 0, 2)), "10.0.0.9:Channel2");
  EXPECT_EQ(DeviceKeyText(Dev("N1", "N1", 4, "G", 0, 0)), "N1");  // the NVR itself
  EXPECT_EQ(RelayDeviceKeyText("00-11", "Cam"), "00-11:Cam");
  EXPECT_EQ(RelayNvrKeyText("00-11", "10.1.1.1", "Ch1"), "00-11:10.1.1.1:Ch1");
  EXPECT_EQ(StreamChannelText("Server-A Stream3"), "Stream3");
  EXPECT_EQ(StreamChannelText("S1"), "S1");
  EXPECT_EQ(StreamChannelText(""), "");
}

class DevTreeFill : public ::testing::Test {
 protected:
  void SetUp() override {
    groups = {Group("Hall"), Group("Yard")};
    devices = {
        Dev("C1", "Gate", 1, "Hall", 1),
        Dev("N1", "N1", 4, "Hall", 1, 0),
        Dev("N1", "Channel1", 4, "Hall", 1, 1),
        Dev("N1", "Channel2", 4, "Hall", 0, 2),
        Dev("D1", "Server Stream1", 0, "Yard", 1),
        Dev("D1", "Server Stream2", 0, "Yard", 0),
        Dev("X1", "Decoder", 2, "Yard", 1),
        Dev("C2", "Lost", 1, "Nowhere", 1),  // in no group: not shown
    };
    devices.front().bWatched = 1;
  }
  std::list<DevInfo> devices;
  std::list<DevGroupInfo> groups;
};

TEST_F(DevTreeFill, GroupTreeByModule) {
  struct Case {
    DevTreeView view;
    const char* shape;
  } cases[] = {
      // live video: video server channels shown, decoder hidden
      {View(0, true),
       "Device List/0[Hall/1[Gate/7 N1/0[Channel1/3 Channel2/2]] Yard/1[D1/0[Stream1/3 Stream2/2]]]"},
      // configuration, devices page: only the video server's device item, the decoder shown
      {View(3, false, 0),
       "Device List/0[Hall/1[Gate/7 N1/0[Channel1/3 Channel2/2]] Yard/1[D1/0 Decoder/3]]"},
      // configuration, users page: decoder hidden
      {View(3, false, 1), "Device List/0[Hall/1[Gate/7 N1/0[Channel1/3 Channel2/2]] Yard/1[D1/0]]"},
      // TV wall: channels and decoder
      {View(4, false),
       "Device List/0[Hall/1[Gate/7 N1/0[Channel1/3 Channel2/2]] Yard/1[D1/0[Stream1/3 Stream2/2] Decoder/3]]"},
      {View(5, false, 0, true),
       "Device List/0[Hall/1[Gate/7 N1/0[Channel1/3 Channel2/2]] Yard/1[D1/0 Decoder/3]]"},
  };
  for (const Case& c : cases) {
    const TreeNode root = BuildDevTree(devices, groups, c.view, DevTreeTexts());
    EXPECT_EQ(Shape(root), c.shape) << c.view.curModule;
  }
}

TEST_F(DevTreeFill, ItemDataPointsIntoTheLists) {
  const TreeNode root = BuildDevTree(devices, groups, View(0, true), DevTreeTexts());
  const TreeNode& hall = root.children[0];
  EXPECT_EQ(hall.dataKind, DevTreeData::kGroup);
  EXPECT_EQ(hall.data, &groups.front());
  EXPECT_EQ(root.data, nullptr);
  auto it = devices.begin();
  EXPECT_EQ(hall.children[0].data, &*it++);  // Gate
  EXPECT_EQ(hall.children[1].data, &*it++);  // the NVR's own record
  EXPECT_EQ(hall.children[1].children[0].data, &*it);
  EXPECT_EQ(hall.children[1].children[0].dataKind, DevTreeData::kDevice);
}

TEST_F(DevTreeFill, EmptyListsLeaveTheRootAlone) {
  devices.clear();
  groups.clear();
  EXPECT_EQ(Shape(BuildDevTree(devices, groups, View(0, true), DevTreeTexts())), "Device List/0");
  EXPECT_EQ(Shape(BuildOnlineDevTree(devices, groups, View(0, true), DevTreeTexts())),
            "Device List/0[Online/1 Offline/1]");
}

TEST_F(DevTreeFill, OnlineTreeCountsAllButNvrChannels) {
  const TreeNode root = BuildOnlineDevTree(devices, groups, View(0, true), DevTreeTexts());
  EXPECT_EQ(Shape(root),
            "Device List/0[Online(4)/1[Gate/7 N1/0[Channel1/3 Channel2/2] D1/0[Stream1/3 Stream2/2] Lost/3] "
            "Offline(1)/1]");
  // NVR channels carry their record, so the panel can open and re-image them.
  EXPECT_NE(root.children[0].children[1].children[1].data, nullptr);
}

TEST(DevTreeModel, MapTreeHangsMapsUnderTheirParents) {
  const TreeNode root =
      BuildMapTree({{"City", ""}, {"Floor1", "City"}, {"Room", "Floor1"}, {"Park", "Unknown"}}, "Map List");
  EXPECT_EQ(Shape(root), "Map List/0[City/0[Floor1/0[Room/0]] Park/0]");
}

TEST_F(DevTreeFill, ChannelCheckTreeLeavesOutDecodersAndNvrRecords) {
  EXPECT_EQ(Shape(BuildChannelCheckTree(devices, "Device List")),
            "Device List/0[Gate/7 N1-Channel1/3 N1-Channel2/2 Server Stream1/3 Server Stream2/2 Lost/3]");
}

TEST(DevTreeModel, UserTreeByGroupAndRoleTree) {
  std::list<GroupInfo> groups(2);
  CopyFixedText(groups.front().GroupName, "Guards");
  CopyFixedText(groups.back().GroupName, "Admins");
  std::list<UserInfo> users(3);
  const char* names[][2] = {{"ann", "Admins"}, {"bob", "Guards"}, {"cy", "Nobody"}};
  auto user = users.begin();
  for (const auto& n : names) {
    CopyFixedText(user->UserName, n[0]);
    CopyFixedText(user->GroupName, n[1]);
    ++user;
  }
  const TreeNode root = BuildUserTree(users, groups, "User List");
  EXPECT_EQ(Shape(root), "User List/0[Guards/1[bob/0] Admins/1[ann/0]]");
  EXPECT_EQ(root.children[0].data, &groups.front());
  EXPECT_EQ(root.children[0].children[0].dataKind, DevTreeData::kUser);
  EXPECT_EQ(root.children[1].children[0].data, &users.front());

  std::list<RoleInfo> roles(1);
  CopyFixedText(roles.front().RoleName, "Operator");
  const TreeNode roleRoot = BuildRoleTree(roles, "Role List");
  EXPECT_EQ(Shape(roleRoot), "Role List/0[Operator/0]");
  EXPECT_EQ(roleRoot.children[0].data, &roles.front());
}
