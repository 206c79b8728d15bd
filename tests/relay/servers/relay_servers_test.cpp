// The relay servers this client is logged in to: their device lists, device
// states, video answers and the end of their connections.
#include <gtest/gtest.h>

#include <QWidget>
#include <cstring>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "core/dev_info_store.h"
#include "live/streams/relay_video_player.h"
#include "pelk/pelk_engine.h"
#include "pelk/pelk_testing.h"
#include "relay/login/vss_info.h"
#include "relay/servers/relay_pane_keys.h"
#include "relay/servers/relay_servers.h"

namespace {

constexpr char kMac[] = "00-1A-2B-3C-4D-5E";

RelayDeviceEntry Entry(int type, const char* ip, const char* mac, const char* name, int state = 1) {
  RelayDeviceEntry entry;
  entry.nType = type;
  std::snprintf(entry.IPAddr, sizeof entry.IPAddr, "%s", ip);
  std::snprintf(entry.MACAddr, sizeof entry.MACAddr, "%s", mac);
  std::snprintf(entry.DevName, sizeof entry.DevName, "%s", name);
  entry.nState = state;
  return entry;
}

class RelayServersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedServers_.swap(g_lstVssInfo);
    savedDevices_.swap(g_lstDevInfo);
    host_.LocalMac = [] { return std::string(kMac); };
    host_.IsClosing = [this] { return closing_; };
    host_.RefreshDevList = [this] { ++refreshes_; };
    host_.StopVemo2Watch = [this](const RelayDevice& d) { stopped_.push_back(d.DevName); };
    host_.ResetRelayPanes = [this](const RelayDevice& d) { reset_.push_back(d.DevName); };
    host_.CloseRelayPane = [this](const RelayDevice& d) { closedPanes_.push_back(d.DevName); };
    host_.DevicePageShown = [this] { return devicePageShown_; };
    host_.ShowDevicePageMessage = [this](int id, const std::string& text) {
      messages_.push_back(std::to_string(id) + ":" + text);
    };
    host_.PlaceRelayVideo = [this](const std::string& paneKey, const RelayDevice& d, DWORD mainId, DWORD subId,
                                   const BYTE* video, const BYTE*) {
      placed_.push_back(paneKey + "/" + d.DevName + "/" + std::to_string(mainId) + "/" + std::to_string(subId) +
                        "/" + reinterpret_cast<const char*>(video));
    };
    host_.StopVemo2Login = [this] { ++loginStops_; };
  }
  void TearDown() override {
    g_lstVssInfo.swap(savedServers_);
    g_lstDevInfo.swap(savedDevices_);
    EXPECT_EQ(Records().Outstanding(), 0u);
  }
  static pelk::RecordStore& Records() { return pelk::Engine::Default().Records(); }

  Vemo2Node& AddServer(LONG login, const char* name) {
    Vemo2Node& server = g_lstVssInfo.emplace_back();
    server.nLoginHandle = login;
    std::snprintf(server.DevName, sizeof server.DevName, "%s", name);
    return server;
  }
  // A list as the library posts it.
  RelayDeviceListRecord* List(const std::vector<RelayDeviceEntry>& entries) {
    auto* record = Records().NewRecord<RelayDeviceListRecord>();
    record->pList = Records().NewArray<RelayDeviceEntry>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) record->pList[i] = entries[i];
    record->dwCount = static_cast<DWORD>(entries.size());
    return record;
  }
  static std::vector<std::string> Names(const Vemo2Node& server) {
    std::vector<std::string> names;
    for (const RelayDevice& d : server.lstRelayDevice) names.push_back(d.DevName);
    return names;
  }

  std::list<Vemo2Node> savedServers_;
  std::list<DevInfo> savedDevices_;
  RelayHost host_;
  bool closing_ = false;
  bool devicePageShown_ = true;
  int refreshes_ = 0;
  int loginStops_ = 0;
  std::vector<std::string> stopped_, reset_, closedPanes_, messages_, placed_;
};

}  // namespace

TEST_F(RelayServersTest, KnownDevicesAreNotTakenIn) {
  Vemo2Node& other = AddServer(7, "Other");
  other.lstRelayDevice.emplace_back(Entry(1, "10.0.0.5", "AA", "Listed"));
  g_lstDevInfo.emplace_back();
  std::snprintf(g_lstDevInfo.back().IPAddr, sizeof g_lstDevInfo.back().IPAddr, "192.168.0.9");
  CRelayServers servers(host_);
  struct Case {
    const char* ip;
    const char* mac;
    LONG excluded;
    bool inner;
    bool known;
  };
  const Case cases[] = {
      {"", "AA", 0, false, false},             // no IP
      {"10.0.0.5", "", 0, false, false},       // no MAC
      {"10.0.0.6", kMac, 0, false, true},      // this client's own device
      {"10.0.0.5", "AA", 0, false, true},      // another server lists it
      {"10.0.0.5", "AA", 7, false, false},     // ... but that server is the one excluded
      {"10.0.0.5", "BB", 0, false, false},
      {"192.168.0.9", "BB", 0, true, true},    // a local device on the inner network
      {"192.168.0.9", "BB", 0, false, false},  // on an outer network it is kept
  };
  for (const Case& c : cases) {
    EXPECT_EQ(servers.IsRelayDeviceKnown(c.ip, c.mac, c.excluded, c.inner), c.known) << c.ip << " " << c.mac;
  }
}

TEST_F(RelayServersTest, AFirstListIsTakenInAndALaterOneKeepsWhatIsShown) {
  Vemo2Node& first = AddServer(1, "First");
  first.bHasDeviceList = true;
  first.lstRelayDevice.emplace_back(Entry(1, "10.0.0.9", "CC", "Elsewhere"));
  Vemo2Node& server = AddServer(2, "Second");
  CRelayServers servers(host_);
  servers.OnRelayDeviceList(List({Entry(1, "10.0.0.1", "AA", "Cam"), Entry(1, "10.0.0.2", kMac, "Mine"),
                                  Entry(1, "10.0.0.9", "CC", "Twice"), Entry(4, "10.0.0.3", "AA", "Channel-1"),
                                  Entry(4, "10.0.0.3", "AA", "Channel-2")}),
                             2);
  EXPECT_TRUE(server.bHasDeviceList);
  EXPECT_EQ(Names(server), (std::vector<std::string>{"Cam", "Channel-1", "Channel-2"}));
  EXPECT_EQ(messages_, (std::vector<std::string>{"1067:"}));
  EXPECT_EQ(refreshes_, 1);

  // Shown here: the camera (with a player) and channel 2 (with a player).
  auto camPlayer = std::make_shared<RelayVideoPlayer>(nullptr, FALSE);
  auto channelPlayer = std::make_shared<RelayVideoPlayer>(nullptr, FALSE);
  auto it = server.lstRelayDevice.begin();
  it->nState = 2;
  it->pRelayPlayer = camPlayer;
  std::next(it, 2)->nState = 4;
  std::next(it, 2)->pRelayPlayer = channelPlayer;
  // The later list names the camera otherwise (a camera is matched by IP and
  // MAC alone) and no longer has channel 2.
  servers.OnRelayDeviceList(List({Entry(1, "10.0.0.1", "AA", "Renamed", 1), Entry(4, "10.0.0.3", "AA", "Channel-1", 1)}),
                            2);
  ASSERT_EQ(Names(server), (std::vector<std::string>{"Renamed", "Channel-1"}));
  EXPECT_EQ(server.lstRelayDevice.front().nState, 2);
  EXPECT_EQ(server.lstRelayDevice.front().pRelayPlayer.lock(), camPlayer);
  EXPECT_EQ(stopped_, (std::vector<std::string>{"Channel-2"}));
  EXPECT_EQ(messages_.size(), 1u);  // no message for a later list

  // A list for a handle that no server has is only given back.
  servers.OnRelayDeviceList(List({Entry(1, "10.0.0.7", "DD", "Stray")}), 99);
  EXPECT_EQ(refreshes_, 3);
}

// The confirmation of a first list is for the user on the device page: the
// lists of the servers logged in to at start, while the user is elsewhere,
// come without a message.
TEST_F(RelayServersTest, AFirstListIsConfirmedOnlyOnTheDevicePage) {
  AddServer(1, "AtStart");
  AddServer(2, "Added");
  CRelayServers servers(host_);
  devicePageShown_ = false;
  servers.OnRelayDeviceList(List({Entry(1, "10.0.0.1", "AA", "Cam")}), 1);
  EXPECT_TRUE(messages_.empty());
  devicePageShown_ = true;
  servers.OnRelayDeviceList(List({Entry(1, "10.0.0.1", "AA", "Cam")}), 1);  // a later list: none either
  EXPECT_TRUE(messages_.empty());
  servers.OnRelayDeviceList(List({Entry(1, "10.0.0.2", "BB", "Yard")}), 2);
  EXPECT_EQ(messages_, (std::vector<std::string>{"1067:"}));
  EXPECT_EQ(refreshes_, 3);
}

// A later list gives every device still listed the server's state; only the
// mark that its video is shown here (2, 4) and its player stay. An NVR's own
// item, whose state no event reports, follows the lists.
TEST_F(RelayServersTest, ALaterListGivesTheServersStatesAndKeepsTheShownMark) {
  Vemo2Node& server = AddServer(2, "B");
  CRelayServers servers(host_);
  servers.OnRelayDeviceList(List({Entry(4, "10.0.0.3", "AA", "NVR", 0), Entry(4, "10.0.0.3", "AA", "Channel-1", 0),
                                  Entry(1, "10.0.0.1", "AA", "Cam", 1), Entry(1, "10.0.0.2", "AA", "Yard", 1)}),
                             2);
  ASSERT_EQ(server.lstRelayDevice.size(), 4u);
  struct Case {
    int before;  // the kept record's state
    int listed;  // the state the later list gives
    int after;
  };
  const Case cases[] = {
      {0, 1, 1}, {1, 0, 0}, {1, 3, 3}, {3, 1, 1}, {0, 3, 3},  // not shown here: the server's state
      {2, 1, 2}, {2, 3, 4}, {4, 1, 2}, {4, 3, 4},             // shown: the mark stays, recording follows
      {2, 0, 2}, {4, 0, 4},                                   // shown, offline: the offline event closes the pane
  };
  auto player = std::make_shared<RelayVideoPlayer>(nullptr, FALSE);
  for (const Case& c : cases) {
    for (RelayDevice& device : server.lstRelayDevice) {
      device.nState = c.before;
      device.pRelayPlayer = player;
    }
    servers.OnRelayDeviceList(List({Entry(4, "10.0.0.3", "AA", "NVR", c.listed),
                                    Entry(4, "10.0.0.3", "AA", "Channel-1", c.listed),
                                    Entry(1, "10.0.0.1", "AA", "Cam", c.listed), Entry(1, "10.0.0.2", "AA", "Yard", c.listed)}),
                              2);
    ASSERT_EQ(server.lstRelayDevice.size(), 4u);
    for (const RelayDevice& device : server.lstRelayDevice) {
      EXPECT_EQ(device.nState, c.after) << device.DevName << " " << c.before << "/" << c.listed;
      EXPECT_EQ(device.pRelayPlayer.lock(), player) << device.DevName;
    }
  }
  EXPECT_TRUE(stopped_.empty());
}

TEST_F(RelayServersTest, StateEventsMoveTheStates) {
  Vemo2Node& server = AddServer(3, "S");
  server.bHasDeviceList = true;
  RelayDevice& device = server.lstRelayDevice.emplace_back(Entry(1, "10.0.0.1", "AA", "Cam"));
  CRelayServers servers(host_);
  struct Case {
    int before;
    LONG event;
    int after;
    bool paneClosed;
  };
  const Case cases[] = {
      {2, PELK_STATE_OFFLINE, 0, true},        {4, PELK_STATE_OFFLINE, 0, true},
      {1, PELK_STATE_OFFLINE, 0, false},       {0, PELK_STATE_ONLINE, 1, false},
      {3, PELK_STATE_ONLINE, 3, false},        {2, PELK_STATE_RECORDING, 4, false},
      {1, PELK_STATE_RECORDING, 3, false},     {4, PELK_STATE_RECORD_STOPPED, 2, false},
      {2, PELK_STATE_RECORD_STOPPED, 2, false}, {3, PELK_STATE_RECORD_STOPPED, 1, false},
      {3, 9, 3, false},
  };
  for (const Case& c : cases) {
    device.nState = c.before;
    closedPanes_.clear();
    auto* record = Records().NewRecord<RelayDeviceStateRecord>();
    std::snprintf(record->szDevKey, sizeof record->szDevKey, "AA:10.0.0.1");
    servers.OnRelayDeviceState(record, c.event);
    EXPECT_EQ(device.nState, c.after) << c.before << " " << c.event;
    EXPECT_EQ(closedPanes_.size(), c.paneClosed ? 1u : 0u) << c.before << " " << c.event;
  }
  // While the main window closes: given back, nothing else.
  closing_ = true;
  device.nState = 1;
  auto* record = Records().NewRecord<RelayDeviceStateRecord>();
  std::snprintf(record->szDevKey, sizeof record->szDevKey, "AA:10.0.0.1");
  servers.OnRelayDeviceState(record, PELK_STATE_OFFLINE);
  EXPECT_EQ(device.nState, 1);
}

TEST_F(RelayServersTest, AServerThatWentAwayLeavesWithItsPanesAndPlayers) {
  AddServer(1, "Stays");
  Vemo2Node& server = AddServer(2, "Gone");
  server.bHasDeviceList = true;
  server.lstRelayDevice.emplace_back(Entry(1, "10.0.0.1", "AA", "Cam"));
  server.lstRelayDevice.emplace_back(Entry(4, "10.0.0.2", "AA", "Channel-3"));
  QWidget pane;
  auto player = std::make_shared<RelayVideoPlayer>(&pane, FALSE);
  ASSERT_TRUE(player->HasPlayer());
  server.lstRelayDevice.front().pRelayPlayer = player;
  CRelayServers servers(host_);
  PelkTestReset();
  servers.OnRelayServerClosed(2);
  EXPECT_EQ(reset_, (std::vector<std::string>{"Cam", "Channel-3"}));
  EXPECT_EQ(messages_, (std::vector<std::string>{"1068:Gone"}));
  ASSERT_EQ(g_lstVssInfo.size(), 1u);
  EXPECT_STREQ(g_lstVssInfo.front().DevName, "Stays");
  EXPECT_FALSE(player->HasPlayer());
  // This client's own peers learn that the server's camera and channel 3 went offline.
  const std::vector<PelkDeviceStateReport> reports = PelkTestDeviceStates();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].deviceKey, "AA:10.0.0.1");
  EXPECT_EQ(reports[0].channel, 0);
  EXPECT_EQ(reports[1].channel, 3);
  EXPECT_EQ(reports[1].state, PELK_STATE_OFFLINE);
  EXPECT_EQ(refreshes_, 1);
  servers.OnRelayServerClosed(2);  // unknown now
  EXPECT_EQ(refreshes_, 1);
}

TEST_F(RelayServersTest, AVideoAnswerIsPlacedForItsDevice) {
  Vemo2Node& server = AddServer(1, "S");
  server.bHasDeviceList = true;
  server.lstRelayDevice.emplace_back(Entry(1, "10.0.0.1", "AA", "Cam"));
  server.lstRelayDevice.emplace_back(Entry(4, "10.0.0.2", "AA", "Nvr"));
  server.lstRelayDevice.emplace_back(Entry(4, "10.0.0.2", "AA", "Channel-2"));
  server.lstRelayDevice.emplace_back(Entry(0, "10.0.0.3", "AA", "Dvs4"));
  CRelayServers servers(host_);
  struct Case {
    const char* key;
    DWORD subId;
    bool withBlocks;
    const char* placed;  // "" none
  };
  const Case cases[] = {
      {"AA:10.0.0.1", 0, true, "AA:Cam/Cam/1/0/H264"},
      {"AA:10.0.0.2", 2, true, "AA:10.0.0.2:Channel-2/Channel-2/1/2/H264"},
      {"AA:10.0.0.2", 5, true, ""},
      {"AA:10.0.0.3", 4, true, "AA:Dvs4/Dvs4/1/4/H264"},
      {"AA:10.0.0.1", 0, false, ""},  // a refused answer
      {"BB:10.0.0.1", 0, true, ""},
  };
  for (const Case& c : cases) {
    placed_.clear();
    auto* answer = Records().NewRecord<RelayVideoAnswer>();
    std::snprintf(answer->szDevKey, sizeof answer->szDevKey, "%s", c.key);
    answer->dwMainId = 1;
    answer->dwSubId = c.subId;
    if (c.withBlocks) std::memcpy(answer->VideoParam, "H264", 5);
    servers.OnRelayChannelNotify(answer);
    EXPECT_EQ(placed_.empty() ? std::string() : placed_[0], c.placed) << c.key << " " << c.subId;
  }
}

TEST_F(RelayServersTest, ALoginWhoseListCannotBeAskedForIsDroppedAndTheEndStopsTheThread) {
  CRelayServers servers(host_);
  PelkTestReset();
  auto* node = new Vemo2Node();
  node->nLoginHandle = 12345;  // no such login
  servers.OnVssLoginResult(node, 0);
  EXPECT_TRUE(g_lstVssInfo.empty());
  EXPECT_EQ(PelkTestCounts().loginOut, 1);
  servers.OnVssLoginResult(nullptr, 1);
  EXPECT_EQ(loginStops_, 1);
}

// A preset list answer reaches the PTZ panel only while the main grid's
// selected pane shows that device (for a video server also that channel).
TEST_F(RelayServersTest, APresetListGoesToThePtzPanelForTheShownDeviceOnly) {
  RelayDeviceEntry shown;
  bool showing = true;
  std::vector<std::string> lists;
  host_.SelectedRelayDevice = [&](RelayDeviceEntry& out) {
    out = shown;
    return showing;
  };
  host_.ShowPresetList = [&](const char* text) { lists.push_back(text); };
  CRelayServers servers(host_);
  struct Case {
    RelayDeviceEntry shown;
    bool showing;
    const char* key;
    DWORD channel;
    bool passed;
  };
  const Case cases[] = {
      {Entry(1, "10.0.0.1", "AA", "Cam"), true, "AA:10.0.0.1", 0, true},
      {Entry(1, "10.0.0.1", "AA", "Cam"), false, "AA:10.0.0.1", 0, false},  // the pane shows no relay video
      {Entry(1, "10.0.0.1", "AA", "Cam"), true, "AA:10.0.0.2", 0, false},
      {Entry(1, "10.0.0.1", "AA", "Cam"), true, "BB:10.0.0.1", 0, false},
      {Entry(0, "10.0.0.3", "AA", "Dvs2"), true, "AA:10.0.0.3", 2, true},
      {Entry(0, "10.0.0.3", "AA", "Dvs2"), true, "AA:10.0.0.3", 3, false},  // another channel of the server
  };
  for (const Case& c : cases) {
    shown = c.shown;
    showing = c.showing;
    lists.clear();
    auto* answer = Records().NewRecord<RelayPresetListAnswer>();
    std::snprintf(answer->szDevKey, sizeof answer->szDevKey, "%s", c.key);
    answer->dwChannel = c.channel;
    std::memset(answer->szText, 'p', sizeof answer->szText);  // no end: cut at the field's last byte
    servers.OnRelayPresetListAnswer(answer);
    ASSERT_EQ(lists.size(), c.passed ? 1u : 0u) << c.key << " " << c.channel;
    if (c.passed) EXPECT_EQ(lists[0].size(), PELK_PRESET_TEXT_SIZE - 1);
  }
}

TEST_F(RelayServersTest, PaneKeysNameRelayDevicesAndTheirStates) {
  Vemo2Node& server = AddServer(1, "S");
  server.lstRelayDevice.emplace_back(Entry(1, "10.0.0.1", "AA", "Cam", 2));
  server.lstRelayDevice.emplace_back(Entry(4, "10.0.0.2", "AA", "Channel-3", 1));
  server.lstRelayDevice.emplace_back(Entry(3, "10.0.0.9", "AA", "Node", 1));
  EXPECT_EQ(RelayPaneKey(server.lstRelayDevice.front()), "AA:Cam");
  EXPECT_EQ(RelayPaneKey(*std::next(server.lstRelayDevice.begin())), "AA:10.0.0.2:Channel-3");
  EXPECT_EQ(RelayPaneKeyState("AA:Cam"), 2);
  EXPECT_EQ(RelayPaneKeyState("AA:10.0.0.2:Channel-3"), 1);
  EXPECT_EQ(RelayPaneKeyState("AA:Node"), -1);  // a relay node is no camera
  EXPECT_EQ(RelayPaneKeyState("BB:Cam"), -1);
  const auto choices = RelayPatrolChoices();
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_EQ(choices[0], (std::pair<std::string, std::string>{"S-Cam", "AA:Cam"}));
  EXPECT_EQ(choices[1].second, "AA:10.0.0.2:Channel-3");
}

// The channels of a relay NVR or video server share its MAC and IP: a state
// event's channel picks the channel it is about.
TEST_F(RelayServersTest, AChannelsStateEventReachesThatChannel) {
  Vemo2Node& server = AddServer(3, "S");
  server.bHasDeviceList = true;
  server.lstRelayDevice.emplace_back(Entry(4, "10.0.0.2", "AA", "Nvr", 1));
  server.lstRelayDevice.emplace_back(Entry(4, "10.0.0.2", "AA", "Channel-1", 2));
  server.lstRelayDevice.emplace_back(Entry(4, "10.0.0.2", "AA", "Channel-2", 2));
  server.lstRelayDevice.emplace_back(Entry(0, "10.0.0.3", "AA", "Dvs1", 1));
  server.lstRelayDevice.emplace_back(Entry(0, "10.0.0.3", "AA", "Dvs2", 1));
  CRelayServers servers(host_);
  auto event = [&](const char* key, DWORD channel, LONG state) {
    auto* record = Records().NewRecord<RelayDeviceStateRecord>();
    std::snprintf(record->szDevKey, sizeof record->szDevKey, "%s", key);
    record->dwChannel = channel;
    servers.OnRelayDeviceState(record, state);
  };
  auto states = [&] {
    std::vector<int> all;
    for (const RelayDevice& d : server.lstRelayDevice) all.push_back(d.nState);
    return all;
  };
  event("AA:10.0.0.2", 2, PELK_STATE_OFFLINE);
  EXPECT_EQ(states(), (std::vector<int>{1, 2, 0, 1, 1}));
  EXPECT_EQ(closedPanes_, (std::vector<std::string>{"Channel-2"}));
  event("AA:10.0.0.3", 2, PELK_STATE_RECORDING);
  EXPECT_EQ(states(), (std::vector<int>{1, 2, 0, 1, 3}));
  event("AA:10.0.0.2", 0, PELK_STATE_OFFLINE);  // channel 0: the first with the key
  EXPECT_EQ(states(), (std::vector<int>{0, 2, 0, 1, 3}));
  event("AA:10.0.0.2", 9, PELK_STATE_OFFLINE);  // no such channel: the first as well
  EXPECT_EQ(states(), (std::vector<int>{0, 2, 0, 1, 3}));
}
