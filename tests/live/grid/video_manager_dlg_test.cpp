// The live-view grid: screen-state recovery from "Recover.xml", free-pane
// search, stream switching by layout, maximise and full screen, manual
// recording and the patrol slots.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QImage>
#include <ctime>
#include <memory>

#include "core/client_log.h"
#include "core/res_msg_dlg.h"
#include "core/sur_status_store.h"
#include "core/user_settings.h"
#include "gimbro/gimbro.h"
#include "live/grid/capture_paths.h"
#include "live/patrol/grid_patrol_plans.h"
#include "live/patrol/grid_patrol_step.h"
#include "live/live_messages.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "tests/live/live_view_fixture.h"
#include "maker_test_support.h"
#include "platform/file_api.h"
#include "platform/post_message.h"
#include "platform/string_table.h"
#include "rtsp_test_server.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

class VideoManagerTest : public LiveViewFixture {
 protected:
  void SetUp() override {
    LiveViewFixture::SetUp();
    std::snprintf(g_szCurUser, sizeof(g_szCurUser), "admin");
    g_lstSurStatus.clear();
    g_bAutoSwitchStream = 1;
    g_nDefDisplayMode = 9;
  }
  void TearDown() override {
    grids_.clear();
    g_lstSurStatus.clear();
    LiveViewFixture::TearDown();
    server_.Stop();
  }
  CVideoManagerDlg* NewGrid(int monitor = 0) {
    grids_.push_back(std::make_unique<CVideoManagerDlg>(0, 0, 800, 600, &window_));
    CVideoManagerDlg* grid = grids_.back().get();
    grid->Create(CVideoManagerDlg::IDD, &window_);
    grid->SetMonitorNum(monitor);
    grid->show();
    return grid;
  }
  // A camera whose port has no server: its stream keeps trying in the background.
  DevInfo& Unreachable(const std::string& name, const char* resolution = "") {
    if (closedPort_ == 0) closedPort_ = RtspTestServer::FreePort();
    return AddCamera(name, closedPort_, resolution);
  }
  static std::string Shown(const CVideoManagerDlg* grid, int pane) {
    return grid->Pane(pane)->IsWatching() ? grid->Pane(pane)->WatchedDev().DevName : "";
  }

  RtspTestServer server_;
  int closedPort_ = 0;
  std::vector<std::unique_ptr<CVideoManagerDlg>> grids_;
};

TEST_F(VideoManagerTest, SixteenPanesComeBackFromRecoverXml) {
  // One encoder per client: a shared stream of the server can abort it when many clients connect at once.
  ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
  std::string xml = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecoverInfo>\n"
                    "\t<DispStatus UserName=\"admin\" DispMode=\"16\" />\n";
  for (int i = 0; i < 16; ++i) {
    DevInfo& dev = AddCamera("Cam" + std::to_string(i), server_.Port(), "");
    std::snprintf(dev.DefRes, sizeof(dev.DefRes), "cif");  // cameras come back on their default stream
    const int pane = 15 - i;
    xml += "\t<SurStauts UserName=\"admin\" DevId=\"id-Cam" + std::to_string(i) + "\" DevName=\"Cam" +
           std::to_string(i) + "\" WndNo=\"" + std::to_string(pane) + "\" MonitorNum=\"0\" DispMode=\"16\" />\n";
  }
  xml += "\t<SurStauts UserName=\"guard\" DevId=\"id-Cam1\" DevName=\"Cam1\" WndNo=\"0\" MonitorNum=\"0\" DispMode=\"4\" />\n"
         "\t<SurStauts UserName=\"admin\" DevId=\"id-Cam1\" DevName=\"Cam1\" WndNo=\"2\" MonitorNum=\"1\" DispMode=\"4\" />\n"
         "\t<SurStauts UserName=\"admin\" DevId=\"renamed\" DevName=\"Cam2\" WndNo=\"3\" MonitorNum=\"0\" DispMode=\"16\" />\n"
         "</RecoverInfo>";
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder_.Path() + "Config")));
  ASSERT_TRUE(fileapi::WriteWhole(folder_.Path() + "Config/Recover.xml", xml.data(), xml.size()));
  LoadRecoverInfo();
  ASSERT_EQ(g_lstSurStatus.size(), 18u);

  CVideoManagerDlg* grid = NewGrid();
  ASSERT_EQ(grid->RecoverSurveillanceStatus(), 0);
  EXPECT_EQ(grid->GetDisplayMode(), 16);
  EXPECT_EQ(grid->GetShownCount(), 16);
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i);
    CVideoWnd* pane = grid->Pane(15 - i);
    EXPECT_EQ(Shown(grid, 15 - i), "Cam" + std::to_string(i));
    EXPECT_TRUE(pane->isVisible());
    EXPECT_TRUE(pane->ShowsSubStream());
  }
  EXPECT_FALSE(grid->Pane(16)->isVisible());
  auto withoutPicture = [grid] {
    std::string panes;
    for (int i = 0; i < 16; ++i) {
      const CRtspEvents* events = grid->Pane(i)->RenderingStream();
      if (!events || !events->Player(1) || !events->Player(1)->HasPicture()) panes += " " + std::to_string(i);
    }
    return panes;
  };
  // Sixteen decoders starting together on a loaded machine: allow them time.
  EXPECT_TRUE(WaitFor([&] { return withoutPicture().empty(); }, 90000)) << "panes without a picture:" << withoutPicture();
  const std::string file = folder_.Path() + "pane7.jpg";
  ASSERT_EQ(grid->Pane(7)->SnapShot(file), 0);
  EXPECT_EQ(QImage(QString::fromStdString(file)).size(), QSize(320, 180));

  // Stopping a pane rewrites this user's entries only.
  ASSERT_EQ(grid->StopWatch(15, TRUE), 0);
  QFile saved(QString::fromStdString(folder_.Path() + "Config/Recover.xml"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QString text = QString::fromLatin1(saved.readAll());
  EXPECT_FALSE(text.contains("DevName=\"Cam0\""));
  EXPECT_TRUE(text.contains("DevName=\"Cam15\""));
  EXPECT_TRUE(text.contains("UserName=\"guard\""));
  EXPECT_TRUE(text.contains("MonitorNum=\"1\""));  // the extended screen's entry stays
  EXPECT_FALSE(text.contains("renamed"));

  grid->RemoveAllWatch();
  EXPECT_EQ(StreamThreadCount(), 0);
}

TEST_F(VideoManagerTest, SavingAnExtendedGridLeavesTheMainGridsEntries) {
  CVideoManagerDlg* main = NewGrid(0);
  CVideoManagerDlg* extended = NewGrid(1);
  ASSERT_EQ(main->AddWatch(0, &Unreachable("A"), FALSE, FALSE, 0, 0, FALSE, FALSE), 0);
  ASSERT_EQ(extended->AddWatch(1, &Unreachable("B"), FALSE, FALSE, 0, 0, FALSE, FALSE), 0);
  main->SaveSurveillanceStatus();
  extended->SaveSurveillanceStatus();
  ASSERT_EQ(g_lstSurStatus.size(), 2u);
  extended->StopWatch(1, TRUE);
  ASSERT_EQ(g_lstSurStatus.size(), 1u);
  EXPECT_STREQ(g_lstSurStatus.front().DevName, "A");
  EXPECT_EQ(g_lstSurStatus.front().MonitorNum, 0);
  EXPECT_EQ(g_lstSurStatus.front().DispMode, 9);
}

TEST_F(VideoManagerTest, ACameraDroppedOnTheBusySelectedPaneGoesToAFreePane) {
  CVideoManagerDlg* grid = NewGrid();
  ASSERT_EQ(grid->GetShownCount(), 9);
  for (int i : {0, 1, 2, 4}) grid->AddWatch(i, &Unreachable("Busy" + std::to_string(i)), FALSE, FALSE, 0, 0, TRUE, FALSE);
  grid->SetSelectWnd(1);
  ASSERT_EQ(grid->AddWatch(1, &Unreachable("New"), TRUE, TRUE, 0, 0, TRUE, FALSE), 0);
  EXPECT_EQ(Shown(grid, 3), "New");
  EXPECT_EQ(Shown(grid, 1), "Busy1");
  EXPECT_EQ(grid->GetSelectedIndex(), 3);
  EXPECT_EQ(host_.activeGrid, grid);
  ASSERT_EQ(g_lstSurStatus.size(), 5u);  // saved

  // Dropping a camera already shown moves it: its old pane is stopped.
  grid->SetSelectWnd(0);
  DevInfo again = *std::find_if(g_lstDevInfo.begin(), g_lstDevInfo.end(),
                                [](const DevInfo& d) { return std::string(d.DevName) == "Busy4"; });
  ASSERT_EQ(grid->AddWatch(0, &again, TRUE, TRUE, 0, 0, TRUE, FALSE), 0);
  EXPECT_EQ(Shown(grid, 5), "Busy4");
  EXPECT_EQ(Shown(grid, 4), "");

  EXPECT_EQ(grid->AddWatch(9, &Unreachable("Outside"), FALSE, FALSE, 0, 0, TRUE, FALSE),
            CVideoManagerDlg::kRangeError);
  EXPECT_TRUE(grid->HasFreeWnd());
}

TEST_F(VideoManagerTest, LayoutChangesSwitchBetweenMainAndSubStream) {
  CVideoManagerDlg* grid = NewGrid();
  grid->SetDisplayMode(4, FALSE);
  DevInfo& pinned = Unreachable("Pinned", "cif");
  pinned.bNoAutoSwitch = 1;
  grid->AddWatch(0, &Unreachable("Main"), FALSE, FALSE, 0, 0, FALSE, FALSE);
  grid->AddWatch(1, &Unreachable("Sub", "cif"), FALSE, FALSE, 0, 0, FALSE, FALSE);
  grid->AddWatch(2, &pinned, FALSE, FALSE, 0, 0, FALSE, FALSE);
  grid->AddWatch(5, &Unreachable("Hidden"), FALSE, FALSE, 0, 0, FALSE, FALSE);
  ASSERT_FALSE(grid->Pane(0)->ShowsSubStream());
  ASSERT_TRUE(grid->Pane(1)->ShowsSubStream());

  grid->SetDisplayMode(9, FALSE);  // 4 -> 9: to the sub-stream
  EXPECT_TRUE(grid->Pane(0)->ShowsSubStream());
  EXPECT_TRUE(grid->Pane(1)->ShowsSubStream());
  EXPECT_TRUE(grid->Pane(5)->ShowsSubStream());
  EXPECT_EQ(Shown(grid, 0), "Main");

  grid->SetSelectWnd(0);
  grid->SwitchCifD1();  // by hand back to the main stream
  grid->SetDisplayMode(16, FALSE);  // 9 -> 16: no second switch
  EXPECT_FALSE(grid->Pane(0)->ShowsSubStream());

  grid->SetDisplayMode(4, FALSE);  // back to 4: the main stream, except the pinned device
  EXPECT_FALSE(grid->Pane(1)->ShowsSubStream());
  EXPECT_TRUE(grid->Pane(2)->ShowsSubStream());
  EXPECT_EQ(Shown(grid, 2), "Pinned");
  EXPECT_TRUE(grid->Pane(5)->ShowsSubStream());  // not shown in this layout

  g_bAutoSwitchStream = 0;
  grid->SetDisplayMode(9, FALSE);
  EXPECT_FALSE(grid->Pane(1)->ShowsSubStream());
}

TEST_F(VideoManagerTest, DoubleClickMaximisesAndRestoresAndEscLeavesFullScreen) {
  CVideoManagerDlg* grid = NewGrid();
  grid->AddWatch(4, &Unreachable("Door", "cif"), FALSE, FALSE, 0, 0, FALSE, FALSE);
  const RECT before = grid->Pane(4)->GetWndPos();

  grid->OnWndMouseMsg(kWmLButtonDblClk, 4);
  EXPECT_TRUE(grid->IsPaneMaximised());
  EXPECT_EQ(grid->GetShownCount(), 1);
  EXPECT_EQ(grid->GetSelectedIndex(), 4);
  EXPECT_EQ(grid->Pane(4)->geometry(), QRect(0, 0, grid->width(), grid->height()));
  EXPECT_FALSE(grid->Pane(0)->isVisible());
  EXPECT_FALSE(grid->Pane(4)->ShowsSubStream());  // maximised out of 9 panes: main stream

  grid->OnWndMouseMsg(kWmLButtonDblClk, 4);
  EXPECT_FALSE(grid->IsPaneMaximised());
  EXPECT_EQ(grid->GetShownCount(), 9);
  const RECT after = grid->Pane(4)->GetWndPos();
  EXPECT_EQ(std::make_tuple(after.left, after.top, after.right, after.bottom),
            std::make_tuple(before.left, before.top, before.right, before.bottom));
  EXPECT_TRUE(grid->Pane(0)->isVisible());
  EXPECT_TRUE(grid->Pane(4)->ShowsSubStream());  // back on its sub-stream

  grid->SetDisplayMode(1, FALSE);
  grid->OnWndMouseMsg(kWmLButtonDblClk, 4);
  EXPECT_TRUE(grid->IsFullScreen());
  grid->PreTranslateKeyDown(kWmKeyDown, kVkEscape);
  EXPECT_FALSE(grid->IsFullScreen());
  EXPECT_EQ(grid->geometry(), QRect(0, 0, 800, 600));
}

// The panes fill the grid's own rectangle, whatever size its template gives.
TEST_F(VideoManagerTest, PanesAreLaidOutOverTheGridsRectangle) {
  window_.resize(1400, 1000);
  CVideoManagerDlg grid(10, 20, 1210, 920, &window_);
  grid.Create(CVideoManagerDlg::IDD, &window_);
  grid.show();
  EXPECT_EQ(grid.geometry(), QRect(10, 20, 1200, 900));
  ASSERT_EQ(grid.GetShownCount(), 9);
  EXPECT_EQ(grid.Pane(8)->geometry().bottomRight(), QPoint(1199, 899));
  EXPECT_EQ(grid.Pane(4)->geometry().topLeft(), QPoint(400, 300));
  grid.move(0, 0);  // the grid keeps to its rectangle
  EXPECT_EQ(grid.geometry(), QRect(10, 20, 1200, 900));
}

TEST_F(VideoManagerTest, PaneMenuCommandsActOnTheGrid) {
  CVideoManagerDlg* grid = NewGrid();
  grid->OnPaneCommand(32802);
  EXPECT_EQ(grid->GetShownCount(), 16);
  grid->OnPaneCommand(32876);
  EXPECT_EQ(grid->GetShownCount(), 64);
  EXPECT_TRUE(grid->Pane(63)->isVisible());
  grid->OnPaneCommand(32827);  // zoom in
  EXPECT_EQ(grid->Pane(10)->MouseMode(), 2);
  grid->OnPaneCommand(32829);  // back to the pointer
  EXPECT_EQ(grid->Pane(10)->MouseMode(), 0);
  grid->OnPaneCommand(32831);
  EXPECT_TRUE(grid->IsFullScreen());
  grid->OnPaneCommand(32831);
  EXPECT_FALSE(grid->IsFullScreen());
  grid->AddWatch(0, &Unreachable("Gate"), TRUE, FALSE, 0, 0, FALSE, FALSE);
  grid->SetSelectWnd(0);
  grid->OnPaneCommand(32807);  // stop
  EXPECT_FALSE(grid->Pane(0)->IsWatching());
  EXPECT_TRUE(g_lstSurStatus.empty());
}

TEST_F(VideoManagerTest, ManualRecordWritesAnAviIntoTheDevicesFolder) {
  ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
  CVideoManagerDlg* grid = NewGrid();
  grid->AddWatch(0, &AddCamera("Front Door", server_.Port()), FALSE, FALSE, 0, 0, FALSE, FALSE);
  ASSERT_TRUE(WaitFor([grid] {
    const CRtspEvents* events = grid->Pane(0)->RenderingStream();
    return events && events->Player(1) && events->Player(1)->HasPicture();
  }, 15000));

  grid->OnManualRecord();
  EXPECT_TRUE(grid->Pane(0)->IsManualRecording());
  EXPECT_EQ(host_.pictures[toolbar::kRecordButton], toolbar::kRecordOn);
  WaitFor([] { return false; }, 2500);
  grid->OnManualRecord();
  EXPECT_FALSE(grid->Pane(0)->IsManualRecording());
  EXPECT_EQ(host_.pictures[toolbar::kRecordButton], toolbar::kRecordOff);

  const std::string expected = capturepaths::ManualRecordFolder(folder_.Path() + "Video", "Front Door", std::time(nullptr));
  EXPECT_EQ(grid->LastSavedPath(), expected);
  // The message names the folder as a person finds it: the file system's path, no drive letter or backslash.
  const QString shown = static_cast<QLabel*>(grid->MessageBox()->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text();
  EXPECT_EQ(shown, LoadStringW(440) + QString::fromStdString(paths::NativePath(expected)));
  EXPECT_FALSE(shown.contains('\\')) << shown.toStdString();
  EXPECT_TRUE(QFileInfo(shown.mid(LoadStringW(440).size())).isDir()) << shown.toStdString();
  const auto files = FilesIn(paths::NativePath(expected), ".avi");
  ASSERT_EQ(files.size(), 1u);
  const ProbeResult probe = Ffprobe(files[0]);
  EXPECT_TRUE(probe.ok);
  EXPECT_EQ(probe.videoCodec, "h264");
  EXPECT_GT(probe.videoFrames, 10);

  grid->OnSnapShot();
  EXPECT_NE(grid->LastSavedPath().find("Picture"), std::string::npos);
  EXPECT_EQ(QImage(QString::fromStdString(paths::NativePath(grid->LastSavedPath()))).size(), QSize(640, 360));
}

TEST_F(VideoManagerTest, TalkFollowsTheDevicesAnswerAndOnlyOnePaneTalks) {
  CGimbroCtrl gimbro;
  DevInfo& gate = Unreachable("Gate");
  DevInfo& yard = Unreachable("Yard");
  DevInfo& shed = Unreachable("Shed");
  for (DevInfo* dev : {&gate, &yard, &shed}) dev->pGimbroCtrl = &gimbro;
  shed.nOnline = 0;
  CVideoManagerDlg* grid = NewGrid();
  grid->AddWatch(0, &gate, FALSE, FALSE, 0, 0, FALSE, FALSE);
  grid->AddWatch(1, &yard, FALSE, FALSE, 0, 0, FALSE, FALSE);
  grid->AddWatch(2, &shed, FALSE, FALSE, 0, 0, FALSE, FALSE);

  grid->SetSelectWnd(0);
  EXPECT_EQ(grid->OnSpeak(), 0);
  EXPECT_TRUE(grid->Pane(0)->IsTalkRequested());
  EXPECT_FALSE(grid->IsTalkOpen());  // not before the device agrees
  EXPECT_EQ(grid->SetSpeakStatus("Nobody", TRUE), -1);
  EXPECT_EQ(grid->SetSpeakStatus("Gate", TRUE), 0);
  EXPECT_TRUE(grid->Pane(0)->IsTalking());
  EXPECT_TRUE(grid->IsTalkOpen());
  EXPECT_EQ(host_.pictures[toolbar::kTalkButton], toolbar::kTalkOn);

  grid->SetSelectWnd(1);
  EXPECT_EQ(grid->OnSpeak(), -1);  // another pane talks
  EXPECT_FALSE(grid->Pane(1)->IsTalkRequested());
  grid->SetSelectWnd(2);
  EXPECT_EQ(grid->OnSpeak(), -1);  // offline
  EXPECT_EQ(grid->OnOpenSound(), -1);

  EXPECT_EQ(grid->OnStopSpeak("Gate"), 0);
  EXPECT_FALSE(grid->Pane(0)->IsTalking());
  EXPECT_FALSE(grid->IsTalkOpen());
  EXPECT_EQ(host_.pictures[toolbar::kTalkButton], toolbar::kTalkOff);
  EXPECT_EQ(grid->OnStopSpeak("Gate"), -1);
  gimbro.Release();
}

class PlanSource : public IPatrolPlanSource {
 public:
  std::vector<PatrolRunPoint> PlanPoints(const std::string& prefix, int paneNumber) override {
    asked.push_back(prefix + "-" + std::to_string(paneNumber));
    if (paneNumber != 2 && paneNumber != 12) return {};
    PatrolRunPoint point;
    std::snprintf(point.szDevKey, sizeof(point.szDevKey), "Lobby");
    point.nStayTime = 10;
    return {point};
  }
  std::vector<std::string> asked;
};

TEST_F(VideoManagerTest, PatrolButtonStartsShownPanesAndTheTimerOpensItsPoints) {
  Unreachable("Lobby");
  CVideoManagerDlg* grid = NewGrid();
  PlanSource plans;
  grid->SetPatrolPlanSource(&plans);
  EXPECT_EQ(grid->StartPatrol(0), -1);  // no points
  EXPECT_EQ(grid->StartPatrol(64), -1);

  grid->OnPatrol();
  EXPECT_EQ(plans.asked.size(), 9u);
  EXPECT_EQ(plans.asked.front(), "Player-1");
  EXPECT_TRUE(grid->IsPatrolActive(1));
  EXPECT_FALSE(grid->IsPatrolActive(11));  // beyond the shown panes
  EXPECT_EQ(host_.pictures[toolbar::kPatrolButton], toolbar::kPatrolOn);
  int pane = -1;
  EXPECT_FALSE(grid->FindPatrolWnd("Lobby", &pane));  // no point shown yet

  // The patrol run's step: show the first point of every active slot.
  grid->SetPatrolTick([](std::vector<PatrolSlot>& patrolSlots, HWND window) {
    for (size_t i = 0; i < patrolSlots.size(); ++i) {
      if (!patrolSlots[i].bActive || patrolSlots[i].nCurPoint >= 0) continue;
      patrolSlots[i].nCurPoint = 0;
      PostText(window, WM_PATROL_POINT, i, patrolSlots[i].lstPoints.front().szDevKey);
    }
  });
  ASSERT_TRUE(WaitFor([grid] { return grid->Pane(1)->IsWatching(); }, 5000));
  EXPECT_EQ(Shown(grid, 1), "Lobby");
  EXPECT_TRUE(grid->FindPatrolWnd("Lobby", &pane));
  EXPECT_EQ(pane, 1);
  EXPECT_TRUE(g_lstSurStatus.empty());  // a patrol point is not remembered

  grid->OnPatrol();  // stops it
  EXPECT_FALSE(grid->IsPatrolActive(1));
  EXPECT_EQ(host_.pictures[toolbar::kPatrolButton], toolbar::kPatrolOff);
}

// A patrol point opens a local device when a local record has its key, and
// asks the relay for any other key with a ':', whatever '-' the names hold.
TEST_F(VideoManagerTest, APatrolPointGoesToTheSideWhoseDeviceHasItsKey) {
  DevInfo& channel = Unreachable("Channel-2");
  channel.DevType = kDevTypeNvr;  // a local NVR channel: key "127.0.0.1:Channel-2"
  Unreachable("Hall:East");       // a local camera whose name holds a ':'
  CVideoManagerDlg* grid = NewGrid();
  grid->OnPatrolPoint(1, "127.0.0.1:Channel-2");
  grid->OnPatrolPoint(2, "Hall:East");
  grid->OnPatrolPoint(3, "00-1A-2B-3C-4D-5E:Front-Door");
  grid->OnPatrolPoint(4, "00-1A-2B-3C-4D-5E:10.0.0.3:Channel-2");
  EXPECT_EQ(Shown(grid, 1), "Channel-2");
  EXPECT_EQ(Shown(grid, 2), "Hall:East");
  EXPECT_EQ(host_.relayInvites,
            (std::vector<std::string>{"3:00-1A-2B-3C-4D-5E:Front-Door", "4:00-1A-2B-3C-4D-5E:10.0.0.3:Channel-2"}));
}

TEST_F(VideoManagerTest, PatrolStartAndStopRefusals) {
  CVideoManagerDlg fresh(0, 0, 800, 600, &window_);  // never initialised
  EXPECT_EQ(fresh.StartPatrol(0), -1);
  EXPECT_EQ(fresh.StopPatrol(0), -1);

  CVideoManagerDlg* grid = NewGrid();
  PatrolRunPoint point;
  std::snprintf(point.szDevKey, sizeof(point.szDevKey), "Lobby");
  point.nStayTime = 10;
  EXPECT_EQ(grid->StopPatrol(64), -1);
  EXPECT_EQ(grid->StopPatrol(-1), -1);
  grid->AddPatrolPoint(0, point);
  EXPECT_EQ(grid->StartPatrol(0), 0);
  EXPECT_EQ(grid->StartPatrol(0), -1);  // already active
  EXPECT_EQ(grid->StopPatrol(0), 0);
  EXPECT_EQ(grid->StopPatrol(0), 0);  // an idle slot is left alone
  EXPECT_EQ(grid->StartPatrol(0), -1);  // stopping emptied the slot
}

// The grid's own timer with the patrol step and the settings page's plans:
// the offline first point is skipped and the online one is opened.
TEST_F(VideoManagerTest, TheTimerMovesThePlansOnWithThePatrolStep) {
  Unreachable("Lobby");
  Unreachable("Gate").nOnline = 0;
  CVideoManagerDlg* grid = NewGrid();
  std::vector<PatrolPlan> plans(1);
  std::snprintf(plans[0].DecodeName, sizeof(plans[0].DecodeName), "Player-3");
  for (const char* key : {"Gate", "Lobby"}) {
    PatrolPoint& point = plans[0].points.emplace_back();
    std::snprintf(point.DevName1, sizeof(point.DevName1), "%s", key);
    std::snprintf(point.StayTime, sizeof(point.StayTime), "10");
  }
  CPatrolPlanSource source([&plans] { return plans; });
  grid->SetPatrolPlanSource(&source);
  grid->SetPatrolTick(MakeGridPatrolTick(nullptr));

  grid->OnPatrol();
  EXPECT_TRUE(grid->IsPatrolActive(2));
  EXPECT_EQ(host_.pictures[toolbar::kPatrolButton], toolbar::kPatrolOn);
  ASSERT_TRUE(WaitFor([grid] { return grid->Pane(2)->IsWatching(); }, 5000));
  EXPECT_EQ(Shown(grid, 2), "Lobby");
  int pane = -1;
  EXPECT_TRUE(grid->FindPatrolWnd("Lobby", &pane));
  EXPECT_EQ(pane, 2);
  EXPECT_FALSE(grid->FindPatrolWnd("Gate", &pane));
  grid->OnPatrol();
  EXPECT_FALSE(grid->IsPatrolActive(2));
}

}  // namespace
