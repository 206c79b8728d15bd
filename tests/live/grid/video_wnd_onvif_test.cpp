// A pane plays a camera that speaks ONVIF: the address the pane builds from
// the device record is opened as the camera's own stream.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "fake_device_process.h"
#include "live/grid/video_wnd.h"
#include "maker/gimbro/gimbro.h"
#include "maker_test_support.h"
#include "rtsp_test_server.h"
#include "tessaly/tessaly_ctrl.h"
#include "tests/live/live_view_fixture.h"

namespace {

class VideoWndOnvifTest : public LiveViewFixture {
 protected:
  void SetUp() override {
    LiveViewFixture::SetUp();
    ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
  }
  void TearDown() override {
    pane_.reset();
    LiveViewFixture::TearDown();
    server_.Stop();
  }
  // The pane's snapshot (the decoded picture) has this size.
  bool ShowsPicture(QSize size) {
    const std::string file = folder_.Path() + "snap.jpg";
    return WaitFor([&] {
      const CRtspEvents* events = pane_->RenderingStream();
      if (!events || !events->Player(1) || !events->Player(1)->HasPicture()) return false;
      return pane_->SnapShot(file) == 0 && QImage(QString::fromStdString(file)).size() == size;
    }, 30000);
  }

  RtspTestServer server_;
  std::unique_ptr<CVideoWnd> pane_;
};

}  // namespace

TEST_F(VideoWndOnvifTest, PaneShowsTheCamerasOwnMainAndSubStreams) {
  FakeOnvifCamera camera(0, {"--rtsp-main", QString::fromStdString(server_.Url("/h264")), "--rtsp-sub",
                             QString::fromStdString(server_.Url("/mpeg4cif"))});
  ASSERT_TRUE(camera.Ready());
  CGimbroCtrl gimbro;
  ASSERT_GT(gimbro.AddDevice("127.0.0.1", camera.Port(), "admin", "secret"), 0);
  // The record's own video port serves nothing: only the camera's stream plays.
  DevInfo& dev = AddCamera("Gate", RtspTestServer::FreePort());
  pane_ = std::make_unique<CVideoWnd>(&window_, FALSE, FALSE);
  pane_->Create(CVideoWnd::IDD, &window_);
  pane_->SetWndPos(0, 0, 644, 364);
  pane_->show();

  ASSERT_EQ(pane_->AddWatch(&dev), 0);
  EXPECT_TRUE(ShowsPicture(QSize(640, 360))) << "the first profile's stream";
  ASSERT_EQ(pane_->SwitchCifD1(), 0);
  EXPECT_TRUE(ShowsPicture(QSize(320, 180))) << "the second profile's stream";
  EXPECT_EQ(pane_->StopWatch(TRUE), 0);
}
