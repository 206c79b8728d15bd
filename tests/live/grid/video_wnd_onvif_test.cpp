// A pane plays a camera that speaks ONVIF: the address the pane builds from
// the device record is opened as the camera's own stream. Another camera's
// troubles hold up neither its video nor its requests.
#include <gtest/gtest.h>

#include <QImage>
#include <map>
#include <memory>
#include <vector>

#include "fake_device_process.h"
#include "live/grid/video_wnd.h"
#include "maker/gimbro/gimbro.h"
#include "maker/gimbro/gimbro_link.h"
#include "maker_test_support.h"
#include "quick_timings.h"
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

namespace {

// Counts the statuses and alarms of each device.
struct CountingSink : CGimbroEventSink {
  LONG DevStatusResponse(LONG id, LONG code, const char*) override {
    ++statuses[{id, code}];
    return 0;
  }
  LONG PTZResponse(LONG, LONG, const char*) override { return 0; }
  LONG AUXResponse(LONG, LONG, const char*) override { return 0; }
  LONG AlarmRecv(LONG id, const GimbroAlarmRecord*) override {
    ++alarms[id];
    return 0;
  }
  LONG MediaDataRecv(LONG, const BYTE*, LONG, const BYTE*, LONG) override { return 0; }
  LONG MediaParamRecv(LONG, const char*, LONG) override { return 0; }
  LONG ReplayStatus(LONG, LONG, LONG) override { return 0; }
  std::map<std::pair<LONG, LONG>, int> statuses;
  std::map<LONG, int> alarms;
};

}  // namespace

// While one camera restarts, answers every request with a fault, or floods
// its answers (its body or its head, as fast as it is read), the other plays
// on, stays online, moves and raises its alarms.
TEST_F(VideoWndOnvifTest, ACameraInTroubleHoldsUpNoOtherCamera) {
  GimbroTimingsForNewLinks() = QuickGimbroTimings();
  // The troubled camera has no video of its own; the other's is the test server's.
  const QStringList troubledArgs = {"--rtsp-main", "rtsp://127.0.0.1:1/none"};
  auto troubled = std::make_unique<FakeOnvifCamera>(0, troubledArgs);
  FakeOnvifCamera yard(0, {"--rtsp-main", QString::fromStdString(server_.Url("/h264")), "--rtsp-sub",
                           QString::fromStdString(server_.Url("/mpeg4cif"))});
  ASSERT_TRUE(troubled->Ready());
  ASSERT_TRUE(yard.Ready());
  const int troubledPort = troubled->Port();
  CountingSink sink;
  CGimbroCtrl gimbro;
  gimbro.Advise(&sink);
  const LONG troubledId = gimbro.AddDevice("127.0.0.1", troubledPort, "admin", "secret");
  const LONG yardId = gimbro.AddDevice("127.0.0.1", yard.Port(), "admin", "secret");
  ASSERT_TRUE(WaitFor([&] {
    return sink.statuses[{troubledId, GIMBRO_STATUS_LOGIN_OK}] == 1 && sink.statuses[{yardId, GIMBRO_STATUS_LOGIN_OK}] == 1;
  }));
  ASSERT_TRUE(WaitFor([&] { return yard.Command("subscriptions") == "OK 1"; }));
  DevInfo& dev = AddCamera("Yard", server_.Port());
  pane_ = std::make_unique<CVideoWnd>(&window_, FALSE, FALSE);
  pane_->Create(CVideoWnd::IDD, &window_);
  pane_->SetWndPos(0, 0, 644, 364);
  pane_->show();
  ASSERT_EQ(pane_->AddWatch(&dev), 0);
  ASSERT_TRUE(ShowsPicture(QSize(640, 360)));

  const std::string stop = "<xml>\t\t\t\t\t\t\t  <cmd>stop</cmd>\t\t\t\t\t\t\t  </xml>";
  const std::vector<std::string> troubles = {"restart", "mode flood", "mode floodheaders", "mode fault"};
  for (const std::string& trouble : troubles) {
    SCOPED_TRACE(trouble);
    if (trouble == "restart") {
      troubled->Kill();
    } else {
      ASSERT_EQ(troubled->Command(trouble), "OK");
    }
    const int lost = sink.statuses[{troubledId, GIMBRO_STATUS_CONNECTION_LOST}];
    // The troubled camera goes offline (and, while it stays in trouble, keeps
    // being tried) while the other is asked and tells things.
    ASSERT_TRUE(WaitFor([&] { return sink.statuses[{troubledId, GIMBRO_STATUS_CONNECTION_LOST}] > lost; }));
    for (int round = 0; round < 3; ++round) {
      const unsigned long long pictures = pane_->RenderingStream()->Player(1)->PicturesDecoded();
      ASSERT_EQ(gimbro.PtzCommand(yardId, stop.c_str()), GIMBRO_OK);
      EXPECT_EQ(yard.Take("Stop"), "Stop main PanTilt=true Zoom=true");
      const int alarms = sink.alarms[yardId];
      ASSERT_EQ(yard.Command("motion on"), "OK 1");
      EXPECT_TRUE(WaitFor([&] { return sink.alarms[yardId] == alarms + 1; }, 5000));
      ASSERT_EQ(yard.Command("motion off"), "OK 1");
      EXPECT_TRUE(WaitFor([&] { return pane_->RenderingStream()->Player(1)->PicturesDecoded() > pictures; }, 5000));
    }
    EXPECT_EQ(sink.statuses[std::make_pair(yardId, GIMBRO_STATUS_CONNECTION_LOST)], 0);
    if (trouble == "restart") {
      troubled = std::make_unique<FakeOnvifCamera>(troubledPort, troubledArgs);
      ASSERT_TRUE(troubled->Ready());
    } else {
      ASSERT_EQ(troubled->Command("mode normal"), "OK");
    }
    ASSERT_TRUE(WaitFor([&] { return sink.statuses[{troubledId, GIMBRO_STATUS_LOGIN_OK}] > 1; }));
    sink.statuses[{troubledId, GIMBRO_STATUS_LOGIN_OK}] = 1;
  }
  EXPECT_EQ(pane_->StopWatch(TRUE), 0);
  gimbro.Release();
  GimbroTimingsForNewLinks() = GimbroTimings();
}
