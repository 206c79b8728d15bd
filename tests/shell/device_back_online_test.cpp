// A camera that goes offline and comes back: the panes that stopped with it
// play it again, a pane the user changed meanwhile stays as the user left it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "common/wait_for.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme.h"
#include "core/sur_status.h"
#include "fake_device_process.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "live/streams/rtsp_events.h"
#include "maker/gimbro/gimbro_link.h"
#include "quick_timings.h"
#include "rtsp_test_server.h"
#include "tessaly/tessaly_ctrl.h"
#include "tests/shell/dev_records.h"
#include "tests/shell/main_window_fixture.h"

namespace {

class DeviceBackOnlineTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    GimbroTimingsForNewLinks() = QuickGimbroTimings();
    ASSERT_TRUE(server_.Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py"));
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    GimbroTimingsForNewLinks() = GimbroTimings();
    server_.Stop();
  }

  std::unique_ptr<FakeOnvifCamera> StartCamera(int port) {
    auto camera = std::make_unique<FakeOnvifCamera>(
        port, QStringList{"--password", "pw", "--rtsp-main", QString::fromStdString(server_.Url("/h264")),
                          "--rtsp-sub", QString::fromStdString(server_.Url("/mpeg4cif"))});
    EXPECT_TRUE(camera->Ready());
    return camera;
  }

  // The pane shows pictures decoded after `after`.
  static bool Plays(const CVideoWnd* pane, unsigned long long after = 0) {
    const CRtspEvents* events = pane->RenderingStream();
    return pane->IsWatching() && events != nullptr && events->Player(1) != nullptr &&
           events->Player(1)->PicturesDecoded() > after;
  }

  RtspTestServer server_;
};

}  // namespace

TEST_F(DeviceBackOnlineTest, PanesPlayTheirCameraAgainUnlessTheUserChangedThem) {
  std::unique_ptr<FakeOnvifCamera> camera = StartCamera(0);
  const int port = camera->Port();
  DevInfo gate = Dev("C1", "Gate", 1, "Hall", 0);
  CopyFixedText(gate.IPAddr, "127.0.0.1");
  gate.PtzPort = port;
  gate.VideoPort = server_.Port();
  gate.RtpOverRtsp = 1;
  CopyFixedText(gate.LoginName, "admin");
  CopyFixedText(gate.LoginPsw, "pw");
  g_lstDevGroupInfo = {Group("Hall")};
  g_lstDevInfo = {gate};
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));  // panes restored
  ASSERT_TRUE(WaitFor([&] { return g_lstDevInfo.front().nOnline == 1; }, 30000));
  CVideoManagerDlg* grid = dlg.m_pVideoManagerDlg;
  dlg.SetDisplayMode(4);
  // Pane 0 shows the main stream, pane 1 the sub-stream.
  DevInfo main = g_lstDevInfo.front();
  CopyFixedText(main.Resolution, "");
  ASSERT_EQ(grid->AddWatch(0, &main, TRUE, FALSE, 0, 0, FALSE, FALSE), 0);
  DevInfo sub = g_lstDevInfo.front();
  CopyFixedText(sub.Resolution, "cif");
  ASSERT_EQ(grid->AddWatch(1, &sub, TRUE, FALSE, 0, 0, FALSE, FALSE), 0);
  CVideoWnd* first = grid->Pane(0);
  CVideoWnd* second = grid->Pane(1);
  ASSERT_TRUE(WaitFor([&] { return Plays(first) && Plays(second); }, 30000));

  // The camera loses power: its panes stop.
  camera->Kill();
  ASSERT_TRUE(WaitFor([&] { return !first->IsWatching() && !second->IsWatching(); }, 30000));
  EXPECT_EQ(g_lstDevInfo.front().nOnline, 0);
  // Meanwhile the user stops the second pane; the screen state keeps the first.
  grid->SetSelectWnd(1);
  grid->StopSelectedWatch();
  ASSERT_EQ(g_lstSurStatus.size(), 1u);
  EXPECT_EQ(g_lstSurStatus.front().WndNo, 0);
  EXPECT_STREQ(g_lstSurStatus.front().DevName, "Gate");

  // It starts again where it was: the first pane plays its main stream again.
  camera = StartCamera(port);
  ASSERT_TRUE(WaitFor([&] { return g_lstDevInfo.front().nOnline == 1; }, 30000));
  ASSERT_TRUE(WaitFor([&] { return Plays(first); }, 30000));
  EXPECT_FALSE(first->ShowsSubStream());
  EXPECT_FALSE(second->IsBusy());
  EXPECT_FALSE(second->Waiting().has_value());

  // Offline again, and the user opens the camera in a third pane meanwhile:
  // that pane keeps it when it is back, the first stays empty.
  camera->Kill();
  ASSERT_TRUE(WaitFor([&] { return !first->IsWatching(); }, 30000));
  CVideoWnd* third = grid->Pane(2);
  ASSERT_EQ(grid->AddWatch(2, &main, TRUE, FALSE, 0, 0, FALSE, FALSE), 0);
  ASSERT_TRUE(WaitFor([&] { return Plays(third); }, 30000));
  camera = StartCamera(port);
  ASSERT_TRUE(WaitFor([&] { return g_lstDevInfo.front().nOnline == 1; }, 30000));
  QCoreApplication::processEvents();
  EXPECT_FALSE(first->IsBusy());
  EXPECT_FALSE(first->Waiting().has_value());
  ASSERT_TRUE(third->IsWatching());
  const unsigned long long shown = third->RenderingStream()->Player(1)->PicturesDecoded();
  EXPECT_TRUE(WaitFor([&] { return Plays(third, shown); }));
  grid->RemoveAllWatch();
}
