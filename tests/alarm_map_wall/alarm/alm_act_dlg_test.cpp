// The alarm linkage window against the RTSP peer: the alarmed device plays in
// its pane, rows turn black once their video shows, a double click switches
// the video or the full screen; its talk and sound buttons give way to a
// broadcast and to a talk elsewhere; closing it ends its video.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <memory>

#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "common/wait_for.h"
#include "core/res_msg_dlg.h"
#include "live/grid/video_wnd.h"
#include "maker_test_support.h"
#include "platform/paths.h"
#include "platform/post_message.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "rtsp_test_server.h"
#include "tessaly/tessaly_ctrl.h"
#include "tests/live/live_view_fixture.h"
#include "ui/sort_list_ctrl.h"

namespace {

class AlmActDlgTest : public LiveViewFixture {
 protected:
  void SetUp() override {
    stringtable::SetFolder(paths::NativePath(paths::ProgramFolder() + "Lang/"));
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    LiveViewFixture::SetUp();
    AlarmHost host;
    host.IsMainMinimized = [this] { return minimized_; };
    host.IsBroadcastRunning = [this] { return broadcasting_; };
    host.IsTalkOpen = [this] { return talkElsewhere_ ? -1 : 0; };
    host.CloseAllSound = [this] {
      ++soundsClosed_;
      return -1;
    };
    dlg_ = std::make_unique<CAlmActDlg>(nullptr);
    dlg_->SetHost(host);
    ASSERT_TRUE(dlg_->Create(CAlmActDlg::IDD, nullptr));
  }
  void TearDown() override {
    dlg_.reset();
    LiveViewFixture::TearDown();
    server_.Stop();
    FreeLanguageLibrary();
    stringtable::SetFolder("");
  }
  bool Plays(const DevInfo& dev) {
    return WaitFor([&] {
      CVideoWnd* pane = dlg_->Pane();
      const CRtspEvents* events = pane->RenderingStream();
      // Its own stream draws in the pane's first view, a stream a grid shows in the second.
      const CTessalyCtrl* player = events ? (events->Player(2) ? events->Player(2) : events->Player(1)) : nullptr;
      return pane->IsWatching() && std::string(pane->WatchedDev().DevName) == dev.DevName && player &&
             player->HasPicture();
    }, 30000);
  }
  bool Red(int row) {
    const QColor colour = List().model()->index(row, 0).data(Qt::ForegroundRole).value<QColor>();
    return colour == QColor(255, 0, 0);
  }
  CSortListCtrl& List() { return *dlg_->GetList(); }
  QString Button(int id) { return GetWindowTextW(dlg_->GetDlgItem(id)); }
  QString Notice() { return GetWindowTextW(dlg_->MsgDlg()->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT)); }

  RtspTestServer server_;
  std::unique_ptr<CAlmActDlg> dlg_;
  bool minimized_ = false;
  bool broadcasting_ = false;
  bool talkElsewhere_ = false;
  int soundsClosed_ = 0;
};

}  // namespace

TEST_F(AlmActDlgTest, TheAlarmedDevicePlaysAndARowTurnsBlackWhenItsVideoShows) {
  ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
  DevInfo& gate = AddCamera("Gate", server_.Port());
  DevInfo& yard = AddCamera("Yard", server_.Port());
  EXPECT_EQ(GetWindowTextW(dlg_.get()), "Alarm Action");
  EXPECT_EQ(Button(CAlmActDlg::IDC_TALK), "Begin speak");
  EXPECT_EQ(Button(CAlmActDlg::IDC_SOUND), "Open sound");
  EXPECT_EQ(dlg_->Pane()->GetIndex(), CAlmActDlg::kPaneIndex);
  EXPECT_TRUE(dlg_->Pane()->IsAlarmPane());

  dlg_->AddAlarm(&gate, "Motion Detect", "10:30:00");
  ASSERT_TRUE(Plays(gate));
  EXPECT_FALSE(Red(0));
  EXPECT_EQ(List().GetItemText(0, 1), "Motion Detect");

  // Another device's alarm while the pane plays: a red row, the video stays.
  dlg_->AddAlarm(&yard, "Alarm input high to low", "10:31:00");
  EXPECT_TRUE(Red(0));
  EXPECT_EQ(std::string(dlg_->Pane()->WatchedDev().DevName), "Gate");
  dlg_->show();
  QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, List().visualRect(List().model()->index(0, 1)).center());
  ASSERT_TRUE(Plays(yard));
  EXPECT_FALSE(Red(0));
  dlg_->OnDblclkAlarmList(0);  // the device shown already: left as it is
  EXPECT_TRUE(dlg_->Pane()->IsWatching());

  for (int i = 0; i < 19; ++i) dlg_->AddAlarm(&gate, "Motion Detect", std::to_string(i).c_str());
  EXPECT_EQ(List().GetItemCount(), 20);
  EXPECT_EQ(List().GetItemText(19, 2), "10:31:00") << "the 21st alarm pushed the oldest out";

  CRtspEvents* stream = dlg_->Pane()->RenderingStream();
  ASSERT_NE(stream, nullptr);
  dlg_->OnClose();
  EXPECT_FALSE(dlg_->isVisible());
  EXPECT_FALSE(dlg_->Pane()->IsWatching());
  EXPECT_EQ(List().GetItemCount(), 20) << "the rows stay";
  EXPECT_EQ(yard.bWatched, 0);
  EXPECT_EQ(stream->GetStreamId(), 0) << "the stream the pane opened ends with it";
  EXPECT_EQ(stream->Player(1), nullptr);
}

TEST_F(AlmActDlgTest, ItComesToTheTopUnlessTheMainWindowIsMinimized) {
  minimized_ = true;
  PostMessage(dlg_->GetSafeHwnd(), CAlmActDlg::WM_ALARM_ACT_SHOW, 0, 0);
  QTest::qWait(100);
  EXPECT_FALSE(dlg_->isVisible());
  minimized_ = false;
  PostMessage(dlg_->GetSafeHwnd(), CAlmActDlg::WM_ALARM_ACT_SHOW, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return dlg_->isVisible(); }));
  EXPECT_TRUE(dlg_->windowFlags() & Qt::WindowStaysOnTopHint);
  PostMessage(dlg_->GetSafeHwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !dlg_->isVisible(); }));
}

// A broadcast blocks both buttons with notice 1079; a talk in another pane
// with notice 443. Otherwise the other sounds close and the pane's own toggles.
TEST_F(AlmActDlgTest, TheButtonsGiveWayToABroadcastAndToATalkElsewhere) {
  ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
  DevInfo& gate = AddCamera("Gate", server_.Port());
  dlg_->AddAlarm(&gate, "Motion Detect", "10:30:00");
  ASSERT_TRUE(Plays(gate));

  broadcasting_ = true;
  dlg_->OnBnClickedTalk();
  EXPECT_EQ(Notice(), "Ongoing radio, turn off and then operate");
  dlg_->MsgDlg()->hide();
  dlg_->OnBnClickedSound();
  EXPECT_EQ(Notice(), "Ongoing radio, turn off and then operate");
  broadcasting_ = false;
  talkElsewhere_ = true;
  dlg_->OnBnClickedTalk();
  EXPECT_EQ(Notice(), "There is a device in speaking, please comfirm it's on stop!");
  dlg_->OnBnClickedSound();
  EXPECT_EQ(soundsClosed_, 0);
  EXPECT_FALSE(dlg_->Pane()->IsSoundOn());

  talkElsewhere_ = false;
  dlg_->OnBnClickedSound();  // the stream has no audio: the pane's sound stays off
  EXPECT_EQ(soundsClosed_, 1);
  EXPECT_EQ(Button(CAlmActDlg::IDC_SOUND), dlg_->Pane()->IsSoundOn() ? "Close sound" : "Open sound");
  EXPECT_EQ(dlg_->GetDlgItem(CAlmActDlg::IDC_TALK)->isEnabled(), !dlg_->Pane()->IsSoundOn());

  // Talk reports for another device leave the pane alone.
  EXPECT_FALSE(dlg_->SetSpeakStatus("Yard", 1));
  EXPECT_TRUE(dlg_->SetSpeakStatus("Gate", 0));
  EXPECT_EQ(Button(CAlmActDlg::IDC_TALK), "Begin speak");
}

TEST_F(AlmActDlgTest, ADoubleClickOnThePaneSwitchesFullScreen) {
  const QRect normal = dlg_->geometry();
  const QRect pane = dlg_->Pane()->geometry();
  dlg_->show();
  QTest::mouseDClick(dlg_->Pane()->Picture(), Qt::LeftButton);
  ASSERT_TRUE(dlg_->IsFullScreen());
  EXPECT_EQ(dlg_->size(), QGuiApplication::primaryScreen()->geometry().size());
  EXPECT_EQ(dlg_->Pane()->size(), dlg_->size());
  EXPECT_FALSE(List().isVisible());
  QTest::mouseDClick(dlg_->Pane()->Picture(), Qt::LeftButton);
  EXPECT_FALSE(dlg_->IsFullScreen());
  EXPECT_EQ(dlg_->Pane()->geometry(), pane);
  EXPECT_EQ(dlg_->size(), normal.size());
  EXPECT_TRUE(List().isVisible());

  // Closed while full screen, it comes back at its own size.
  dlg_->ToggleFullScreen();
  dlg_->OnClose();
  EXPECT_FALSE(dlg_->IsFullScreen());
  EXPECT_EQ(dlg_->size(), normal.size());
}

// A camera that a grid pane plays: the linkage pane shows it in a view of its
// own, and closing the window leaves the grid's pane playing it, watched, so
// the next alarm is shown the same way.
TEST_F(AlmActDlgTest, ACameraAGridPlaysKeepsPlayingThereAfterTheWindowCloses) {
  ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
  DevInfo& gate = AddCamera("Gate", server_.Port());
  CVideoWnd grid(&window_, FALSE, FALSE);
  grid.Create(CVideoWnd::IDD, &window_);
  grid.SetWndPos(0, 0, 320, 180);
  grid.show();
  ASSERT_EQ(grid.AddWatch(&gate), 0);
  CRtspEvents* stream = grid.RenderingStream();
  ASSERT_TRUE(WaitFor([&] { return stream->Player(1) && stream->Player(1)->HasPicture(); }, 30000));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    dlg_->AddAlarm(&gate, "Motion Detect", "10:30:00");
    ASSERT_TRUE(Plays(gate));
    EXPECT_NE(stream->Player(2), nullptr) << "a view of the window's own";
    EXPECT_EQ(grid.RenderingStream(), stream) << "the grid's pane keeps its picture";
    dlg_->OnClose();
    EXPECT_EQ(stream->Player(2), nullptr);
    EXPECT_EQ(gate.bWatched, 1) << "the grid's pane still watches it";
    EXPECT_NE(stream->GetStreamId(), 0);
  }
  grid.StopWatch(TRUE);
  EXPECT_EQ(gate.bWatched, 0);
}
