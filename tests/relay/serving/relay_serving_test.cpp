// What this client serves to its relay peers: the user check, the device list
// and live video of its cameras.
#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <memory>
#include <string>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/user_info.h"
#include "live/streams/relay_video_session.h"
#include "live/streams/rtsp_events.h"
#include "pelk/pelk_auth.h"
#include "pelk/pelk_engine.h"
#include "pelk/pelk_testing.h"
#include "relay/login/vss_info.h"
#include "relay/serving/relay_device_list.h"
#include "relay/serving/relay_live_video.h"
#include "relay/serving/relay_user_check.h"
#include "streva/streva_ctrl.h"

namespace {

constexpr char kMac[] = "00-1A-2B-3C-4D-5E";
constexpr char kDigest[] = "E10ADC3949BA59ABBE56E057F20F883E";

RelayDevice Listed(int type, int parent, int id, int state = 1, const char* name = "cam") {
  RelayDevice device;
  device.nType = type;
  device.nParentId = parent;
  device.nId = id;
  device.nState = state;
  std::snprintf(device.DevName, sizeof device.DevName, "%s", name);
  std::snprintf(device.IPAddr, sizeof device.IPAddr, "10.0.%d.%d", parent, id);
  std::snprintf(device.MACAddr, sizeof device.MACAddr, "AA-BB-CC-00-00-01");
  return device;
}

Vemo2Node Server(const char* name, std::list<RelayDevice> devices, bool hasList = true) {
  Vemo2Node server;
  std::snprintf(server.DevName, sizeof server.DevName, "%s", name);
  std::snprintf(server.IPAddr, sizeof server.IPAddr, "relay.example");
  server.bHasDeviceList = hasList;
  server.lstRelayDevice = std::move(devices);
  return server;
}

DevInfo Device(const char* name, const char* ip, int type, int online, const char* defRes = "D1") {
  DevInfo device;
  std::snprintf(device.DevName, sizeof device.DevName, "%s", name);
  std::snprintf(device.DevId, sizeof device.DevId, "%s", name);
  std::snprintf(device.IPAddr, sizeof device.IPAddr, "%s", ip);
  std::snprintf(device.DefRes, sizeof device.DefRes, "%s", defRes);
  device.DevType = type;
  device.nOnline = online;
  return device;
}

// The global lists of a test, put back afterwards.
class ServingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDevices_.swap(g_lstDevInfo);
    savedServers_.swap(g_lstVssInfo);
    std::memcpy(savedUser_, g_szCurUser, sizeof savedUser_);
    std::memcpy(savedPassword_, g_szCurPassword, sizeof savedPassword_);
    std::snprintf(g_szCurUser, sizeof g_szCurUser, "Admin");
    std::snprintf(g_szCurPassword, sizeof g_szCurPassword, "%s", kDigest);
  }
  void TearDown() override {
    g_lstDevInfo.swap(savedDevices_);
    g_lstVssInfo.swap(savedServers_);
    std::memcpy(g_szCurUser, savedUser_, sizeof savedUser_);
    std::memcpy(g_szCurPassword, savedPassword_, sizeof savedPassword_);
  }

  std::list<DevInfo> savedDevices_;
  std::list<Vemo2Node> savedServers_;
  char savedUser_[sizeof g_szCurUser];
  char savedPassword_[sizeof g_szCurPassword];
};

PelkPasswordVerifier Proof(const char* user, const char* password) {
  PelkPasswordVerifier verifier;
  verifier.serverNonce = pelk::MakeNonce();
  verifier.clientNonce = pelk::MakeNonce();
  verifier.userName = user;
  verifier.proof = pelk::MakeProof(password, verifier.serverNonce, verifier.clientNonce, user);
  return verifier;
}

}  // namespace

TEST_F(ServingTest, ARelayNodeAtTheTopOfAServersListIsTooDeep) {
  struct Case {
    const char* name;
    std::list<Vemo2Node> servers;
    bool tooDeep;
  };
  const Case cases[] = {
      {"no servers", {}, false},
      {"cameras only", {Server("s", {Listed(1, 0, 1), Listed(1, 0, 2)})}, false},
      {"a node without a list yet", {Server("s", {Listed(3, 0, 1)}, false)}, false},
      {"a node at the top", {Server("s", {Listed(1, 0, 1), Listed(3, 0, 2), Listed(1, 2, 3)})}, true},
      {"a node below a camera only", {Server("s", {Listed(1, 0, 1), Listed(3, 1, 2)})}, false},
      {"the second server", {Server("a", {Listed(1, 0, 1)}), Server("b", {Listed(3, 0, 1)})}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(RelayCascadeTooDeep(c.servers), c.tooDeep) << c.name;
}

TEST_F(ServingTest, TheUserCheckTakesTheCurrentUserInAnyCaseAndItsPassword) {
  struct Case {
    const char* user;
    const char* password;
    LRESULT expected;
  };
  const Case cases[] = {
      {"admin", kDigest, 0},
      {"ADMIN", "e10adc3949ba59abbe56e057f20f883e", 0},
      {"guest", kDigest, 1},
      {"admin", "E10ADC3949BA59ABBE56E057F20F883F", 1},
  };
  for (const Case& c : cases) {
    const PelkPasswordVerifier verifier = Proof(c.user, c.password);
    EXPECT_EQ(CheckRelayUser(c.user, &verifier), c.expected) << c.user << " " << c.password;
  }
  EXPECT_EQ(CheckRelayUser(nullptr, nullptr), 1);
  g_lstVssInfo.push_back(Server("deep", {Listed(3, 0, 1)}));
  const PelkPasswordVerifier right = Proof("admin", kDigest);
  EXPECT_EQ(CheckRelayUser("admin", &right), 1);
}

TEST_F(ServingTest, TheServedListHoldsLocalDevicesThenEachServerWithItsDevices) {
  std::list<DevInfo> devices;
  devices.push_back(Device("Decoder", "10.1.1.9", 2, 1));
  DevInfo camera = Device("Front", "10.1.1.2", 1, 1, "cif");
  camera.bRecording = 1;
  std::snprintf(camera.DevSN, sizeof camera.DevSN, "0123456789012345678901234567890");
  devices.push_back(camera);
  devices.push_back(Device("Back", "10.1.1.3", 1, 0));
  std::list<Vemo2Node> servers;
  // A camera shown here (2), a cascaded node with a recording camera shown
  // here (4) beneath it, and a record whose parent no walk reaches.
  servers.push_back(Server("Remote", {Listed(1, 0, 5, 2, "R-cam"), Listed(3, 0, 6, 1, "Node"),
                                      Listed(1, 6, 7, 4, "Deep-cam"), Listed(1, 99, 8, 1, "Orphan")}));
  const std::vector<RelayDeviceEntry> list = BuildServedDeviceList(devices, servers, kMac);
  ASSERT_EQ(list.size(), 2u + 1u + 4u);
  struct Expected {
    int type;
    const char* name;
    int parent;
    int id;
    int state;
  };
  const Expected expected[] = {
      {1, "Front", 0, 1, 3}, {1, "Back", 0, 2, 0},    {3, "Remote", 0, 3, 0}, {1, "R-cam", 3, 4, 1},
      {3, "Node", 3, 5, 1},  {1, "Deep-cam", 5, 6, 3}, {0, "", 0, 0, 0},
  };
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].nType, expected[i].type) << i;
    EXPECT_STREQ(list[i].DevName, expected[i].name) << i;
    EXPECT_EQ(list[i].nParentId, expected[i].parent) << i;
    EXPECT_EQ(list[i].nId, expected[i].id) << i;
    EXPECT_EQ(list[i].nState, expected[i].state) << i;
  }
  EXPECT_STREQ(list[0].MACAddr, kMac);
  EXPECT_EQ(list[0].nStream, 0);  // "cif"
  EXPECT_EQ(list[1].nStream, 1);
  EXPECT_EQ(std::strlen(list[0].DevSN), 31u);
  EXPECT_STREQ(list[2].IPAddr, "relay.example");
  EXPECT_STREQ(list[2].MACAddr, "");
  // Decoders alone and no servers: an empty list.
  EXPECT_TRUE(BuildServedDeviceList({Device("D", "1.1.1.1", 2, 1)}, {}, kMac).empty());
}

TEST_F(ServingTest, ARequestFindsItsDeviceByKeyChannelAndKind) {
  g_lstDevInfo.push_back(Device("Cam", "10.0.0.1", 1, 1));
  g_lstDevInfo.push_back(Device("Offline", "10.0.0.2", 1, 0));
  DevInfo nvr = Device("Nvr", "10.0.0.3", 4, 1);
  g_lstDevInfo.push_back(nvr);
  DevInfo channel = Device("Channel-2", "10.0.0.3", 4, 1);
  channel.CurNVRChannel = 2;
  g_lstDevInfo.push_back(channel);
  g_lstDevInfo.push_back(Device("Dvs-1", "10.0.0.4", 0, 1));
  g_lstDevInfo.push_back(Device("Dvs-2", "10.0.0.4", 0, 0));
  struct Case {
    const char* ip;
    DWORD channel;
    ServingLookup lookup;
    const char* found;  // null: none
  };
  const Case cases[] = {
      {"10.0.0.1", 9, ServingLookup::kVideo, "Cam"},
      {"10.0.0.2", 0, ServingLookup::kVideo, nullptr},  // offline
      {"10.0.0.2", 0, ServingLookup::kClose, "Offline"},
      {"10.0.0.3", 0, ServingLookup::kVideo, nullptr},  // the NVR's own record is never served
      {"10.0.0.3", 2, ServingLookup::kVideo, "Channel-2"},
      {"10.0.0.3", 2, ServingLookup::kClose, "Channel-2"},
      {"10.0.0.3", 0, ServingLookup::kPtz, "Nvr"},
      {"10.0.0.4", 2, ServingLookup::kVideo, nullptr},  // channel 2 is offline
      {"10.0.0.4", 2, ServingLookup::kPtz, "Dvs-2"},
      {"10.0.0.9", 0, ServingLookup::kPtz, nullptr},
  };
  for (const Case& c : cases) {
    const std::string key = FormatDeviceKey(kMac, c.ip);
    const DevInfo* device = FindServingDevice(g_lstDevInfo, key.c_str(), c.channel, c.lookup, kMac);
    EXPECT_STREQ(device ? device->DevName : nullptr, c.found) << c.ip << " " << c.channel;
  }
  // Another client's MAC, or no MAC: nothing.
  EXPECT_EQ(FindServingDevice(g_lstDevInfo, "11-22-33-44-55-66:10.0.0.1", 0, ServingLookup::kPtz, kMac), nullptr);
  EXPECT_EQ(FindServingDevice(g_lstDevInfo, ":10.0.0.1", 0, ServingLookup::kPtz, kMac), nullptr);
}

TEST_F(ServingTest, StreamAddressesByVisitModeTypeAndResolution) {
  struct Case {
    int visitMod;
    int type;
    const char* resolution;
    const char* suffix;
    const char* address;
  };
  const Case cases[] = {
      {0, 1, "", "cif", "rtsp://10.0.0.1:554/mpeg4cif"},
      {0, 1, "", "", "rtsp://10.0.0.1:554/mpeg4"},
      {0, 0, "", "cif", "rtsp://10.0.0.1:554/h264-cif"},
      {0, 0, "cif", "", "rtsp://10.0.0.1:554/h264cif"},
      {0, 4, "", "", "rtsp://10.0.0.1:554/h264-"},
      {1, 4, "", "cif", "vmq://10.0.0.1:554/mpeg4cif-3"},
      {1, 1, "", "", "vmq://10.0.0.1:554/mpeg4"},
      {1, 0, "cif", "", "vmq://10.0.0.1:554/h264cif"},
      {2, 1, "", "cif", "mpeg4cif"},
      {2, 0, "", "cif", "mpeg4"},
      {2, 0, "cif", "", "mpeg4cif"},
      {3, 1, "", "", ""},
  };
  for (const Case& c : cases) {
    DevInfo device = Device("x", "10.0.0.1", c.type, 1);
    device.VisitMod = c.visitMod;
    device.VideoPort = 554;
    device.CurNVRChannel = 3;
    std::snprintf(device.Resolution, sizeof device.Resolution, "%s", c.resolution);
    EXPECT_EQ(RelayStreamAddress(device, c.suffix), c.address) << c.visitMod << " " << c.type << " " << c.resolution;
  }
}

// A camera watched here already runs the asked kind: the peer's session hangs
// on that stream. Only that peer's close ends it.
TEST_F(ServingTest, ALiveRequestJoinsARunningStreamAndOnlyItsPeersCloseEndsIt) {
  CStrevaCtrl ctrl;
  auto main = std::make_unique<CRtspEvents>(nullptr, &ctrl);
  auto sub = std::make_unique<CRtspEvents>(nullptr, &ctrl);
  DevInfo& camera = g_lstDevInfo.emplace_back(Device("Cam", "10.0.0.1", 1, 1));
  camera.pRtspEvent1 = main.get();
  camera.pRtspEvent2 = sub.get();
  main->SetStreamInfo(5, 1, 0, 0);  // the main stream runs for a pane
  camera.MainStreamId = 5;
  camera.bWatched = 1;

  RelayRequestRecord request;
  const std::string key = FormatDeviceKey(kMac, "10.0.0.1");
  std::snprintf(request.szDevKey, sizeof request.szDevKey, "%s", key.c_str());
  request.dwStream = 1;
  ASSERT_TRUE(OpenRelayLiveVideo(camera, request, 77));
  ASSERT_NE(main->RelaySession(), nullptr);
  EXPECT_EQ(main->RelaySession()->Word(3), 77u);
  EXPECT_STREQ(main->RelaySession()->Name(), key.c_str());
  EXPECT_TRUE(main->IsRelayServing());
  EXPECT_TRUE(main->IsRelayActive());
  EXPECT_EQ(sub->RelaySession(), nullptr);
  EXPECT_EQ(camera.MainStreamId, 5);  // no second stream
  EXPECT_STREQ(camera.RelayStreamSuffix, "");

  pelk::RecordStore& records = pelk::Engine::Default().Records();
  auto close = [&](DWORD word) {
    auto* record = records.NewRecord<RelayRequestRecord>();
    *record = request;
    OnRelayVideoClose(record, word, kMac);
  };
  close(88);  // another peer's word
  EXPECT_NE(main->RelaySession(), nullptr);
  close(77);
  EXPECT_EQ(main->RelaySession(), nullptr);
  EXPECT_FALSE(main->IsRelayServing());
  EXPECT_EQ(camera.MainStreamId, 5);  // watched here: the stream goes on
  EXPECT_EQ(records.Outstanding(), 0u);
}

TEST_F(ServingTest, ASubStreamRequestOpensTheStreamOnAFreeObject) {
  CStrevaCtrl ctrl;
  auto main = std::make_unique<CRtspEvents>(nullptr, &ctrl);
  auto sub = std::make_unique<CRtspEvents>(nullptr, &ctrl);
  DevInfo& camera = g_lstDevInfo.emplace_back(Device("Cam", "127.0.0.1", 1, 1));
  camera.VideoPort = 1;
  std::snprintf(camera.Resolution, sizeof camera.Resolution, "D1");
  camera.pRtspEvent1 = main.get();
  camera.pRtspEvent2 = sub.get();
  RelayRequestRecord request;
  std::snprintf(request.szDevKey, sizeof request.szDevKey, "%s", FormatDeviceKey(kMac, "127.0.0.1").c_str());
  request.dwStream = 0;
  ASSERT_TRUE(OpenRelayLiveVideo(camera, request, 5));
  EXPECT_GT(camera.MainStreamId, 0);
  EXPECT_EQ(main->GetStreamKind(), 0);
  EXPECT_NE(main->RelaySession(), nullptr);
  // The peer's choice is kept at run time: the stored resolution (what the
  // panes open and DevInfo.xml keeps) stays as the user set it.
  EXPECT_STREQ(camera.RelayStreamSuffix, "cif");
  EXPECT_STREQ(camera.Resolution, "D1");
  // The peer goes: nobody watches or records here, the stream stops.
  auto* record = pelk::Engine::Default().Records().NewRecord<RelayRequestRecord>();
  *record = request;
  OnRelayVideoClose(record, 5, kMac);
  EXPECT_EQ(camera.MainStreamId, 0);
  EXPECT_EQ(main->GetStreamId(), 0);
}

TEST_F(ServingTest, ARequestThatCannotBeServedIsRefusedOnceAndGivenBack) {
  g_lstDevInfo.push_back(Device("NoStreams", "10.0.0.1", 1, 1));  // no stream objects
  pelk::RecordStore& records = pelk::Engine::Default().Records();
  for (const char* key : {"00-1A-2B-3C-4D-5E:10.0.0.1", "11-11-11-11-11-11:10.0.0.1", "00-1A-2B-3C-4D-5E:10.9.9.9"}) {
    PelkTestReset();
    auto* record = records.NewRecord<RelayRequestRecord>();
    std::snprintf(record->szDevKey, sizeof record->szDevKey, "%s", key);
    EXPECT_EQ(OnRelayVideoRequest(record, 3, kMac), 1);
    EXPECT_EQ(PelkTestCounts().rspDeviceVideo, 1) << key;
  }
  EXPECT_EQ(records.Outstanding(), 0u);
}
