// Removing a device that left the cloud account from the device list.
#include "shell/cloud_devices/cloud_device_removal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "pelk/pelk_testing.h"
#include "tests/shell/dev_records.h"

namespace {

DevInfo Record(const char* id, const char* name, int type, const char* ip) {
  DevInfo dev = Dev(id, name, type, "Default");
  CopyFixedText(dev.IPAddr, ip);
  return dev;
}

class CloudDeviceRemovalTest : public testing::Test {
 protected:
  void SetUp() override {
    PelkTestReset();
    host_.localMac = "00-1A-2B-3C-4D-5E";
    host_.unbindFromTVWall = [this](const char* id) { calls_.push_back(std::string("wall ") + id); };
    host_.stopWatch = [this](DevInfo& dev) { calls_.push_back(std::string("watch ") + dev.DevName); };
    host_.removeFromMaintenance = [this](const char* ip) { calls_.push_back(std::string("maint ") + ip); };
    host_.removeFromMap = [this](const char* name) { calls_.push_back(std::string("map ") + name); };
    host_.refreshDevList = [this] { calls_.push_back("refresh"); };
  }
  void TearDown() override { g_lstDevInfo.clear(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const DevInfo& dev : g_lstDevInfo) names.push_back(dev.DevName);
    return names;
  }

  CloudDeviceRemovalHost host_;
  std::vector<std::string> calls_;
};

TEST_F(CloudDeviceRemovalTest, AnNvrGoesWithAllItsChannelsAndOneListNoticeEach) {
  g_lstDevInfo = {Record("N1", "Yard NVR", 4, "10.0.0.4"), Record("C1", "Gate", 1, "10.0.0.5"),
                  Record("N1", "Yard NVR-1", 4, "10.0.0.4"), Record("N1", "Yard NVR-2", 4, "10.0.0.4")};
  g_lstDevInfo.back().bWatched = 1;
  EXPECT_EQ(RemoveCloudDevice("N1", host_), 3);
  EXPECT_EQ(Names(), std::vector<std::string>{"Gate"});
  EXPECT_EQ(PelkTestCounts().notifyUpdateDeviceList, 3);
  EXPECT_TRUE(PelkTestDeviceStates().empty());
  EXPECT_EQ(calls_, (std::vector<std::string>{"wall N1", "maint 10.0.0.4", "map Yard NVR", "maint 10.0.0.4",
                                              "map Yard NVR-1", "watch Yard NVR-2", "maint 10.0.0.4",
                                              "map Yard NVR-2", "refresh"}));
}

TEST_F(CloudDeviceRemovalTest, OtherDevicesReportTheirChannelOffline) {
  g_lstDevInfo = {Record("D1", "Server Stream1", 0, "10.0.0.6"), Record("D1", "Server Stream2", 0, "10.0.0.6"),
                  Record("C1", "Gate", 1, "10.0.0.5"), Record("C1", "Gate copy", 1, "10.0.0.5")};
  EXPECT_EQ(RemoveCloudDevice("D1", host_), 2) << "a video server's channels all go";
  EXPECT_EQ(RemoveCloudDevice("C1", host_), 1) << "of a camera only the first record";
  EXPECT_EQ(Names(), std::vector<std::string>{"Gate copy"});
  const std::vector<PelkDeviceStateReport> states = PelkTestDeviceStates();
  ASSERT_EQ(states.size(), 3u);
  EXPECT_EQ(states[0].deviceKey, "00-1A-2B-3C-4D-5E:10.0.0.6");
  EXPECT_EQ(states[0].channel, 1);
  EXPECT_EQ(states[1].channel, 2);
  EXPECT_EQ(states[2].deviceKey, "00-1A-2B-3C-4D-5E:10.0.0.5");
  EXPECT_EQ(states[2].channel, 0);
  for (const PelkDeviceStateReport& state : states) EXPECT_EQ(state.state, 0);
  EXPECT_EQ(PelkTestCounts().notifyUpdateDeviceList, 0);
}

TEST_F(CloudDeviceRemovalTest, AnUnknownIdRemovesNothing) {
  g_lstDevInfo = {Record("C1", "Gate", 1, "10.0.0.5")};
  EXPECT_EQ(RemoveCloudDevice("C2", host_), 0);
  EXPECT_EQ(RemoveCloudDevice("", host_), 0);
  EXPECT_EQ(RemoveCloudDevice(nullptr, host_), 0);
  EXPECT_EQ(Names(), std::vector<std::string>{"Gate"});
  EXPECT_EQ(calls_, std::vector<std::string>{"wall C2"}) << "the trees are rebuilt only after a removal";
}

}  // namespace
