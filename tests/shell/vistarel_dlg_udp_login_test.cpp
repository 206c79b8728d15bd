// The main window's UDP login at the account's login server: what follows a
// session's end, and the device notices the server pushes.
#include <gtest/gtest.h>

#include <QLabel>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "common/wait_for.h"
#include "cloud_server_process.h"
#include "fake_device_process.h"
#include "core/client_log.h"
#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "core/res_msg_dlg.h"
#include "platform/string_table.h"
#include "relay/udp/udp_login_testing.h"
#include "alarm_map_wall/emap/map_dlg.h"
#include "alarm_map_wall/emap/map_manager_dlg.h"
#include "shell/dev_tree.h"
#include "shell/device_list_dlg.h"
#include "tests/shell/dev_records.h"
#include "tests/relay/udp/udp_login_server_process.h"
#include "tests/shell/main_window_fixture.h"

namespace {

class UdpLoginWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    g_nLoginType = 1;  // logged in through the cloud account: timer 1004 starts the UDP login
    CopyFixedText(g_szCurUser, "alice");
    CopyFixedText(g_szCurPassword, "E10ADC3949BA59ABBE56E057F20F883E");
    CopyFixedText(g_szLoginSvrIp, "127.0.0.1");
    paths::SetDriveRoot(folder_.Path() + "drives");
    std::filesystem::create_directories(folder_.File("drives/D/Vemo-Log"));
    ASSERT_EQ(OpenLogFile("D:\\Vemo-Log\\clientlog.txt"), 0);
  }
  void TearDown() override {
    CloseLogFile();
    SetUdpLoginPortForTesting(0);
    SetCloudDevicePortForTesting(0);
    CopyFixedText(g_szLoginSvrIp, "");
    MainWindowTest::TearDown();
  }
  std::string Log() {
    CloseLogFile();
    std::ifstream in(folder_.File("drives/D/Vemo-Log/clientlog.txt"), std::ios::binary);
    std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    OpenLogFile("D:\\Vemo-Log\\clientlog.txt");
    return log;
  }
  static size_t UdpLoginTimers() {
    const std::vector<UINT_PTR> fired = maintimers::FiredTimers();
    return static_cast<size_t>(std::count(fired.begin(), fired.end(), CVistarelDlg::TIMER_UDP_LOGIN));
  }
};

TEST_F(UdpLoginWindowTest, RefusedLoginShowsTheMessageAndIsNotTriedAgain) {
  UdpLoginServerProcess server("refuse");
  ASSERT_GT(server.Port(), 0);
  SetUdpLoginPortForTesting(server.Port());
  ASSERT_TRUE(UseEnglishTexts());
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pResMsgDlg->isVisible(); }));
  EXPECT_EQ(static_cast<QLabel*>(dlg.m_pResMsgDlg->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text(),
            "Alarm server failed to connect");
  ASSERT_EQ(server.WaitReceived(1).size(), 1u);
  EXPECT_EQ(server.Received()[0].mid(16, 5), "alice");
  WaitFor([] { return false; }, 500);  // waits of 1 s and more would have passed 20 times over
  EXPECT_EQ(server.Received().size(), 1u) << "a refused login is not tried again";
}

// An unreachable server never gets a login storm: each failure waits twice as
// long as the one before before the next login.
TEST_F(UdpLoginWindowTest, FailuresStartTheLoginAgainAfterAGrowingWait) {
  CopyFixedText(g_szLoginSvrIp, "");  // resolves to nothing: every session ends with status 2
  maintimers::StartRecording();
  Open();
  ASSERT_TRUE(WaitFor([&] { return UdpLoginTimers() >= 5; }));
  const std::string log = Log();
  size_t at = 0;
  for (const char* delay : {"in 1000 ms", "in 2000 ms", "in 4000 ms", "in 8000 ms"}) {
    at = log.find(std::string("OnUdpLoginStatus(): status=2, the UDP login starts again ") + delay, at);
    ASSERT_NE(at, std::string::npos) << delay;
  }
}

// Finds a device tree item by its text.
QTreeWidgetItem* Item(QTreeWidget* tree, const char* name) {
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    if ((*it)->text(0) == name) return *it;
  }
  return nullptr;
}

// A device removed from the account leaves the list, the tree (whose items
// point into the list) and the map.
TEST_F(UdpLoginWindowTest, ARemovedCloudDeviceLeavesTheTreeAndTheMap) {
  g_nLoginType = 0;  // no UDP login needed here
  g_lstDevGroupInfo = {Group("Default")};
  g_lstDevInfo = {Dev("C1", "Gate", 1, "Default"), Dev("C2", "Dock", 1, "Default")};
  CVistarelDlg& dlg = Open();
  QTreeWidget* tree = dlg.m_pDeviceListDlg->GetTree();
  ASSERT_TRUE(WaitFor([&] { return Item(tree, "Gate") != nullptr; }));
  CMapDlg* map = dlg.m_pMapManagerDlg->m_pMapDlg;
  map->m_mapData.AddMap({"Site", ""});
  ASSERT_TRUE(map->ShowMap("Site"));
  ASSERT_TRUE(map->AddDevicePoint(10, 20, &g_lstDevInfo.front()));
  ASSERT_TRUE(map->AddDevicePoint(30, 40, &g_lstDevInfo.back()));

  EXPECT_EQ(dlg.RemoveCloudDevice("C1"), 1);
  EXPECT_EQ(g_lstDevInfo.size(), 1u);
  EXPECT_EQ(Item(tree, "Gate"), nullptr);
  ASSERT_NE(Item(tree, "Dock"), nullptr);
  tree->setCurrentItem(Item(tree, "Dock"));  // the rebuilt items point at live records
  ASSERT_EQ(map->m_mapData.Points().size(), 1u);
  EXPECT_EQ(map->m_mapData.Points().front().DevField, "Dock");
  EXPECT_EQ(dlg.RemoveCloudDevice("C1"), 0);
}

// The cloud service's answer about device 2001, a camera at the fake device.
std::string DeviceAnswer(int ptzPort) {
  return "<xml><err>0</err><msg>ok</msg><ip>198.51.100.1</ip><ls><dev><DevID>2001</DevID><devsn>SN-9</devsn>"
         "<devname>Dock</devname><devtype>100</devtype><devip>127.0.0.1</devip><devptzport>" +
         std::to_string(ptzPort) +
         "</devptzport><devloginuser>admin</devloginuser><devloginpass>Dock-pw9</devloginpass></dev></ls></xml>";
}

// A device added to the account is fetched from the cloud service, added
// once, registered, and shown; new addresses move the same record.
TEST_F(UdpLoginWindowTest, NoticesAddADeviceFromTheCloudAndMoveIt) {
  FakeDeviceProcess device(0, {"--password", "Dock-pw9"});
  FakeDeviceProcess moved(0, {"--password", "Dock-pw9"});
  ASSERT_TRUE(device.Ready() && moved.Ready());
  std::ofstream(folder_.File("answer.xml")) << DeviceAnswer(device.Port());
  CloudServerProcess cloud("ok", folder_.File("answer.xml"));
  ASSERT_GT(cloud.Port(), 0);
  SetCloudDevicePortForTesting(cloud.Port());
  UdpLoginServerProcess server("accept");
  ASSERT_GT(server.Port(), 0);
  SetUdpLoginPortForTesting(server.Port());
  CopyFixedText(g_szCurPassword, CloudDigest("secret").c_str());
  g_lstDevGroupInfo = {Group("Default")};
  g_lstDevInfo = {Dev("C1", "Gate", 1, "Default")};
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return !server.Received().empty(); }));  // the main window's timer runs the login

  ASSERT_EQ(server.Command("notice 2001 100001001 -"), "OK");
  ASSERT_TRUE(WaitFor([&] { return g_lstDevInfo.size() == 2; }));
  const DevInfo& added = g_lstDevInfo.back();
  EXPECT_STREQ(added.DevName, "Dock");
  EXPECT_STREQ(added.GroupName, "Default");
  EXPECT_STREQ(added.Resolution, "cif");
  EXPECT_EQ(added.RtpOverRtsp, 1);
  EXPECT_NE(added.pRtspEvent1, nullptr);
  EXPECT_NE(added.pRtspEvent2, nullptr);
  EXPECT_GT(added.GimbroId, 0);
  EXPECT_EQ(device.Take("LOGIN", 10.0), "LOGIN admin ok") << "registered with the messaging control";
  QTreeWidget* tree = dlg.m_pDeviceListDlg->GetTree();
  auto item = [&](const char* name) { return Item(tree, name); };
  EXPECT_TRUE(WaitFor([&] { return item("Dock") != nullptr && CDevTree::ItemImage(item("Dock")) == 3; }))
      << "the new device shows in the tree and comes online";
  bool askedForTheDevice = false;
  for (const std::string& request : cloud.Requests()) askedForTheDevice |= request.find("&devid=2001") != std::string::npos;
  EXPECT_TRUE(askedForTheDevice);

  // The same device announced again is listed already.
  ASSERT_EQ(server.Command("notice 2001 100001001 -"), "OK");
  ASSERT_TRUE(WaitFor([&] { return cloud.Requests().size() >= 4; }));
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(g_lstDevInfo.size(), 2u);

  // New addresses: four lines change nothing, five move the record in place.
  ASSERT_EQ(server.Command("notice 2001 100001004 ip:127.0.0.1\\r\\nptz:" + std::to_string(moved.Port()) +
                           "\\r\\nweb:80\\r\\nvideo:8554"),
            "OK");
  ASSERT_EQ(server.Command("notice 2001 100001004 ip:127.0.0.1\\r\\nptz:" + std::to_string(moved.Port()) +
                           "\\r\\nweb:80\\r\\nvideo:8554\\r\\nph:1"),
            "OK");
  ASSERT_TRUE(WaitFor([&] { return g_lstDevInfo.back().PtzPort == moved.Port(); }));
  EXPECT_EQ(g_lstDevInfo.size(), 2u) << "no copy beside the old record";
  EXPECT_EQ(g_lstDevInfo.back().VideoPort, 8554);
  EXPECT_EQ(moved.Take("LOGIN", 10.0), "LOGIN admin ok");
  EXPECT_EQ(std::count_if(g_lstDevInfo.begin(), g_lstDevInfo.end(),
                          [](const DevInfo& d) { return std::string(d.DevSN) == "SN-9"; }),
            1);

  const std::string log = Log();
  EXPECT_NE(log.find("Add a device channel, DevName=Dock, GimbroId="), std::string::npos);
  EXPECT_NE(log.find("name=admin, psw=******"), std::string::npos);
  EXPECT_EQ(log.find("Dock-pw9"), std::string::npos) << "the device's password never reaches the log";
  EXPECT_NE(log.find("new addresses of device 2001 refused"), std::string::npos);
}

// A notice the cloud service cannot answer, or answers with a refusal, adds nothing.
TEST_F(UdpLoginWindowTest, NoticeWithoutAGoodCloudAnswerAddsNothing) {
  std::ofstream(folder_.File("answer.xml")) << "<xml><err>3</err></xml>";
  CloudServerProcess cloud("ok", folder_.File("answer.xml"));
  ASSERT_GT(cloud.Port(), 0);
  UdpLoginServerProcess server("accept");
  ASSERT_GT(server.Port(), 0);
  SetUdpLoginPortForTesting(server.Port());
  CopyFixedText(g_szCurPassword, CloudDigest("secret").c_str());
  Open();
  ASSERT_TRUE(WaitFor([&] { return !server.Received().empty(); }));  // the main window's timer runs the login
  SetCloudDevicePortForTesting(ClosedPort());
  ASSERT_EQ(server.Command("notice 5 100001001 -"), "OK");
  ASSERT_TRUE(WaitFor([&] { return Log().find("CloudLoginEx failed for device 5") != std::string::npos; }));
  SetCloudDevicePortForTesting(cloud.Port());
  ASSERT_EQ(server.Command("notice 6 100001001 -"), "OK");
  ASSERT_EQ(server.Command("notice 6 100009999 -"), "OK");
  ASSERT_TRUE(WaitFor([&] { return Log().find("device 6 not added: the cloud service refused") != std::string::npos; }));
  EXPECT_NE(Log().find("notice code 100009999 of device 6, nothing to do"), std::string::npos);
  EXPECT_TRUE(g_lstDevInfo.empty());
}

}  // namespace
