#include <gtest/gtest.h>

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

TEST_F(RemoteDevInfoTest, SavesDevicesOfKindTwoAndFourAndReadsThemBack) {
  Vemo2Node& server = AddServer("10.0.0.1", 9000, 5);
  server.lstRelayDevice.push_back(Device(2, "10.0.0.2", "AA", "Two", 1));
  server.lstRelayDevice.push_back(Device(1, "10.0.0.3", "BB", "One", 1));
  server.lstRelayDevice.push_back(Device(4, "10.0.0.4", "CC", "Nvr", 0));
  ASSERT_TRUE(SaveRemoteDevInfo());
  const std::vector<RemoteDevEntry> entries = Load();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_STREQ(entries[0].DevName, "Two");
  EXPECT_STREQ(entries[1].DevName, "Nvr");
  EXPECT_STREQ(entries[1].ParentIp, "10.0.0.1");
  EXPECT_EQ(entries[1].ParentPort, 9000);
  EXPECT_STREQ(entries[1].Mac, "CC");
  EXPECT_STREQ(entries[1].MyIp, "10.0.0.4");
}

TEST_F(RemoteDevInfoTest, SaveKeepsTheEntriesOfServersNotLoggedIn) {
  Write("<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevList>\n"
        "<RemodeDev ParentIp=\"10.0.0.7\" ParentPort=\"9000\" MyIp=\"10.0.0.8\" Mac=\"DD\" DevName=\"Away\" />\n"
        "<RemodeDev ParentIp=\"10.0.0.1\" ParentPort=\"9000\" MyIp=\"10.0.0.9\" Mac=\"EE\" DevName=\"Gone\" />\n"
        "</DevList>");
  Vemo2Node& server = AddServer("10.0.0.1", 9000, 5);  // logged in: its list replaces its entries
  server.lstRelayDevice.push_back(Device(4, "10.0.0.4", "CC", "Nvr", 1));
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
  EXPECT_FALSE(InviteRemoteDevVideo("10.0.0.1", 9000, "10.0.0.2", "AA", "Two"));  // no server logged in
  Vemo2Node& server = AddServer("10.0.0.1", 9000, 5);
  server.lstRelayDevice.push_back(Device(2, "10.0.0.2", "AA", "Two", 1));
  server.lstRelayDevice.push_back(Device(4, "10.0.0.4", "CC", "Nvr", 0));
  EXPECT_FALSE(InviteRemoteDevVideo("10.0.0.1", 9001, "10.0.0.2", "AA", "Two"));  // other port
  EXPECT_FALSE(InviteRemoteDevVideo("10.0.0.1", 9000, "10.0.0.4", "CC", "Nvr"));  // offline
  EXPECT_EQ(PelkTestCounts().inviteDeviceVideo, 0);
  // Asked for (the login handle 5 is not a real login here, so the library refuses it).
  InviteRemoteDevVideo("10.0.0.1", 9000, "10.0.0.2", "AA", "Two");
  EXPECT_EQ(PelkTestCounts().inviteDeviceVideo, 1);
}
