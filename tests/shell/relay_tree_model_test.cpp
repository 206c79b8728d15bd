#include "shell/relay_tree_model.h"

#include <gtest/gtest.h>

namespace {

std::string Texts(const TreeNode& node) {
  std::string out = node.text + "/" + std::to_string(node.image);
  if (node.children.empty()) return out;
  out += "[";
  for (size_t i = 0; i < node.children.size(); ++i) out += (i ? " " : "") + Texts(node.children[i]);
  return out + "]";
}

// A relay server with a camera, an NVR (own record and two channels), a video
// server with two streams, a cascaded node holding a camera, an offline camera.
std::vector<RelayTreeEntry> Devices() {
  return {
      {1, "10.0.0.5", "Gate", 0, 1, 1, nullptr},
      {4, "10.0.0.9", "NVR-Hall", 0, 2, 1, nullptr},
      {4, "10.0.0.9", "Channel1", 0, 3, 2, nullptr},
      {4, "10.0.0.9", "Channel2", 0, 4, 0, nullptr},
      {0, "10.0.0.7", "Lobby-Stream1", 0, 5, 4, nullptr},
      {0, "10.0.0.7", "Lobby-Stream2", 0, 6, 0, nullptr},
      {3, "", "Branch", 0, 7, 1, nullptr},
      {1, "10.1.0.2", "Yard", 7, 8, 3, nullptr},
      {1, "10.0.0.6", "Back", 0, 9, 0, nullptr},
  };
}

DevTreeView View(bool channels) {
  DevTreeView view;
  view.showChannels = channels;
  return view;
}

TEST(RelayTreeModel, FillNestsNodesAndGroupsChannelsUnderTheirDevice) {
  const auto devices = Devices();
  TreeNode vss;
  ASSERT_TRUE(BuildVssBranch({{"Relay-A", devices}}, View(true), vss));
  EXPECT_EQ(Texts(vss),
            "VSS/1[Relay-A/1[Gate/3 NVR-Hall/0[Channel1/7 Channel2/2] 10.0.0.7/0[Stream1/10 Stream2/2] "
            "Branch/1[Yard/6] Back/2]]");
  // Channel items carry their record; device items carry none.
  EXPECT_EQ(vss.children[0].children[1].children[0].dataKind, DevTreeData::kRelayDevice);
  EXPECT_EQ(vss.children[0].children[1].dataKind, DevTreeData::kNone);

  // Without channels (configuration, e-map) only the devices remain; offline
  // devices are left out where the caller asks.
  const auto items = BuildRelayFill(devices, 0, View(false), false);
  TreeNode root;
  root.children = items;
  EXPECT_EQ(Texts(root), "/0[Gate/3 NVR-Hall/0 10.0.0.7/0 Branch/1[Yard/6]]");
}

TEST(RelayTreeModel, OnlineBranchCountsEachNvrOnce) {
  const auto devices = Devices();
  DevTreeTexts texts;
  TreeNode vss;
  ASSERT_TRUE(BuildVssOnlineBranch({{"Relay-A", devices}}, View(true), texts, vss));
  // Online: Gate, NVR-Hall, Lobby-Stream1, Branch, Yard; offline: Lobby-Stream2, Back. A cascaded
  // node is listed like a single device here.
  EXPECT_EQ(Texts(vss),
            "VSS/1[Relay-A/1[Online(5)/1[Gate/3 10.0.0.9/0[Channel1/7 Channel2/2] 10.0.0.7/0[Stream1/10] Branch/3 "
            "Yard/6] Offline(2)/1[Back/2]]]");
}

TEST(RelayTreeModel, NoServerNoBranch) {
  TreeNode vss;
  EXPECT_FALSE(BuildVssBranch({}, View(true), vss));
  EXPECT_FALSE(BuildVssOnlineBranch({}, View(true), DevTreeTexts{}, vss));
}

}  // namespace
