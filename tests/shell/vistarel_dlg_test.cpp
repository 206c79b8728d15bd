#include "shell/vistarel_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QThread>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/wait_for.h"
#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "ui/sort_list_ctrl.h"
#include "alarm_map_wall/emap/map_manager_dlg.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "alarm_map_wall/tvwall/tv_wall_manager.h"
#include "core/dev_info_store.h"
#include "core/res_msg_dlg.h"
#include "settings/local/sys_setting_dlg.h"
#include "live/audio/broadcast_dlg.h"
#include "live/audio/broadcast_run.h"
#include "live/ptz/ptz_dlg.h"
#include "live/toolbar/video_toolbar_dlg.h"
#include "records/search/search_rec_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/page_dlg.h"
#include <QMenu>
#include "common/temp_folder.h"
#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/rec_scheme.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "fake_device_process.h"
#include "rtsp_test_server.h"
#include "live/live_messages.h"
#include "live/streams/rtsp_events.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "maker/gimbro/gimbro.h"
#include "platform/dialog_template.h"
#include "platform/paths.h"
#include "platform/post_message.h"
#include "platform/registry_store.h"
#include "platform/string_table.h"
#include "shell/dev_tree.h"
#include "shell/device_list_dlg.h"
#include "shell/live_controls.h"
#include "shell/main_timers.h"
#include "shell/view_state.h"
#include "core/fixed_text.h"
#include "tests/shell/dev_records.h"
#include "tests/shell/main_window_fixture.h"

namespace {


struct Box {
  int x, y, w, h;
  bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.x << "," << b.y << " " << b.w << "x" << b.h << ")";
}
Box Of(const QWidget* w) { return {w->x(), w->y(), w->width(), w->height()}; }

int ThreadCount() {
  return static_cast<int>(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

TEST_F(MainWindowTest, PlacesItsWindowsOnA1024By768Screen) {
  CVistarelDlg& dlg = Open();
  EXPECT_EQ(g_pMainDlg, &dlg);
  EXPECT_EQ(Of(&dlg), (Box{0, 0, 1024, 768}));
  EXPECT_EQ(Of(dlg.m_pPageDlg), (Box{0, 17, 1024, 34}));
  EXPECT_EQ(Of(dlg.m_pVideoToolbarDlg), (Box{10, 51, 1006, 40}));
  EXPECT_EQ(Of(dlg.m_pDeviceListDlg), (Box{10, 91, 219, 621}));
  EXPECT_EQ(Of(dlg.m_pPTZDlg), (Box{10, 435, 219, 300}));
  EXPECT_EQ(Of(dlg.GetDlgItem(1061)), (Box{10, 712, 219, 23}));
  EXPECT_EQ(Of(dlg.GetDlgItem(1062)), (Box{10, 735, 219, 23}));
  EXPECT_EQ(Of(dlg.GetDlgItem(1064)), (Box{992, 2, 26, 17}));
  EXPECT_EQ(Of(dlg.m_pVideoManagerDlg), (Box{235, 91, 781, 667}));
  EXPECT_TRUE(dlg.m_pVideoManagerDlg->isVisible());
  EXPECT_FALSE(dlg.m_pPTZDlg->isVisible());
  EXPECT_FALSE(dlg.m_pCfgManagerDlg->isVisible());
}

// The first module the rights allow, and the windows each module shows.
TEST_F(MainWindowTest, OpensTheFirstModuleTheRightsAllow) {
  const struct {
    int rights[7];
    int module;
  } cases[] = {
      {{1, 1, 1, 1, 1, 1, 1}, 0}, {{0, 1, 1, 0, 0, 0, 0}, 1}, {{0, 1, 0, 0, 0, 0, 0}, 2},
      {{0, 0, 0, 0, 1, 0, 0}, 3}, {{0, 0, 0, 1, 0, 0, 1}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.module);
    std::copy(std::begin(c.rights), std::end(c.rights), g_nCurRights);
    g_nCurModule = -1;
    CVistarelDlg& dlg = Open();
    EXPECT_EQ(g_nCurModule, c.module);
    EXPECT_EQ(dlg.m_pSearchRecDlg->isVisible(), c.module == 1);
    EXPECT_EQ(dlg.m_pSearchAlarmDlg->isVisible(), c.module == 2);
    EXPECT_EQ(dlg.m_pCfgManagerDlg->isVisible(), c.module == 3);
    // Outside live view the device panel takes the whole column.
    if (c.module == 1 || c.module == 2) {
      EXPECT_EQ(Of(dlg.m_pDeviceListDlg), (Box{10, 91, 219, 667}));
    }
    if (c.module == 3) {
      EXPECT_FALSE(dlg.m_pDeviceListDlg->isVisible());
    }
    dlg_.reset();
  }
}

TEST_F(MainWindowTest, ModuleSwitchesShowOneModuleAtATime) {
  CVistarelDlg& dlg = Open();
  dlg.ShowMapModule();
  EXPECT_EQ(g_nCurModule, 5);
  EXPECT_TRUE(dlg.m_pMapManagerDlg->isVisible());
  EXPECT_FALSE(dlg.m_pVideoManagerDlg->isVisible());
  dlg.ShowTVWallModule();
  EXPECT_TRUE(dlg.m_pTVWallManager->isVisible());
  EXPECT_FALSE(dlg.m_pMapManagerDlg->isVisible());
  dlg.ShowVideoModule();
  EXPECT_TRUE(dlg.m_pVideoManagerDlg->isVisible());
  EXPECT_FALSE(dlg.m_pTVWallManager->isVisible());
  EXPECT_EQ(Of(dlg.m_pDeviceListDlg), (Box{10, 91, 219, 621}));
  EXPECT_TRUE(dlg.GetDlgItem(1061)->isVisible());
}

TEST_F(MainWindowTest, PtzAndAlarmButtonsShareTheColumn) {
  CVistarelDlg& dlg = Open();
  const Box panel = Of(dlg.m_pDeviceListDlg);
  const Box ptzButton = Of(dlg.GetDlgItem(1061));
  const Box alarmButton = Of(dlg.GetDlgItem(1062));

  dlg.OnBnClickedPtz();
  EXPECT_TRUE(dlg.m_pPTZDlg->isVisible());
  EXPECT_EQ(Of(dlg.m_pDeviceListDlg), (Box{10, 91, 219, 321}));
  EXPECT_EQ(Of(dlg.GetDlgItem(1061)), (Box{10, 412, 219, 23}));
  dlg.OnBnClickedPtz();
  EXPECT_FALSE(dlg.m_pPTZDlg->isVisible());
  EXPECT_EQ(Of(dlg.m_pDeviceListDlg), panel);
  EXPECT_EQ(Of(dlg.GetDlgItem(1061)), ptzButton);
  EXPECT_EQ(Of(dlg.GetDlgItem(1062)), alarmButton);

  // The alarm list closes the PTZ panel.
  dlg.OnBnClickedPtz();
  dlg.OnBnClickedAlarmList();
  EXPECT_FALSE(dlg.m_pPTZDlg->isVisible());
  EXPECT_TRUE(dlg.m_pAlarmListDlg->isVisible());
  EXPECT_EQ(Of(dlg.GetDlgItem(1062)), (Box{10, 435, 219, 23}));
  dlg.OnBnClickedAlarmList();
  EXPECT_EQ(Of(dlg.m_pDeviceListDlg), panel);

  // Without the PTZ right nothing moves.
  g_nCurRights[3] = 0;
  dlg.OnBnClickedPtz();
  EXPECT_FALSE(dlg.m_pPTZDlg->isVisible());
  EXPECT_EQ(Of(dlg.m_pDeviceListDlg), panel);
}

// The start-up chain on a fast clock: device tree, then panes and recording
// threads, then the alarm blink; the one-shot timers run once each.
TEST_F(MainWindowTest, StartUpTimersRunInTheirOrder) {
  maintimers::StartRecording();
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([] {
    const auto fired = maintimers::FiredTimers();
    return std::count(fired.begin(), fired.end(), 400) >= 2 &&
           std::count(fired.begin(), fired.end(), 1005) == 1;
  }));
  const auto fired = maintimers::FiredTimers();
  auto first = [&](UINT_PTR id) { return std::find(fired.begin(), fired.end(), id) - fired.begin(); };
  EXPECT_LT(first(200), first(900));
  EXPECT_LT(first(900), first(400));
  EXPECT_LT(first(1002), first(1003));
  EXPECT_LT(first(1003), first(1005));
  for (UINT_PTR once : {200, 900, 1002, 1003, 1005}) EXPECT_EQ(std::count(fired.begin(), fired.end(), once), 1) << once;
  EXPECT_EQ(std::count(fired.begin(), fired.end(), 1004), 0);  // no cloud login
  EXPECT_NE(g_pGimbroCtrl, nullptr);
  EXPECT_NE(dlg.m_pRecSchemeManager, nullptr);
  EXPECT_NE(dlg.m_pRecFileManager, nullptr);
  // The cascade file was missing: it is created empty.
  EXPECT_TRUE(std::filesystem::exists(folder_.File("Config/RemoteDevInfo.xml")));
}

// The motion alarms (type 14) of the alarm list, by their English text; a
// login adds an entry of its own.
static int MotionAlarms(CVistarelDlg& dlg) {
  CSortListCtrl* list = dlg.m_pAlarmListDlg->GetList();
  int count = 0;
  for (int row = 0; row < list->GetItemCount(); ++row) count += list->GetItemText(row, 1) == "Motion Detect" ? 1 : 0;
  return count;
}

// A camera that logs in turns its item online; its alarm (with the alarm
// action switched on) blinks the item ten times, sets the alarm button
// flashing and reaches the alarm recording.
TEST_F(MainWindowTest, DeviceMessagesChangeTheTreeItems) {
  ASSERT_TRUE(UseEnglishTexts());
  FakeDeviceProcess device(0, {"--password", "pw"});
  ASSERT_TRUE(device.Ready());
  DevInfo camera = Dev("C1", "Gate", 1, "Hall", 0);
  CopyFixedText(camera.IPAddr, "127.0.0.1");
  camera.PtzPort = device.Port();
  CopyFixedText(camera.LoginName, "admin");
  CopyFixedText(camera.LoginPsw, "pw");
  g_lstDevGroupInfo = {Group("Hall")};
  g_lstDevInfo = {camera};
  CVistarelDlg& dlg = Open();
  QTreeWidget* tree = dlg.m_pDeviceListDlg->GetTree();
  auto gateItem = [&]() -> QTreeWidgetItem* {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
      if ((*it)->text(0) == "Gate") return *it;
    }
    return nullptr;
  };
  ASSERT_TRUE(WaitFor([&] { return gateItem() != nullptr && CDevTree::ItemImage(gateItem()) == 3; }))
      << "the camera's login turns its item online";
  EXPECT_EQ(g_lstDevInfo.front().nOnline, 1);

  // The alarm reaches the recording only while the recording thread runs. It
  // starts on a start-up timer of its own, which a camera on this machine may
  // beat to its login: the alarm is raised once it runs.
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));
  ASSERT_EQ(dlg.ToggleSoundSwitch(), 1);
  ASSERT_EQ(device.Command("alarm 2026 12 10 0 8 30 15 14 0"), "OK 1");
  bool sawAlarmImage = false;
  ASSERT_TRUE(WaitFor([&] {
    sawAlarmImage = sawAlarmImage || CDevTree::ItemImage(gateItem()) == 11;
    return sawAlarmImage && g_lstDevInfo.front().bAlarmFlag == 0;
  }));
  EXPECT_EQ(CDevTree::ItemImage(gateItem()), 3);
  EXPECT_EQ(g_lstDevInfo.front().nMotionAlarm, 14);  // the recording thread runs
  EXPECT_EQ(MotionAlarms(dlg), 1);  // besides the login entry (type 2)

  // The device goes away: its item shows it offline.
  device.Kill();
  EXPECT_TRUE(WaitFor([&] { return CDevTree::ItemImage(gateItem()) == 2; }));
}

// A camera that speaks ONVIF comes online the same way, and its motion event
// reaches the alarm list and the words the alarm recording reads.
TEST_F(MainWindowTest, OnvifCameraComesOnlineAndRaisesAlarms) {
  ASSERT_TRUE(UseEnglishTexts());
  FakeOnvifCamera camera(0, {"--password", "pw"});
  ASSERT_TRUE(camera.Ready());
  DevInfo gate = Dev("C1", "Gate", 1, "Hall", 0);
  CopyFixedText(gate.IPAddr, "127.0.0.1");
  gate.PtzPort = camera.Port();
  CopyFixedText(gate.LoginName, "admin");
  CopyFixedText(gate.LoginPsw, "pw");
  g_lstDevGroupInfo = {Group("Hall")};
  g_lstDevInfo = {gate};
  CVistarelDlg& dlg = Open();
  QTreeWidget* tree = dlg.m_pDeviceListDlg->GetTree();
  auto gateItem = [&]() -> QTreeWidgetItem* {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
      if ((*it)->text(0) == "Gate") return *it;
    }
    return nullptr;
  };
  ASSERT_TRUE(WaitFor([&] { return gateItem() != nullptr && CDevTree::ItemImage(gateItem()) == 3; }, 30000))
      << "the camera's ONVIF login turns its item online";
  ASSERT_TRUE(WaitFor([&] { return camera.Command("subscriptions") == "OK 1"; }));
  // As above: the motion reaches the recording's word once the recording thread runs.
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));
  ASSERT_EQ(camera.Command("motion on"), "OK 1");
  ASSERT_TRUE(WaitFor([&] { return MotionAlarms(dlg) == 1; }));
  EXPECT_EQ(g_lstDevInfo.front().nMotionAlarm, 14);
  camera.Kill();
  EXPECT_TRUE(WaitFor([&] { return CDevTree::ItemImage(gateItem()) == 2; }, 30000));
}

// The toolbar's broadcast button and the broadcast page share one broadcast:
// the page's OK stops the broadcast the button started, the button goes idle,
// and the page speaks through the main window's message box.
TEST_F(MainWindowTest, BroadcastPageStopsTheToolbarsBroadcast) {
  g_lstDevInfo = {Dev("C1", "Gate", 1, "Hall")};
  std::ofstream(folder_.File("Config/BroadcastInfo.xml"))
      << "<BroadcastList audio=\"1\"><DevInfo DevId=\"C1\" DevName=\"Gate\" /></BroadcastList>";
  ASSERT_TRUE(UseEnglishTexts());
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return g_pGimbroCtrl != nullptr; }));
  CDlgBroadcast* page = dlg.m_pSysSettingDlg->BroadcastPage();
  ASSERT_NE(page, nullptr);
  page->LoadBroadcastInfo();
  page->InitBroadcastDevTree();
  ASSERT_EQ(page->GetBroadcastSettings().devices.size(), 1u);
  EXPECT_FALSE(page->BroadcastTree()->topLevelItem(0)->icon(0).isNull());  // the device tree's images

  CVideoToolbarDlg* toolbar = dlg.m_pVideoToolbarDlg;
  toolbar->OnBnClickedBroadcast();
  ASSERT_TRUE(toolbar->IsBroadcastRunning());
  EXPECT_EQ(toolbar->ButtonPicture(1374), 968u);

  page->OnBnClickedOk();
  EXPECT_FALSE(toolbar->IsBroadcastRunning());
  EXPECT_EQ(toolbar->ButtonPicture(1374), 967u);
  EXPECT_TRUE(dlg.m_pResMsgDlg->isVisible());
  EXPECT_EQ(static_cast<QLabel*>(dlg.m_pResMsgDlg->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text(),
            "Add a successful broadcast equipment");
}

TEST_F(MainWindowTest, KeysNeverCloseTheWindow) {
  CVistarelDlg& dlg = Open();
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space}) {
    QTest::keyClick(&dlg, key);
    EXPECT_TRUE(dlg.isVisible());
  }
  QTest::keyClick(&dlg, Qt::Key_F4, Qt::AltModifier);
  dlg.close();
  PostMessage(dlg.GetSafeHwnd(), WM_CLOSE, 0, 0);
  QCoreApplication::processEvents();
  EXPECT_TRUE(dlg.isVisible());
}

// The exit asks the password; a wrong one leaves everything running, the right
// one stops every thread, saves the screen state and ends the dialog.
TEST_F(MainWindowTest, ExitNeedsThePasswordAndStopsEverything) {
  const int threadsBefore = ThreadCount();
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));

  passwordRight_ = false;
  dlg.OnBnClickedBtnClose();
  EXPECT_EQ(passwordAsked_, 1);
  QTest::qWait(100);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(dlg.IsClosing());

  passwordRight_ = true;
  dlg.OnBnClickedBtnClose();
  ASSERT_TRUE(WaitFor([&] { return !dlg.isVisible(); }));
  EXPECT_TRUE(dlg.IsClosing());
  EXPECT_EQ(dlg.m_pRecSchemeManager, nullptr);
  EXPECT_EQ(g_pGimbroCtrl, nullptr);
  EXPECT_EQ(g_pStrevaCtrl, nullptr);
  EXPECT_EQ(dlg.m_pVideoManagerDlg, nullptr);
  EXPECT_TRUE(std::filesystem::exists(folder_.File("Config/Recover.xml")));
  // Every thread the window started has ended (the thread pool of Qt may keep a few).
  EXPECT_TRUE(WaitFor([&] { return ThreadCount() <= threadsBefore + 2; }, 5000)) << ThreadCount();
}

// A module moved to an extension monitor and back; each monitor shows its grid
// or one module, and a module is on one monitor at most.
TEST_F(MainWindowTest, ModulesMoveToExtensionMonitorsAndBack) {
  g_nMonitorMode = 1;  // the multi-screen option
  CVistarelDlg& dlg = Open(1024, 768, 2);
  ASSERT_EQ(dlg.ExtScreens().size(), 2u);
  ScreenInfo* first = dlg.ExtScreens().front();
  ScreenInfo* second = dlg.ExtScreens().back();
  ASSERT_NE(first->pVideoManagerDlg, nullptr);
  EXPECT_TRUE(first->pVideoManagerDlg->isVisible());
  // The monitor menu of a tab (right click), then one of its monitors.
  auto move = [&](int tabId, int monitor) {
    dlg.m_pPageDlg->OnTabRButtonDown(tabId, QPoint(10, 10));
    dlg.m_pPageDlg->GetMonitorMenu()->hide();
    dlg.m_pPageDlg->GetMonitorMenu()->actions()[monitor - 1]->trigger();
  };
  move(1013, 1);  // record query to monitor 1
  EXPECT_EQ(first->nShowModule, 1);
  EXPECT_FALSE(first->pVideoManagerDlg->isVisible());
  EXPECT_TRUE(dlg.m_pSearchRecDlg->isVisible());
  EXPECT_EQ(dlg.m_pSearchRecDlg->geometry(), QRect(1024, 0, 1024, 768));
  EXPECT_EQ(dlg.m_pSearchRecDlg->IsExtScreen(), 1);
  EXPECT_EQ(dlg.m_pSearchRecDlg->GetToolbar()->GetPageActive(), 1);
  // The live module does not hide a module on a monitor.
  dlg.ShowAlarmModule();
  dlg.ShowVideoModule();
  EXPECT_TRUE(dlg.m_pSearchRecDlg->isVisible());

  move(1013, 2);  // the same module to monitor 2: monitor 1 gets its grid back
  EXPECT_EQ(first->nShowModule, 0);
  EXPECT_TRUE(first->pVideoManagerDlg->isVisible());
  EXPECT_EQ(second->nShowModule, 1);

  move(1017, 2);  // the e-map to monitor 2 sends the record query home first
  EXPECT_EQ(second->nShowModule, 5);
  EXPECT_EQ(dlg.m_pSearchRecDlg->IsExtScreen(), 0);
  EXPECT_EQ(dlg.m_pSearchRecDlg->GetToolbar()->GetPageActive(), 0);
  EXPECT_FALSE(dlg.m_pSearchRecDlg->isVisible());
  EXPECT_EQ(dlg.m_pMapManagerDlg->IsActive(), 1);

  move(1017, 2);  // the monitor that shows it: back to the main window, grid back
  EXPECT_EQ(second->nShowModule, 0);
  EXPECT_TRUE(second->pVideoManagerDlg->isVisible());
  EXPECT_EQ(dlg.m_pMapManagerDlg->IsActive(), 0);
  EXPECT_EQ(dlg.m_pMapManagerDlg->parentWidget(), &dlg);

  dlg.MoveModuleToScreen(3);  // no third monitor: nothing happens
  EXPECT_EQ(first->nShowModule, 0);
  EXPECT_EQ(second->nShowModule, 0);
}

TEST_F(MainWindowTest, ExtensionGridsStayHiddenWithoutTheMultiScreenOption) {
  g_nMonitorMode = 0;
  CVistarelDlg& dlg = Open(1024, 768, 1);
  ScreenInfo* first = dlg.ExtScreens().front();
  ASSERT_NE(first->pVideoManagerDlg, nullptr);
  EXPECT_FALSE(first->pVideoManagerDlg->isVisible());
  dlg.m_pPageDlg->OnTabRButtonDown(1013, QPoint(10, 10));
  dlg.MoveModuleToScreen(1);
  EXPECT_EQ(first->nShowModule, 0);
  EXPECT_EQ(dlg.LiveGrids().size(), 1u);
}

// A camera dragged from the device list onto a pane of the grid plays there.
TEST_F(MainWindowTest, ACameraDraggedOntoAPanePlaysThere) {
  RtspTestServer server;
  ASSERT_TRUE(server.Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py"));
  g_lstDevGroupInfo = {Group("Entrance")};
  DevInfo camera = Dev("Front Door", "Front Door", 1, "Entrance", 1);
  CopyFixedText(camera.IPAddr, "127.0.0.1");
  camera.VideoPort = server.Port();
  camera.RtpOverRtsp = 1;
  g_lstDevInfo = {camera};
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));  // panes restored
  g_lstDevInfo.front().nOnline = 1;  // nothing answers its messaging port
  dlg.SetDisplayMode(4);
  QTreeWidget* tree = dlg.m_pDeviceListDlg->GetTree();
  QTreeWidgetItem* item = nullptr;
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    if ((*it)->text(0) == "Front Door") item = *it;
  }
  ASSERT_NE(item, nullptr);
  CVideoWnd* target = dlg.m_pVideoManagerDlg->Pane(2);
  ASSERT_TRUE(target->isVisible());
  QWidget* viewport = tree->viewport();
  const QPoint start = tree->visualItemRect(item).center();
  const QPoint drop = viewport->mapFromGlobal(target->mapToGlobal(target->rect().center()));
  QTest::mousePress(viewport, Qt::LeftButton, {}, start);
  QTest::mouseMove(viewport, start + QPoint(0, 12));
  QTest::mouseMove(viewport, drop);
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, drop);
  ASSERT_TRUE(WaitFor([&] { return target->IsWatching(); }));
  EXPECT_EQ(dlg.m_pVideoManagerDlg->GetSelectedIndex(), 2);
  EXPECT_EQ(g_lstDevInfo.front().bWatched, 1);
  EXPECT_TRUE(WaitFor([&] { return target->RenderingStream() != nullptr && target->RenderingStream()->IsPumpRunning(); }));
  dlg.m_pVideoManagerDlg->RemoveAllWatch();
}

}  // namespace
