// Devices the login server announces, added to the device list.
#include "shell/cloud_devices/login_server_devices.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "live/streams/rtsp_events.h"
#include "cloud_server_process.h"
#include "relay/udp/cloud_device_fetch.h"
#include "relay/udp/udp_login_testing.h"

namespace {

constexpr char kAnswer[] =
    "<xml><err>0</err><ls><dev><DevID>2001</DevID><devsn>SN-L</devsn><devtype>200</devtype>"
    "<devip>10.0.0.1</devip></dev></ls></xml>";

class LoginServerDevicesTest : public testing::Test {
 protected:
  void TearDown() override {
    for (DevInfo& dev : g_lstDevInfo) {
      delete dev.pRtspEvent1;
      delete dev.pRtspEvent2;
    }
    g_lstDevInfo.clear();
  }
};

// The recording thread walks the list under g_csAppData: the new record goes
// in only while the lock is held by no one else.
TEST_F(LoginServerDevicesTest, TheRecordIsAppendedUnderTheListLock) {
  int refreshed = 0;
  CLoginServerDevices devices(nullptr, {}, [&] { ++refreshed; });
  std::atomic<bool> held{false};
  std::atomic<bool> released{false};
  std::thread holder([&] {
    CsLock lock(&g_csAppData);
    held = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    released = true;
  });
  while (!held) std::this_thread::yield();
  devices.OnCloudAnswer(1, CloudDeviceAnswer{"2001", 0, kAnswer});
  EXPECT_TRUE(released) << "the record went in before the lock was free";
  holder.join();
  ASSERT_EQ(g_lstDevInfo.size(), 1u);
  const DevInfo& nvr = g_lstDevInfo.front();
  EXPECT_EQ(nvr.DevType, 4);
  EXPECT_EQ(nvr.VisitMod, 1) << "an NVR is reached by vmq";
  EXPECT_EQ(nvr.RtpOverRtsp, 2);
  EXPECT_EQ(nvr.GimbroId, 0) << "no login name and password: no registration";
  EXPECT_EQ(refreshed, 1);

  devices.OnCloudAnswer(2, CloudDeviceAnswer{"2001", 0, kAnswer});
  EXPECT_EQ(g_lstDevInfo.size(), 1u) << "its serial number is listed already";
  devices.OnCloudAnswer(3, CloudDeviceAnswer{"2002", 7, ""});
  EXPECT_EQ(g_lstDevInfo.size(), 1u) << "no answer from the cloud service";
  EXPECT_EQ(refreshed, 1);
}

TEST_F(LoginServerDevicesTest, OnlyNoticesOfKindTwoCount) {
  CLoginServerDevices devices(nullptr, {}, {});
  uint8_t block[1232] = {};
  block[24] = 0xEC, block[25] = 0xE4, block[26] = 0xF5, block[27] = 0x05;  // 100001004
  std::snprintf(reinterpret_cast<char*>(block + 28), 100, "ip:10.0.0.2\r\nptz:1\r\nw\r\nvideo:2\r\nx");
  DevInfo listed;
  std::snprintf(listed.DevId, sizeof listed.DevId, "0");
  g_lstDevInfo = {listed};
  devices.OnDeviceNotice(3, block, sizeof block);
  EXPECT_STREQ(g_lstDevInfo.front().IPAddr, "") << "wParam 3 is no notice";
  devices.OnDeviceNotice(2, block, 100);
  EXPECT_STREQ(g_lstDevInfo.front().IPAddr, "") << "too short for a notice";
  devices.OnDeviceNotice(2, block, sizeof block);
  EXPECT_STREQ(g_lstDevInfo.front().IPAddr, "10.0.0.2");
  EXPECT_EQ(g_lstDevInfo.front().PtzPort, 1);
  EXPECT_EQ(g_lstDevInfo.front().VideoPort, 2);
  EXPECT_EQ(devices.PendingFetches(), 0u);
}

std::vector<uint8_t> AddedNotice(uint64_t id) {
  std::vector<uint8_t> block(1232, 0);
  for (int i = 0; i < 8; ++i) block[16 + i] = static_cast<uint8_t>(id >> (8 * i));
  block[24] = 0xE9, block[25] = 0xE4, block[26] = 0xF5, block[27] = 0x05;  // 100001001
  return block;
}

// A server that floods "device added" notices gets a bounded number of
// fetches, one per device.
TEST_F(LoginServerDevicesTest, FetchesAreBoundedAndOnePerDevice) {
  SetCloudDevicePortForTesting(ClosedPort());
  {
    CLoginServerDevices devices(nullptr, {}, {});  // no window: the answers never come back
    for (int round = 0; round < 3; ++round) {
      const std::vector<uint8_t> same = AddedNotice(42);
      devices.OnDeviceNotice(2, same.data(), same.size());
    }
    EXPECT_EQ(devices.PendingFetches(), 1u) << "a device being asked for is not asked for again";
    for (uint64_t id = 100; id < 150; ++id) {
      const std::vector<uint8_t> block = AddedNotice(id);
      devices.OnDeviceNotice(2, block.data(), block.size());
    }
    EXPECT_EQ(devices.PendingFetches(), CLoginServerDevices::kMaxFetches);
  }
  SetCloudDevicePortForTesting(0);
  EXPECT_TRUE(g_lstDevInfo.empty());
}

}  // namespace
