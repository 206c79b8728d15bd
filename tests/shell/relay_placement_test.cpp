// Where the main window puts the relay's answer to its own video invitation:
// the pane whose patrol waits for the device, else the main grid's selected
// (or first free) pane unless the video was asked for an extension grid.
#include <gtest/gtest.h>

#include <QTest>
#include <cstdio>
#include <cstring>

#include "common/wait_for.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "main_window_fixture.h"
#include "pelk/pelk_engine.h"
#include "platform/post_message.h"
#include "relay/login/vss_info.h"

namespace {

class RelayPlacementTest : public MainWindowTest {
 protected:
  void TearDown() override {
    dlg_.reset();
    g_lstVssInfo.clear();
    MainWindowTest::TearDown();
  }
  static void AddServer() {
    Vemo2Node& server = g_lstVssInfo.emplace_back();
    server.nLoginHandle = 77;  // no such login: what the panes ask of it is refused
    std::snprintf(server.DevName, sizeof server.DevName, "Vemo B");
    server.bHasDeviceList = true;
    for (const char* name : {"Cam", "Yard"}) {
      RelayDevice& dev = server.lstRelayDevice.emplace_back();
      dev.nType = 1;
      dev.nState = 1;
      std::snprintf(dev.IPAddr, sizeof dev.IPAddr, "10.0.0.%d", std::strcmp(name, "Cam") == 0 ? 1 : 2);
      std::snprintf(dev.MACAddr, sizeof dev.MACAddr, "02-00-00-00-00-0B");
      std::snprintf(dev.DevName, sizeof dev.DevName, "%s", name);
    }
  }
  // The relay's answer with its two blocks, as the library posts it.
  void Answer(const char* ip) {
    auto* answer = pelk::Engine::Default().Records().NewRecord<RelayVideoAnswer>();
    std::snprintf(answer->szDevKey, sizeof answer->szDevKey, "02-00-00-00-00-0B:%s", ip);
    answer->dwMainId = 1;
    answer->dwSubId = 0;
    std::memcpy(answer->VideoParam, "H264", 5);
    PostMessage(dlg_->GetSafeHwnd(), WM_RELAY_CHANNEL_NOTIFY, reinterpret_cast<WPARAM>(answer), 77);
  }
  std::string Shown(int pane) {
    CVideoWnd* wnd = dlg_->m_pVideoManagerDlg->Pane(pane);
    return wnd->IsRelaying() ? wnd->RelayDev().DevName : "";
  }
};

}  // namespace

TEST_F(RelayPlacementTest, APatrolsPaneFirstThenTheSelectedPaneUnlessAskedForAnExtensionGrid) {
  AddServer();
  CVistarelDlg& dlg = Open();
  CVideoManagerDlg* grid = dlg.m_pVideoManagerDlg;
  grid->SetDisplayMode(4, FALSE);
  // Pane 3 patrols over the relay camera "Cam": it waits for its video.
  PatrolRunPoint point;
  std::snprintf(point.szDevKey, sizeof point.szDevKey, "02-00-00-00-00-0B:Cam");
  point.nStayTime = 30;
  grid->AddPatrolPoint(3, point);
  grid->StartPatrol(3);
  int waiting = -1;
  ASSERT_TRUE(WaitFor([&] { return grid->FindPatrolWnd(point.szDevKey, &waiting); }, 10000))
      << "the patrol shows its online relay camera";
  EXPECT_EQ(waiting, 3);
  grid->SetSelectWnd(1);
  Answer("10.0.0.1");
  ASSERT_TRUE(WaitFor([&] { return Shown(3) == "Cam"; }));
  EXPECT_EQ(Shown(1), "");

  // No patrol waits for "Yard": the selected pane takes it.
  Answer("10.0.0.2");
  ASSERT_TRUE(WaitFor([&] { return Shown(1) == "Yard"; }));

  // Asked for an extension grid, and none is on: no pane of the main grid takes it.
  dlg.SetExtGridRelayFlag(1);
  grid->SetSelectWnd(0);
  Answer("10.0.0.2");
  QTest::qWait(200);
  EXPECT_EQ(Shown(0), "");
  // A refused answer (no blocks) places nothing.
  dlg.SetExtGridRelayFlag(0);
  auto* refused = pelk::Engine::Default().Records().NewRecord<RelayVideoAnswer>();
  std::snprintf(refused->szDevKey, sizeof refused->szDevKey, "02-00-00-00-00-0B:10.0.0.1");
  PostMessage(dlg.GetSafeHwnd(), WM_RELAY_CHANNEL_NOTIFY, reinterpret_cast<WPARAM>(refused), 77);
  QTest::qWait(200);
  EXPECT_EQ(Shown(0), "");
  grid->StopPatrol(3);
  grid->RemoveAllWatch();
}
