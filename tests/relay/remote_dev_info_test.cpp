#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "pelk/pelk_testing.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "relay/remote_dev_info.h"
#include "relay/login/vss_info.h"

namespace {

class RemoteDevInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_.File("Config"));
    paths::SetProgramFolder(folder_.Path());
    g_lstVssInfo.clear();
  }
  void TearDown() override {
    g_lstVssInfo.clear();
    paths::SetProgramFolder("");
  }
  std::string File() const { return folder_.File("Config/RemoteDevInfo.xml"); }
  std::string Read() const {
    std::string text;
    fileapi::ReadWhole(File(), text);
    return text;
  }
  void Write(const std::string& text) const { fileapi::WriteWhole(File(), text.data(), text.size()); }
  static std::vector<RemoteDevEntry> Load(BOOL* loaded = nullptr) {
    std::vector<RemoteDevEntry> entries;
    const BOOL ok = LoadRemoteDevInfo([&](const RemoteDevEntry& e) { entries.push_back(e); });
    if (loaded) *loaded = ok;
    return entries;
  }
  static RelayDevice Device(int type, const char* ip, const char* mac, const char* name, int state) {
    RelayDevice dev;
    dev.nType = type;
    dev.nState = state;
    std::snprintf(dev.IPAddr, sizeof dev.IPAddr, "%s", ip);
    std::snprintf(dev.MACAddr, sizeof dev.MACAddr, "%s", mac);
    std::snprintf(dev.DevName, sizeof dev.DevName, "%s", name);
    return dev;
  }
  static Vemo2Node& AddServer(const char* ip, int port, long handle) {
    Vemo2Node& server = g_lstVssInfo.emplace_back();
    std::snprintf(server.IPAddr, sizeof server.IPAddr, "%s", ip);
    server.nPort = port;
    server.nLoginHandle = handle;
    return server;
  }

  TempFolder folder_;
};

}  // namespace

TEST_F(RemoteDevInfoTest, MissingFileIsCreatedEmpty) {
  BOOL loaded = TRUE;
  EXPECT_TRUE(Load(&loaded).empty());
  EXPECT_FALSE(loaded);
  EXPECT_EQ(Read(), "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevList>\n</DevList>");
  EXPECT_TRUE(Load(&loaded).empty());  // the created file reads as an empty list
  EXPECT_TRUE(loaded);
}

TEST_F(RemoteDevInfoTest, ReadsEveryChildWithMissingAttributesEmptyAndLongTextsCut) {
  const std::string longName(300, 'n');
  Write("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevList>\n"
        "<RemodeDev ParentIp=\"10.0.0.1\" ParentPort=\"9000\" MyIp=\"10.0.0.9\" Mac=\"00-11\" DevName=\"Cam\" />\n"
        "<Other DevName=\"" + longName + "\" />\n</DevList>");
  const std::vector<RemoteDevEntry> entries = Load();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_STREQ(entries[0].ParentIp, "10.0.0.1");
  EXPECT_EQ(entries[0].ParentPort, 9000);
  EXPECT_STREQ(entries[0].MyIp, "10.0.0.9");
  EXPECT_STREQ(entries[0].Mac, "00-11");
  EXPECT_STREQ(entries[0].DevName, "Cam");
  EXPECT_STREQ(entries[1].ParentIp, "");
  EXPECT_EQ(entries[1].ParentPort, 0);
  EXPECT_EQ(std::string(entries[1].DevName), longName.substr(0, 260));
}

TEST_F(RemoteDevInfoTest, DamagedFileIsKept) {
  Write("<DevList><RemodeDev MyIp=\"1.2.3.4\"");
  BOOL loaded = TRUE;
  EXPECT_TRUE(Load(&loaded).empty());
  EXPECT_FALSE(loaded);
  EXPECT_EQ(Read(), "<DevList><RemodeDev MyIp=\"1.2.3.4\"");
}

TEST_F(RemoteDevInfoTest, SavesTheDevicesShownHereAndReadsThemBack) {
  Write(kRemoteDevInfoEmpty);
  Vemo2Node& server = AddServer("10.0.0.1", 9000, 5);
  server.bHasDeviceList = true;
  server.lstRelayDevice.push_back(Device(1, "10.0.0.2", "AA", "Shown", 2));
  server.lstRelayDevice.push_back(Device(2, "10.0.0.3", "BB", "Online", 1));
  server.lstRelayDevice.push_back(Device(4, "10.0.0.4", "CC", "Channel-2", 4));  // shown and recording
  server.lstRelayDevice.push_back(Device(4, "10.0.0.5", "DD", "Recording", 3));
  server.lstRelayDevice.push_back(Device(1, "10.0.0.6", "EE", "Offline", 0));
  ASSERT_TRUE(SaveRemoteDevInfo());
  const std::vector<RemoteDevEntry> entries = Load();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_STREQ(entries[0].DevName, "Shown");
  EXPECT_STREQ(entries[1].DevName, "Channel-2");
  EXPECT_STREQ(entries[1].ParentIp, "10.0.0.1");
  EXPECT_EQ(entries[1].ParentPort, 9000);
  EXPECT_STREQ(entries[1].Mac, "CC");
  EXPECT_STREQ(entries[1].MyIp, "10.0.0.4");
}

TEST_F(RemoteDevInfoTest, AFileThatCannotBeLoadedIsNotWrittenOver) {
  Vemo2Node& server = AddServer("10.0.0.1", 9000, 5);
  server.bHasDeviceList = true;
  server.lstRelayDevice.push_back(Device(1, "10.0.0.2", "AA", "Shown", 2));
  EXPECT_TRUE(SaveRemoteDevInfo());  // missing: nothing is written
  EXPECT_FALSE(std::filesystem::exists(File()));
  Write("<DevList><RemodeDev MyIp=\"1.2.3.4\"");
  EXPECT_TRUE(SaveRemoteDevInfo());
  EXPECT_EQ(Read(), "<DevList><RemodeDev MyIp=\"1.2.3.4\"");
}

// The new text replaces the file only when it was written whole: a write that
// stops half-way (here the file-size limit of the process) leaves the old file.
TEST_F(RemoteDevInfoTest, AWriteThatStopsHalfWayLeavesTheOldFile) {
  const std::string old = std::string(kRemoteDevInfoEmpty);
  Write(old);
  Vemo2Node& server = AddServer("10.0.0.1", 9000, 5);
  server.bHasDeviceList = true;
  for (int i = 0; i < 200; ++i) {
    server.lstRelayDevice.push_back(Device(1, "10.0.0.2", "AA", ("Camera " + std::to_string(i)).c_str(), 2));
  }
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const BOOL saved_ok = SaveRemoteDevInfo();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(Read(), old);
  for (const auto& entry : std::filesystem::directory_iterator(folder_.File("Config"))) {
    EXPECT_EQ(entry.path().filename(), "RemoteDevInfo.xml");  // no half-written file left beside it
  }
  ASSERT_TRUE(SaveRemoteDevInfo());
  EXPECT_EQ(Load().size(), 200u);
}

TEST_F(RemoteDevInfoTest, SaveKeepsTheEntriesOfServersNotLoggedIn) {
  Write("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevList>\n"
        "<RemodeDev ParentIp=\"10.0.0.7\" ParentPort=\"9000\" MyIp=\"10.0.0.8\" Mac=\"DD\" DevName=\"Away\" />\n"
        "<RemodeDev ParentIp=\"10.0.0.1\" ParentPort=\"9000\" MyIp=\"10.0.0.9\" Mac=\"EE\" DevName=\"Gone\" />\n"
        "</DevList>");
  Vemo2Node& server = AddServer("10.0.0.1", 9000, 5);  // logged in: its list replaces its entries
  server.bHasDeviceList = true;
  server.lstRelayDevice.push_back(Device(4, "10.0.0.4", "CC", "Nvr", 2));
  ASSERT_TRUE(SaveRemoteDevInfo());
  const std::vector<RemoteDevEntry> entries = Load();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_STREQ(entries[0].DevName, "Away");
  EXPECT_STREQ(entries[0].ParentIp, "10.0.0.7");
  EXPECT_STREQ(entries[1].DevName, "Nvr");
  g_lstVssInfo.clear();
  ASSERT_TRUE(SaveRemoteDevInfo());  // nobody logged in: the file keeps what it had
  EXPECT_EQ(Load().size(), 2u);
}

TEST_F(RemoteDevInfoTest, InvitesOnlyAnOnlineDeviceOfTheNamedServer) {
  PelkTestReset();
  EXPECT_FALSE(InviteRemoteDevVideo("10.0.0.1", 9000, "10.0.0.2", "AA", "Two", 4));  // no server logged in
  Vemo2Node& server = AddServer("10.0.0.1", 9000, 5);
  server.lstRelayDevice.push_back(Device(2, "10.0.0.2", "AA", "Two", 1));
  server.lstRelayDevice.push_back(Device(4, "10.0.0.4", "CC", "Nvr", 0));
  server.lstRelayDevice.push_back(Device(4, "10.0.0.4", "CC", "Nvr", 1));  // the search ended at the first
  EXPECT_FALSE(InviteRemoteDevVideo("10.0.0.1", 9000, "10.0.0.2", "AA", "Two", 4));  // no list yet
  server.bHasDeviceList = true;
  EXPECT_FALSE(InviteRemoteDevVideo("10.0.0.1", 9001, "10.0.0.2", "AA", "Two", 4));  // the port changed
  EXPECT_FALSE(InviteRemoteDevVideo("10.0.0.1", 9000, "10.0.0.4", "CC", "Nvr", 4));  // offline
  EXPECT_FALSE(InviteRemoteDevVideo("10.0.0.1", 9000, nullptr, "CC", "Nvr", 4));
  EXPECT_EQ(PelkTestCounts().inviteDeviceVideo, 0);
  // Asked for (the login handle 5 is not a real login here, so the library refuses it).
  EXPECT_TRUE(InviteRemoteDevVideo("10.0.0.1", 9000, "10.0.0.2", "AA", "Two", 4));
  EXPECT_EQ(PelkTestCounts().inviteDeviceVideo, 1);
}

TEST_F(RemoteDevInfoTest, TheChannelIsTheLastDigitOfAVideoServersName) {
  struct Case {
    int kind;
    const char* name;
    int channel;
  };
  const Case cases[] = {{0, "Dvs3", 3}, {0, "Dvs", 0}, {1, "Cam7", 0}, {4, "Channel-5", 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(RemoteDevChannel(Device(c.kind, "10.0.0.2", "AA", c.name, 1)), c.channel) << c.name;
  }
}

// A server whose first list comes after the file was read (a slow login) still
// gets its saved devices asked for, once, when the list comes.
TEST_F(RemoteDevInfoTest, TheSavedDevicesOfASlowServerAreAskedForWhenItsListComes) {
  Write("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevList>\n"
        "<RemodeDev ParentIp=\"10.0.0.1\" ParentPort=\"9000\" MyIp=\"10.0.0.2\" Mac=\"AA\" DevName=\"Ready\" />\n"
        "<RemodeDev ParentIp=\"10.0.0.7\" ParentPort=\"9000\" MyIp=\"10.0.0.8\" Mac=\"BB\" DevName=\"Slow\" />\n"
        "</DevList>");
  Vemo2Node& ready = AddServer("10.0.0.1", 9000, 5);
  ready.bHasDeviceList = true;
  ready.lstRelayDevice.push_back(Device(1, "10.0.0.2", "AA", "Ready", 1));
  PelkTestReset();
  CCascadeInvites cascade;
  cascade.Start(4);
  EXPECT_EQ(PelkTestCounts().inviteDeviceVideo, 1);
  EXPECT_EQ(cascade.Waiting(), 1u);
  cascade.OnFirstDeviceList("10.0.0.1", 9000, 4);  // another server: nothing more
  EXPECT_EQ(PelkTestCounts().inviteDeviceVideo, 1);
  Vemo2Node& slow = AddServer("10.0.0.7", 9000, 6);
  slow.bHasDeviceList = true;
  slow.lstRelayDevice.push_back(Device(1, "10.0.0.8", "BB", "Slow", 1));
  cascade.OnFirstDeviceList("10.0.0.7", 9000, 4);
  EXPECT_EQ(PelkTestCounts().inviteDeviceVideo, 2);
  EXPECT_EQ(cascade.Waiting(), 0u);
  cascade.OnFirstDeviceList("10.0.0.7", 9000, 4);  // once
  EXPECT_EQ(PelkTestCounts().inviteDeviceVideo, 2);
}
