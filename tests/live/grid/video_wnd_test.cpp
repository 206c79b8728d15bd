// The video pane against the RTSP peer: playing, snapshots, stream switching,
// reuse of an open stream, and what it shows when an open fails or its device goes.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "live/grid/video_wnd.h"
#include "tests/live/live_view_fixture.h"
#include "maker_test_support.h"
#include "rtsp_test_server.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

class VideoWndTest : public LiveViewFixture {
 protected:
  void SetUp() override {
    LiveViewFixture::SetUp();
    ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
  }
  void TearDown() override {
    panes_.clear();
    LiveViewFixture::TearDown();
    server_.Stop();
  }
  CVideoWnd* NewPane() {
    panes_.push_back(std::make_unique<CVideoWnd>(&window_, FALSE, FALSE));
    CVideoWnd* pane = panes_.back().get();
    pane->Create(CVideoWnd::IDD, &window_);
    pane->SetWndPos(0, 0, 644, 364);
    pane->show();
    return pane;
  }
  static bool ShowsPicture(const CVideoWnd* pane) {
    return WaitFor([pane] {
      const CRtspEvents* events = pane->RenderingStream();
      return events && events->Player(1) && events->Player(1)->HasPicture();
    }, 15000);
  }
  QImage Snapshot(CVideoWnd* pane, const std::string& name) {
    const std::string file = folder_.Path() + name;
    if (pane->SnapShot(file) != 0) return QImage();
    return QImage(QString::fromStdString(file));
  }

  RtspTestServer server_;
  std::vector<std::unique_ptr<CVideoWnd>> panes_;
};

TEST_F(VideoWndTest, PlaysTheMainStreamSwitchesToTheSubStreamAndSnapshotsDecode) {
  DevInfo& dev = AddCamera("Gate", server_.Port());
  CVideoWnd* pane = NewPane();
  EXPECT_EQ(pane->SnapShot(folder_.Path() + "empty.jpg"), -1);  // shows nothing yet

  ASSERT_EQ(pane->AddWatch(&dev), 0);
  EXPECT_TRUE(pane->IsWatching());
  EXPECT_EQ(dev.bWatched, 1);
  EXPECT_EQ(dev.LiveStreamKind, 1);
  EXPECT_GE(dev.MainStreamId, 1);
  EXPECT_EQ(pane->RenderingStream(), dev.pRtspEvent1);
  ASSERT_TRUE(ShowsPicture(pane));
  const QImage main = Snapshot(pane, "main.jpg");
  ASSERT_FALSE(main.isNull());
  EXPECT_EQ(main.size(), QSize(640, 360));

  ASSERT_EQ(pane->SwitchCifD1(), 0);
  EXPECT_TRUE(pane->ShowsSubStream());
  EXPECT_EQ(dev.LiveStreamKind, 0);
  ASSERT_TRUE(ShowsPicture(pane));
  const QImage sub = Snapshot(pane, "sub.jpg");
  ASSERT_FALSE(sub.isNull());
  EXPECT_EQ(sub.size(), QSize(320, 180));
  EXPECT_EQ(StreamThreadCount(), 1);  // the main stream was closed

  EXPECT_EQ(pane->StopWatch(TRUE), 0);
  EXPECT_FALSE(pane->IsWatching());
  EXPECT_EQ(dev.bWatched, 0);
  EXPECT_EQ(dev.MainStreamId, 0);
  EXPECT_EQ(dev.SubStreamId, 0);
  EXPECT_EQ(StreamThreadCount(), 0);
  EXPECT_EQ(pane->StopWatch(TRUE), -1);
}

TEST_F(VideoWndTest, ASecondPaneTakesOverTheOpenStreamAndAStreamThatRecordsOutlivesThePane) {
  DevInfo& dev = AddCamera("Hall", server_.Port());
  CVideoWnd* first = NewPane();
  CVideoWnd* second = NewPane();
  ASSERT_EQ(first->AddWatch(&dev), 0);
  ASSERT_TRUE(ShowsPicture(first));
  const long streamId = dev.pRtspEvent1->GetStreamId();

  ASSERT_EQ(second->AddWatch(&dev), 0);
  EXPECT_EQ(second->RenderingStream(), dev.pRtspEvent1);
  EXPECT_EQ(dev.pRtspEvent1->GetStreamId(), streamId);  // nothing new opened
  EXPECT_EQ(StreamThreadCount(), 1);
  EXPECT_FALSE(first->IsWatching());  // its picture moved away
  ASSERT_TRUE(ShowsPicture(second));

  ASSERT_GE(dev.pRtspEvent1->StartRecord(streamId, 3600, 1800, folder_.Path() + "rec", 0), 1);
  EXPECT_EQ(second->StopWatch(TRUE), 0);
  EXPECT_EQ(dev.pRtspEvent1->GetStreamId(), streamId);  // the recording keeps its stream
  EXPECT_EQ(StreamThreadCount(), 1);
  dev.pRtspEvent1->StopRecord();
}

// A failed open leaves no stream id behind and the pane empty, and it says so.
TEST_F(VideoWndTest, AFailedOpenLeavesThePaneIdle) {
  struct Case { const char* name; int visitMod; const char* ip; };
  const Case cases[] = {
      {"VisitMod outside 0-2: empty address", 5, "127.0.0.1"},
      {"not an address", 0, "bad host name with blanks"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DevInfo& dev = AddCamera(c.name, server_.Port());
    dev.VisitMod = c.visitMod;
    std::snprintf(dev.IPAddr, sizeof(dev.IPAddr), "%s", c.ip);
    CVideoWnd* pane = NewPane();
    EXPECT_EQ(pane->AddWatch(&dev), -1);
    EXPECT_FALSE(pane->IsWatching());
    EXPECT_FALSE(pane->IsBusy());
    EXPECT_EQ(pane->RenderingStream(), nullptr);
    EXPECT_EQ(dev.MainStreamId, 0);
    EXPECT_EQ(dev.pRtspEvent1->GetStreamId(), 0);
    EXPECT_EQ(dev.bWatched, 0);
    EXPECT_EQ(dev.pRtspEvent1->Player(1), nullptr);
  }
}

TEST_F(VideoWndTest, APaneWhoseDeviceIsGoneShowsNothingAndFreesItsStream) {
  DevInfo& dev = AddCamera("Yard", server_.Port());
  CRtspEvents* events = dev.pRtspEvent1;
  CVideoWnd* pane = NewPane();
  ASSERT_EQ(pane->AddWatch(&dev), 0);
  ASSERT_TRUE(ShowsPicture(pane));
  ASSERT_EQ(StreamThreadCount(), 1);

  g_lstDevInfo.clear();  // the device was deleted (its stream objects live on here)
  EXPECT_EQ(pane->SwitchCifD1(), -1);
  EXPECT_FALSE(pane->IsWatching());
  EXPECT_FALSE(pane->IsBusy());
  EXPECT_EQ(pane->RenderingStream(), nullptr);
  EXPECT_EQ(events->GetStreamId(), 0);
  EXPECT_EQ(events->Player(1), nullptr);
  EXPECT_EQ(StreamThreadCount(), 0);
}

TEST_F(VideoWndTest, OperationsOnAnEmptyPaneAreRefused) {
  CVideoWnd* pane = NewPane();
  EXPECT_EQ(pane->AddWatch(nullptr), -1);
  EXPECT_EQ(pane->RequestSpeak(), -1);
  EXPECT_EQ(pane->OpenSound(), -1);
  EXPECT_EQ(pane->StartManualRec(folder_.Path()), -1);
  EXPECT_EQ(pane->SendPtzCommand("<xml/>"), -1);
  EXPECT_EQ(pane->SwitchCifD1(), -1);
  EXPECT_EQ(pane->SetRelayPtzAdvance(3), -1);
  DevInfo noStreams;
  EXPECT_EQ(pane->AddWatch(&noStreams), -1);
}

}  // namespace
