// The states of this client's own devices as its relay peers learn them:
// device-messaging status events, NVR channel-state texts and channel counts.
#include "relay/reports/device_state_reports.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <list>
#include <string>
#include <vector>

#include "common/wait_for.h"
#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "fake_device_process.h"
#include "gimbro/gimbro.h"
#include "pelk/pelk_testing.h"

namespace {

constexpr char kMac[] = "00-1A-2B-3C-4D-5E";

class DeviceStateReportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_.swap(g_lstDevInfo);
    PelkTestReset();
    host_.UpdateDevIcons = [this] { ++icons_; };
    host_.UpdateDevItem = [this](const char* name) { items_.push_back(name); };
    host_.RefreshDevList = [this] { ++refreshes_; };
    host_.AddStatusAlarm = [this](DevInfo& dev, int type) {
      alarms_.push_back(std::string(dev.DevName) + "/" + std::to_string(type));
    };
    host_.StopPanesShowing = [this](const DevInfo& dev) { stopped_.push_back(dev.DevName); };
    host_.StopPanesUntilOnline = [this](const DevInfo& dev) { waiting_.push_back(dev.DevName); };
    host_.ReopenWaitingPanes = [this](const DevInfo& dev) { reopened_.push_back(dev.DevName); };
    host_.RemoveFromMaintenance = [this](const char* ip) { maintenance_.push_back(ip); };
    host_.RemoveMapPoint = [this](const char* name) { mapPoints_.push_back(name); };
    host_.SetSpeakStatus = [this](const DevInfo& dev, bool on) {
      talks_.push_back(std::string(dev.DevName) + (on ? "/on" : "/off"));
      return talkShown_;
    };
    host_.SpeakFailed = [this] { ++speakFailed_; };
  }
  void TearDown() override { g_lstDevInfo.swap(saved_); }

  static DevInfo& Add(int type, const char* name, const char* ip, int gimbroId, int channel = 0,
                      const char* devId = nullptr) {
    DevInfo& dev = g_lstDevInfo.emplace_back();
    dev.DevType = type;
    std::snprintf(dev.DevName, sizeof dev.DevName, "%s", name);
    std::snprintf(dev.DevId, sizeof dev.DevId, "%s", devId ? devId : name);
    std::snprintf(dev.IPAddr, sizeof dev.IPAddr, "%s", ip);
    dev.GimbroId = gimbroId;
    dev.CurNVRChannel = channel;
    return dev;
  }
  // An NVR's own record and its channels 1..channels.
  static DevInfo& AddNvr(const char* name, const char* ip, int gimbroId, int channels) {
    DevInfo& nvr = Add(4, name, ip, gimbroId, 0);
    nvr.NVRChannels = channels;
    for (int c = 1; c <= channels; ++c) {
      char channelName[32];
      std::snprintf(channelName, sizeof channelName, "Channel-%d", c);
      Add(4, channelName, ip, gimbroId + c, c, name);
    }
    return nvr;
  }
  static DevInfo* FindRecord(const char* devId, const char* name) {
    for (DevInfo& dev : g_lstDevInfo) {
      if (std::string(dev.DevId) == devId && std::string(dev.DevName) == name) return &dev;
    }
    return nullptr;
  }
  static std::vector<std::string> Sent() {
    std::vector<std::string> texts;
    for (const PelkDeviceStateReport& r : PelkTestDeviceStates()) {
      texts.push_back(r.deviceKey + "/" + std::to_string(r.channel) + "/" + std::to_string(r.state));
    }
    return texts;
  }
  static std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const DevInfo& dev : g_lstDevInfo) names.push_back(std::string(dev.DevId) + ":" + dev.DevName);
    return names;
  }
  CDeviceStateReports Make(const std::string& mac = kMac) {
    return CDeviceStateReports(host_, [mac] { return mac; });
  }

  std::list<DevInfo> saved_;
  DeviceStateHost host_;
  int icons_ = 0;
  int refreshes_ = 0;
  std::vector<std::string> items_, alarms_, stopped_, waiting_, reopened_, maintenance_, mapPoints_, talks_;
  bool talkShown_ = true;
  int speakFailed_ = 0;
};

}  // namespace

TEST_F(DeviceStateReportsTest, ASingleDeviceIsReportedOnlyWhenItsStateChanges) {
  DevInfo& cam = Add(1, "Gate", "10.0.0.7", 7);
  Add(1, "Other", "10.0.0.8", 8);
  CDeviceStateReports reports = Make();
  struct Case {
    LONG code;
    int before;
    bool recording;
    int after;
    std::vector<std::string> reported;
    bool panesWait;  // the panes that show it stop and wait for it; else a login opens the waiting ones again
  };
  const std::string key = std::string(kMac) + ":10.0.0.7";
  const Case cases[] = {
      {GIMBRO_STATUS_LOGIN_OK, 0, false, 1, {key + "/0/1"}, false},
      {GIMBRO_STATUS_LOGIN_OK, 0, true, 1, {key + "/0/1", key + "/0/2"}, false},  // it records already
      {GIMBRO_STATUS_LOGIN_OK, 1, false, 1, {}, false},                          // the same state twice
      {GIMBRO_STATUS_CONNECTION_LOST, 1, false, 0, {key + "/0/0"}, true},
      {GIMBRO_STATUS_UNREACHABLE, 1, false, 0, {key + "/0/0"}, true},
      {GIMBRO_STATUS_LOGIN_REFUSED, 1, false, 0, {key + "/0/0"}, true},
      {GIMBRO_STATUS_CONNECTION_LOST, 0, false, 0, {}, true},
      {GIMBRO_STATUS_TALK_STARTED, 1, false, 1, {}, false},  // no relay report for talk
      {26, 1, false, 1, {}, false},
  };
  for (const Case& c : cases) {
    cam.nOnline = c.before;
    cam.bRecording = c.recording ? 1 : 0;
    PelkTestReset();
    waiting_.clear();
    reopened_.clear();
    maintenance_.clear();
    alarms_.clear();
    EXPECT_EQ(reports.OnDevStatusResponse(7, c.code), 1);
    EXPECT_EQ(cam.nOnline, c.after) << c.code << " " << c.before;
    EXPECT_EQ(Sent(), c.reported) << c.code << " " << c.before;
    EXPECT_EQ(waiting_.size(), c.panesWait ? 1u : 0u) << c.code;
    EXPECT_EQ(maintenance_.size(), c.panesWait ? 1u : 0u) << c.code;
    EXPECT_EQ(reopened_.size(), c.code == GIMBRO_STATUS_LOGIN_OK ? 1u : 0u) << c.code;
    EXPECT_TRUE(stopped_.empty());
    const bool status = c.code >= 2 && c.code <= 5;
    EXPECT_EQ(alarms_, status ? std::vector<std::string>{std::string("Gate/") + (c.after ? "2" : "1")}
                              : std::vector<std::string>{})
        << c.code;
  }
  EXPECT_EQ(g_lstDevInfo.back().nOnline, 0);  // another id is left alone
  PelkTestReset();
  EXPECT_EQ(reports.OnDevStatusResponse(0, GIMBRO_STATUS_LOGIN_OK), 1);  // 0 is no registration
  EXPECT_TRUE(Sent().empty());
}

TEST_F(DeviceStateReportsTest, AVideoServerReportsEachChannelByTheDigitOfItsName) {
  // The channel records of a video server share its registration (the first holds the id).
  Add(0, "Dvs1", "10.0.0.20", 5, 0, "Dvs");
  Add(0, "Dvs2", "10.0.0.20", 0, 0, "Dvs").nOnline = 1;
  Add(0, "Far3", "10.0.0.21", 6, 0, "Far");
  CDeviceStateReports reports = Make();
  const std::string key = std::string(kMac) + ":10.0.0.20";
  reports.OnDevStatusResponse(5, GIMBRO_STATUS_LOGIN_OK);
  EXPECT_EQ(Sent(), (std::vector<std::string>{key + "/1/1"}));  // channel 2 was online already
  EXPECT_EQ(alarms_, (std::vector<std::string>{"Dvs1/2", "Dvs1/2"}));
  PelkTestReset();
  reports.OnDevStatusResponse(5, GIMBRO_STATUS_CONNECTION_LOST);
  EXPECT_EQ(Sent(), (std::vector<std::string>{key + "/1/0", key + "/2/0"}));
  for (const DevInfo& dev : g_lstDevInfo) EXPECT_EQ(dev.nOnline, 0) << dev.DevName;
}

TEST_F(DeviceStateReportsTest, AnNvrGoesOfflineWithoutReportsAndUnreachableTakesItsChannels) {
  AddNvr("Nvr", "10.0.0.30", 10, 2);
  for (DevInfo& dev : g_lstDevInfo) dev.nOnline = 1;
  CDeviceStateReports reports = Make();
  reports.OnDevStatusResponse(10, GIMBRO_STATUS_LOGIN_OK);
  reports.OnDevStatusResponse(10, GIMBRO_STATUS_CONNECTION_LOST);
  EXPECT_EQ(FindRecord("Nvr", "Nvr")->nOnline, 0);
  EXPECT_EQ(FindRecord("Nvr", "Channel-1")->nOnline, 1);
  reports.OnDevStatusResponse(10, GIMBRO_STATUS_UNREACHABLE);
  EXPECT_EQ(FindRecord("Nvr", "Channel-1")->nOnline, 0);
  EXPECT_EQ(FindRecord("Nvr", "Channel-2")->nOnline, 0);
  EXPECT_TRUE(Sent().empty());  // NVR channels are reported through their state texts only
  // A channel's own registration is not walked for status events.
  FindRecord("Nvr", "Channel-1")->nOnline = 1;
  reports.OnDevStatusResponse(11, GIMBRO_STATUS_CONNECTION_LOST);
  EXPECT_EQ(FindRecord("Nvr", "Channel-1")->nOnline, 1);
}

TEST_F(DeviceStateReportsTest, AStateTextSetsTheChannelsItNamesAndReportsOnlyChanges) {
  DevInfo& nvr = AddNvr("Nvr", "10.0.0.30", 10, 4);
  for (DevInfo& dev : g_lstDevInfo) dev.GimbroId = 10;  // each report comes on one registration
  FindRecord("Nvr", "Channel-4")->nOnline = 1;
  CDeviceStateReports reports = Make();
  const std::string key = std::string(kMac) + ":10.0.0.30";
  EXPECT_EQ(reports.OnDevStateReport(10, "101"), 1);
  EXPECT_EQ(nvr.nOnline, 1);
  EXPECT_EQ(FindRecord("Nvr", "Channel-1")->nOnline, 1);
  EXPECT_EQ(FindRecord("Nvr", "Channel-2")->nOnline, 0);
  EXPECT_EQ(FindRecord("Nvr", "Channel-3")->nOnline, 1);
  EXPECT_EQ(FindRecord("Nvr", "Channel-4")->nOnline, 1);  // beyond the text: unchanged
  EXPECT_EQ(Sent(), (std::vector<std::string>{key + "/1/1", key + "/3/1"}));
  EXPECT_EQ(icons_, 1);
  PelkTestReset();
  reports.OnDevStateReport(10, "101");  // the same again: nothing
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(icons_, 1);
  // A peer's garbage changes nothing: not a digit, no text, another id.
  reports.OnDevStateReport(10, "x?");
  reports.OnDevStateReport(10, nullptr);
  reports.OnDevStateReport(99, "0000");
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(FindRecord("Nvr", "Channel-1")->nOnline, 1);
  reports.OnDevStateReport(10, "0");
  EXPECT_EQ(Sent(), (std::vector<std::string>{key + "/1/0"}));
}

TEST_F(DeviceStateReportsTest, AChannelCountAddsTheMissingChannelsAfterTheNvrAndNotifiesOnce) {
  AddNvr("Nvr", "10.0.0.30", 10, 1);
  Add(1, "After", "10.0.0.40", 20);
  CDeviceStateReports reports = Make();
  reports.OnDevChannelList(10, "3");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Nvr:Nvr", "Nvr:Channel-1", "Nvr:Channel-2", "Nvr:Channel-3",
                                               "After:After"}));
  const DevInfo* third = FindRecord("Nvr", "Channel-3");
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->CurNVRChannel, 3);
  EXPECT_EQ(third->DevType, 4);
  EXPECT_EQ(third->NVRChannels, 3);  // kept in DevInfo.xml, which stores channels up to the NVR's count
  EXPECT_STREQ(third->IPAddr, "10.0.0.30");
  EXPECT_EQ(FindRecord("Nvr", "Nvr")->NVRChannels, 3);
  EXPECT_EQ(FindRecord("Nvr", "Nvr")->nOnline, 1);  // an NVR that tells its channels is online
  EXPECT_EQ(PelkTestCounts().notifyUpdateDeviceList, 1);
  EXPECT_EQ(items_, (std::vector<std::string>{"Nvr"}));
  // The same count again, a count of 0, no text, a device that is no NVR: nothing.
  reports.OnDevChannelList(10, "3");
  reports.OnDevChannelList(10, "0");
  reports.OnDevChannelList(10, nullptr);
  reports.OnDevChannelList(20, "5");
  EXPECT_EQ(g_lstDevInfo.size(), 5u);
  EXPECT_EQ(PelkTestCounts().notifyUpdateDeviceList, 1);
}

TEST_F(DeviceStateReportsTest, ACountPastAnyRecordersChannelsAddsNothing) {
  AddNvr("Nvr", "10.0.0.30", 10, 2);
  CDeviceStateReports reports = Make();
  for (const char* text : {"99999999999", "2147483648", "1000000", "257", "-3"}) {
    reports.OnDevChannelList(10, text);
    EXPECT_EQ(g_lstDevInfo.size(), 3u) << text;
    EXPECT_EQ(FindRecord("Nvr", "Nvr")->NVRChannels, 2) << text;
  }
  EXPECT_EQ(PelkTestCounts().notifyUpdateDeviceList, 0);
  reports.OnDevChannelList(10, "4");
  EXPECT_EQ(g_lstDevInfo.size(), 5u);
}

TEST_F(DeviceStateReportsTest, ACountThatDropsFromEightToFourRemovesChannelsFiveToEightAndNotifiesOnce) {
  AddNvr("Nvr", "10.0.0.30", 10, 8);
  FindRecord("Nvr", "Channel-6")->bWatched = 1;
  Add(1, "After", "10.0.0.40", 20);
  CDeviceStateReports reports = Make();
  reports.OnDevChannelList(10, "4");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Nvr:Nvr", "Nvr:Channel-1", "Nvr:Channel-2", "Nvr:Channel-3",
                                               "Nvr:Channel-4", "After:After"}));
  EXPECT_EQ(PelkTestCounts().notifyUpdateDeviceList, 1);
  EXPECT_EQ(stopped_, (std::vector<std::string>{"Channel-6"}));  // the watched one stopped showing
  EXPECT_EQ(mapPoints_, (std::vector<std::string>{"Channel-5", "Channel-6", "Channel-7", "Channel-8"}));
  EXPECT_EQ(maintenance_.size(), 4u);
  EXPECT_EQ(refreshes_, 1);  // no tree item keeps a removed record
  EXPECT_TRUE(items_.empty());
}

// Each channel record of an NVR has its own registration with the
// device-messaging control. A count that names channels already listed
// registers only the new ones: the fake NVR sees one connection per new channel.
TEST_F(DeviceStateReportsTest, OnlyTheChannelsThatAreAddedAreRegisteredWithTheDevice) {
  FakeDeviceProcess device;
  ASSERT_TRUE(device.Ready());
  CGimbroCtrl gimbro;
  DevInfo& nvr = Add(4, "Nvr", "127.0.0.1", 0);
  nvr.PtzPort = device.Port();
  std::snprintf(nvr.LoginName, sizeof nvr.LoginName, "admin");
  std::snprintf(nvr.LoginPsw, sizeof nvr.LoginPsw, "secret");
  nvr.pGimbroCtrl = &gimbro;
  nvr.GimbroId = gimbro.AddDevice(nvr.IPAddr, nvr.PtzPort, nvr.LoginName, nvr.LoginPsw);
  ASSERT_GT(nvr.GimbroId, 0);
  ASSERT_NE(device.Take("CONNECT", 15), "");
  CDeviceStateReports reports = Make();
  reports.OnDevChannelList(nvr.GimbroId, "2");
  ASSERT_NE(device.Take("CONNECT", 15), "");
  ASSERT_NE(device.Take("CONNECT", 15), "");
  std::vector<int> ids;
  for (const DevInfo& dev : g_lstDevInfo) ids.push_back(dev.GimbroId);
  ASSERT_EQ(ids.size(), 3u);
  EXPECT_GT(ids[1], 0);
  EXPECT_GT(ids[2], 0);
  EXPECT_NE(ids[1], ids[2]);
  // Channels 1 and 2 are listed: a count of 4 registers 3 and 4 only.
  reports.OnDevChannelList(nvr.GimbroId, "4");
  ASSERT_NE(device.Take("CONNECT", 15), "");
  ASSERT_NE(device.Take("CONNECT", 15), "");
  EXPECT_EQ(device.Take("CONNECT", 2), "");
  EXPECT_EQ(g_lstDevInfo.size(), 5u);
  EXPECT_EQ(std::stoi(device.Command("count CONNECT").substr(3)), 0);
}

// The recording thread walks the device list under g_csAppData for its whole
// pass: new channel records wait for it, and so does the removal.
TEST_F(DeviceStateReportsTest, ChannelsAreAddedAndRemovedOnlyUnderTheApplicationLock) {
  AddNvr("Nvr", "10.0.0.30", 10, 2);
  CDeviceStateReports reports = Make();
  for (const char* count : {"6", "1"}) {
    std::atomic<bool> held{false};
    std::atomic<bool> changedWhileHeld{false};
    std::thread pass([&] {
      CsLock lock(&g_csAppData);
      const size_t before = g_lstDevInfo.size();
      held = true;
      for (int i = 0; i < 30; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (g_lstDevInfo.size() != before) changedWhileHeld = true;
      }
    });
    ASSERT_TRUE(WaitFor([&] { return held.load(); }, 5000));
    reports.OnDevChannelList(10, count);
    pass.join();
    EXPECT_FALSE(changedWhileHeld) << count;
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"Nvr:Nvr", "Nvr:Channel-1"}));
}

// A talk answer is shown by the window that shows the device (an NVR
// channel's own registration answers too); a refusal there says so. Peers
// hear nothing of it.
TEST_F(DeviceStateReportsTest, TalkAnswersGoToTheWindowThatShowsTheDeviceWithoutReports) {
  Add(1, "Gate", "10.0.0.7", 7).nOnline = 1;
  Add(4, "Channel-2", "10.0.0.30", 12, 2, "Nvr");
  CDeviceStateReports reports = Make();
  reports.OnDevStatusResponse(7, GIMBRO_STATUS_TALK_STARTED);
  reports.OnDevStatusResponse(12, GIMBRO_STATUS_TALK_REFUSED);
  EXPECT_EQ(talks_, (std::vector<std::string>{"Gate/on", "Channel-2/off"}));
  EXPECT_EQ(speakFailed_, 1);
  talkShown_ = false;  // no window shows it: no message
  reports.OnDevStatusResponse(7, GIMBRO_STATUS_TALK_REFUSED);
  EXPECT_EQ(speakFailed_, 1);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(g_lstDevInfo.front().nOnline, 1);
}

// Each channel record has a connection of its own to the NVR, so a new count
// also comes on a channel's connection; that channel may be among those that go.
TEST_F(DeviceStateReportsTest, ACountOnTheConnectionOfAChannelThatGoesRemovesItToo) {
  AddNvr("Nvr", "10.0.0.30", 10, 4);
  for (DevInfo& dev : g_lstDevInfo) dev.NVRChannels = 4;
  CDeviceStateReports reports = Make();
  reports.OnDevChannelList(14, "4");  // channel 4's connection, the same count: nothing
  EXPECT_EQ(g_lstDevInfo.size(), 5u);
  reports.OnDevChannelList(14, "2");
  EXPECT_EQ(Names(), (std::vector<std::string>{"Nvr:Nvr", "Nvr:Channel-1", "Nvr:Channel-2"}));
  EXPECT_EQ(PelkTestCounts().notifyUpdateDeviceList, 1);
}

// The count is the NVR's, whichever connection brings it: the NVR's own record
// takes it once, and an offline channel whose connection brought it stays
// offline (its state is its state text's).
TEST_F(DeviceStateReportsTest, ACountOnAChannelsConnectionIsTheNvrsAndLeavesTheChannelsState) {
  AddNvr("Nvr", "10.0.0.30", 10, 3);
  for (DevInfo& dev : g_lstDevInfo) {
    dev.NVRChannels = 3;
    dev.nOnline = 0;
  }
  CDeviceStateReports reports = Make();
  reports.OnDevChannelList(11, "1");  // channel 1's connection
  EXPECT_EQ(Names(), (std::vector<std::string>{"Nvr:Nvr", "Nvr:Channel-1"}));
  EXPECT_EQ(g_lstDevInfo.front().NVRChannels, 1);
  EXPECT_EQ(g_lstDevInfo.front().nOnline, 1);  // the NVR answers: it is online
  EXPECT_EQ(std::next(g_lstDevInfo.begin())->nOnline, 0);
  for (LONG connection : {10, 11}) reports.OnDevChannelList(connection, "1");  // the same count again
  EXPECT_EQ(g_lstDevInfo.size(), 2u);
  EXPECT_EQ(std::next(g_lstDevInfo.begin())->nOnline, 0);
  EXPECT_EQ(PelkTestCounts().notifyUpdateDeviceList, 1);
}
