// Two instances: this test's main window (A) views the camera of a second
// Vemo program (B) through the relay. B's camera is a fake device with a
// stream of the RTSP test server; A lists B in "VssInfo.xml".
//
// What A sees: B's camera in its device tree, playing in a pane after a
// double click; recording while B's schedule records it; played again after
// A's own restart; offline with its pane stopped when the camera goes away at
// B; the server gone, with its message, when B ends.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <filesystem>

#include "common/wait_for.h"
#include "core/dev_state_image.h"
#include "core/res_msg_dlg.h"
#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "ui/sort_list_ctrl.h"
#include <QDateTimeEdit>
#include "fake_device_process.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "live/streams/relay_video_player.h"
#include "main_window_fixture.h"
#include "platform/file_api.h"
#include "platform/window_text.h"
#include "relay/login/vss_info.h"
#include "rtsp_test_server.h"
#include "shell/dev_tree.h"
#include "shell/device_list_dlg.h"
#include "relay/pair/vemo_peer.h"

namespace {

class RelayViewerPairTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(UseEnglishTexts());
  }
  void TearDown() override {
    dlg_.reset();
    g_lstVssInfo.clear();
    MainWindowTest::TearDown();
  }

  // B's camera as A keeps it, or null.
  static RelayDevice* Gate() {
    for (Vemo2Node& server : g_lstVssInfo) {
      for (RelayDevice& device : server.lstRelayDevice) {
        if (std::string(device.DevName) == "Gate") return &device;
      }
    }
    return nullptr;
  }
  static int GateState() {
    const RelayDevice* gate = Gate();
    return gate != nullptr ? gate->nState : -1;
  }
  // The camera's item in A's device list panel, or null.
  QTreeWidgetItem* GateItem() {
    QTreeWidget* tree = dlg_->m_pDeviceListDlg->GetTree();
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
      if ((*it)->text(0) == "Gate" && CDevTree::ItemKind(*it) == DevTreeData::kRelayDevice) return *it;
    }
    return nullptr;
  }
  int GateImage() {
    QTreeWidgetItem* item = GateItem();
    return item != nullptr ? CDevTree::ItemImage(item) : -1;
  }
  // The main-grid pane that shows B's camera, or null.
  CVideoWnd* GatePane() {
    for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
      CVideoWnd* pane = dlg_->m_pVideoManagerDlg->Pane(i);
      if (pane != nullptr && pane->IsRelaying() && std::string(pane->RelayDev().DevName) == "Gate") return pane;
    }
    return nullptr;
  }
  bool GatePlays() {
    CVideoWnd* pane = GatePane();
    return pane != nullptr && pane->RelayPlayer() != nullptr && pane->RelayPlayer()->FramesFed() > 10;
  }
  void WriteViewerConfig(int relayPort) {
    const std::string vss = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<VssList>\n<Vemo2Node DevName=\"Vemo B\" "
                            "IPAddr=\"127.0.0.1\" LoginName=\"admin\" Password=\"" +
                            std::string(VemoPeer::kDigest) + "\" nPort=\"" + std::to_string(relayPort) +
                            "\" />\n</VssList>\n";
    fileapi::WriteWhole(folder_.File("Config/VssInfo.xml"), vss.data(), vss.size());
    const std::string empty = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevList>\n</DevList>";
    fileapi::WriteWhole(folder_.File("Config/RemoteDevInfo.xml"), empty.data(), empty.size());
  }
  std::string RemoteDevInfo() {
    std::string text;
    fileapi::ReadWhole(folder_.File("Config/RemoteDevInfo.xml"), text);
    return text;
  }
  // A's exit with the right password; its window goes.
  void Exit() {
    passwordRight_ = true;
    dlg_->OnBnClickedBtnClose();
    ASSERT_TRUE(WaitFor([&] { return !dlg_->isVisible(); }));
    dlg_.reset();
  }
};

TEST_F(RelayViewerPairTest, AViewerFollowsThePeersCameraThroughTheRelay) {
  RtspTestServer rtsp;
  ASSERT_TRUE(rtsp.Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py", 0, true));
  auto device = std::make_unique<FakeDeviceProcess>(0, QStringList{"--user", "admin", "--password", "secret"});
  ASSERT_TRUE(device->Ready());
  VemoPeerOptions options;
  options.rtspPort = rtsp.Port();
  // B records its camera for 20 s, a minute after it starts: by then A shows it.
  const int now = QTime::currentTime().msecsSinceStartOfDay() / 1000;
  if (now > 24 * 3600 - 300) GTEST_SKIP() << "B's recording would run past midnight";
  options.recordFrom = now + 60;
  options.recordSeconds = 20;
  VemoPeer peer;
  // B's forwarding page starts its saved server 10 s after B's start.
  ASSERT_TRUE(peer.Start(device->Port(), options)) << peer.Output();

  WriteViewerConfig(peer.Port());
  maintimers::SetDivisor(5);
  CVistarelDlg& a = Open();
  ASSERT_TRUE(WaitFor([&] { return GateState() == 1; }, 30000)) << "B's camera online in A's list";
  EXPECT_TRUE(WaitFor([&] { return GateImage() == kImgOnline; }));
  ASSERT_EQ(GateState(), 1) << "the recording began before A saw the camera (a slow machine)";

  // A double click on the item plays it in a pane.
  CDeviceListDlg* panel = a.m_pDeviceListDlg;
  QTreeWidget* tree = panel->GetTree();
  tree->scrollToItem(GateItem());
  panel->OnDblclkDevTree(tree->visualItemRect(GateItem()).center());
  ASSERT_TRUE(WaitFor([&] { return GatePlays(); }, 30000)) << "B's camera plays in A's pane";
  EXPECT_EQ(GateState(), 2);
  EXPECT_TRUE(WaitFor([&] { return GateImage() == kImgOnlineWatched; }));

  // B's schedule records the camera: A's item shows it recording, then shown again.
  ASSERT_TRUE(WaitFor([&] { return GateState() == 4; }, 90000)) << peer.Log();
  EXPECT_TRUE(WaitFor([&] { return GateImage() == kImgOnlineWatchedRecording; }));
  ASSERT_TRUE(WaitFor([&] { return GateState() == 2; }, 60000));
  EXPECT_TRUE(GatePlays());

  // A ends while the camera plays, and plays it again after its next start.
  Exit();
  EXPECT_NE(RemoteDevInfo().find("DevName=\"Gate\""), std::string::npos) << RemoteDevInfo();
  EXPECT_NE(RemoteDevInfo().find("Mac=\"" + std::string(VemoPeer::kMac) + "\""), std::string::npos);
  g_lstVssInfo.clear();
  CVistarelDlg& again = Open();
  ASSERT_TRUE(WaitFor([&] { return GatePlays(); }, 30000)) << "played again after A's restart";

  // The camera goes away at B: A's item shows it offline and its pane stops.
  device->Kill();
  ASSERT_TRUE(WaitFor([&] { return GateState() == 0; }, 30000));
  EXPECT_TRUE(WaitFor([&] { return GatePane() == nullptr; }));
  EXPECT_TRUE(WaitFor([&] { return GateImage() == kImgOffline; }));

  // B ends: A says so and forgets the server.
  peer.Stop();
  ASSERT_TRUE(WaitFor([&] { return g_lstVssInfo.empty(); }, 30000));
  EXPECT_EQ(GateItem(), nullptr);
  CResMsgDlg* box = again.m_pResMsgDlg;
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(GetWindowTextW(box->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT)),
            "The Vemo with the remote:Vemo B abnormal disconnect");
}


// B's NVR tells its channels and their states: B adds the channel records and
// tells its peers, A lists the channels and shows each channel's state; when
// the NVR has fewer channels, A's list loses the others.
TEST_F(RelayViewerPairTest, AnNvrsChannelsAndTheirStatesReachTheViewer) {
  auto device = std::make_unique<FakeDeviceProcess>(0, QStringList{"--user", "admin", "--password", "secret"});
  ASSERT_TRUE(device->Ready());
  VemoPeerOptions options;
  options.nvr = true;
  VemoPeer peer;
  ASSERT_TRUE(peer.Start(device->Port(), options)) << peer.Output();
  ASSERT_NE(device->Take("LOGIN admin ok", 30), "");  // B's NVR is logged in

  WriteViewerConfig(peer.Port());
  Open();
  auto channels = [&] {
    std::vector<std::string> listed;
    for (const Vemo2Node& server : g_lstVssInfo) {
      for (const RelayDevice& dev : server.lstRelayDevice) {
        if (dev.nType == 4) listed.push_back(std::string(dev.DevName) + "=" + std::to_string(dev.nState));
      }
    }
    return listed;
  };
  ASSERT_TRUE(WaitFor([&] { return channels().size() == 1u; }, 30000)) << "B's NVR in A's list";

  ASSERT_EQ(device->Command("status 26 3"), "OK 1");  // three channels
  ASSERT_TRUE(WaitFor([&] { return channels().size() == 4u; }, 30000)) << "the new list reaches A";
  // The NVR's own item came online at B with its channels: B reports no state
  // of an NVR's own, so A has it from the new list.
  EXPECT_EQ(channels(), (std::vector<std::string>{"Nvr=1", "Channel-1=1", "Channel-2=1", "Channel-3=1"}));
  // Each channel record has a connection of its own to the NVR; a state text
  // reaches every one of them.
  ASSERT_TRUE(WaitFor([&] { return std::stoi(device->Command("count LOGIN admin ok").substr(3)) == 3; }, 30000));
  EXPECT_EQ(device->Command("status 27 010"), "OK 4");
  ASSERT_TRUE(WaitFor([&] {
    return channels() == std::vector<std::string>{"Nvr=1", "Channel-1=0", "Channel-2=1", "Channel-3=0"};
  }, 30000)) << "channel states";
  auto image = [&](const char* name) {
    for (QTreeWidgetItemIterator it(dlg_->m_pDeviceListDlg->GetTree()); *it; ++it) {
      if ((*it)->text(0) == name && CDevTree::ItemKind(*it) == DevTreeData::kRelayDevice)
        return CDevTree::ItemImage(*it);
    }
    return -1;
  };
  EXPECT_TRUE(WaitFor([&] { return image("Channel-1") == kImgOffline && image("Channel-2") == kImgOnline; }));

  ASSERT_EQ(device->Command("status 26 1"), "OK 4");  // one channel left
  ASSERT_TRUE(WaitFor([&] { return channels().size() == 2u; }, 30000));
  // Channel 1 stays as its state text left it, though the count came on its
  // connection too.
  EXPECT_EQ(channels(), (std::vector<std::string>{"Nvr=1", "Channel-1=0"}));
}

// An alarm of B's camera travels through the relay: A lists it under the relay
// device key "MAC:IP", logs it under "MAC_IP", makes the camera's item blink
// while its alarm action is on, and the alarm search finds it under that name.
TEST_F(RelayViewerPairTest, APeersAlarmIsListedAndLoggedUnderItsRelayKey) {
  auto device = std::make_unique<FakeDeviceProcess>(0, QStringList{"--user", "admin", "--password", "secret"});
  ASSERT_TRUE(device->Ready());
  VemoPeer peer;
  ASSERT_TRUE(peer.Start(device->Port())) << peer.Output();
  ASSERT_NE(device->Take("LOGIN admin ok", 30), "");  // B's camera is logged in
  WriteViewerConfig(peer.Port());
  CVistarelDlg& a = Open();
  ASSERT_TRUE(WaitFor([&] { return GateState() == 1; }, 30000)) << "B's camera online in A's list";
  ASSERT_EQ(a.ToggleSoundSwitch(), 1);

  const std::string key = std::string(VemoPeer::kMac) + ":127.0.0.1";
  const std::string logName = std::string(VemoPeer::kMac) + "_127.0.0.1";
  CSortListCtrl* panel = a.m_pAlarmListDlg->GetList();
  auto listed = [&] {
    for (int row = 0; row < panel->GetItemCount(); ++row) {
      if (panel->GetItemText(row, 0) == key && panel->GetItemText(row, 1) == "Motion Detect") return true;
    }
    return false;
  };
  ASSERT_EQ(device->Command("alarm 2026 1 5 0 10 30 0 14 0"), "OK 1");
  ASSERT_TRUE(WaitFor(listed, 30000)) << "B's alarm in A's panel";
  EXPECT_EQ(Gate()->bAlarmFlag, 1);

  CSearchAlarmDlg* search = a.m_pSearchAlarmDlg;
  search->SetRemoteDevice(Gate());
  EXPECT_EQ(search->DeviceText(), logName);
  qobject_cast<QDateTimeEdit*>(search->GetDlgItem(CSearchAlarmDlg::IDC_START))
      ->setDateTime(QDateTime(QDate(2026, 1, 5), QTime(0, 0)));
  auto found = [&] {
    search->OnBnClickedQuery();
    for (const AlarmResult& result : search->Results()) {
      if (std::string(result.DevName) == logName && std::string(result.Type) == "14") return true;
    }
    return false;
  };
  EXPECT_TRUE(WaitFor(found, 20000)) << "written within the log worker's ten seconds, found under MAC_IP";
}
}  // namespace
