// A pane showing relay video: the relay callback's frames, closing while
// frames still arrive, relay PTZ and stream invitations.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "live/streams/relay_video_player.h"
#include "live/grid/video_manager_dlg.h"
#include "rtsp_test_server.h"
#include "tessaly/tessaly_ctrl.h"
#include "live/grid/video_wnd.h"
#include "core/sur_status.h"
#include "tests/live/live_view_fixture.h"

namespace {

struct RelayHost : RecordingHost {
  long RegisterRelayRealData(const std::string& key, long mainId, long subId,
                             std::shared_ptr<RelayVideoPlayer> player) override {
    registeredKey = key;
    sessions = {mainId, subId};
    registered = std::move(player);
    return 0;
  }
  long InviteCloseDeviceVideo(const PaneRelayDevice&, const std::string& key, long, long) override {
    closedKeys.push_back(key);
    return 0;
  }
  long InviteDeviceVideo(const PaneRelayDevice&, const std::string& key, int stream, int channel) override {
    invitations.push_back(key + "/" + std::to_string(stream) + "/" + std::to_string(channel));
    return 0;
  }
  long SetRelayPtzDirection(const PaneRelayDevice&, const std::string& key, int channel, int code, int pan,
                            int tilt) override {
    ptz.push_back(key + "/" + std::to_string(channel) + "/" + std::to_string(code) + "," + std::to_string(pan) + "," +
                  std::to_string(tilt));
    return 0;
  }
  std::string registeredKey;
  std::pair<long, long> sessions;
  std::shared_ptr<RelayVideoPlayer> registered;
  std::vector<std::string> closedKeys, invitations, ptz;
};

class VideoWndRelayTest : public LiveViewFixture {
 protected:
  void SetUp() override {
    LiveViewFixture::SetUp();
    SetVideoHost(&relayHost_);
    pane_ = std::make_unique<CVideoWnd>(&window_, FALSE, FALSE);
    pane_->Create(CVideoWnd::IDD, &window_);
    pane_->SetWndPos(0, 0, 324, 244);
    pane_->show();
    std::snprintf(dev_.MACAddr, sizeof(dev_.MACAddr), "00:11:22:33:44:55");
    std::snprintf(dev_.IPAddr, sizeof(dev_.IPAddr), "10.1.2.3");
    std::snprintf(dev_.DevName, sizeof(dev_.DevName), "Server-3");
    dev_.nKind = 0;
    dev_.State = 1;
    video_.dwValid = 1;
    video_.dwCodec = kVideoCodecH264;
    std::strcpy(video_.szText, "H264 320x240");
    audio_.dwValid = 1;
    audio_.wCodec = kAudioCodecPcma;
    std::strcpy(audio_.szText, "G711A 8000Hz 1ch");
  }
  void TearDown() override {
    pane_.reset();
    relayHost_.registered.reset();
    LiveViewFixture::TearDown();
  }
  long Open() {
    return pane_->OpenRelayVideo(dev_, 5, 6, reinterpret_cast<const BYTE*>(&video_), sizeof(video_),
                                 reinterpret_cast<const BYTE*>(&audio_), sizeof(audio_));
  }

  RelayHost relayHost_;
  std::unique_ptr<CVideoWnd> pane_;
  PaneRelayDevice dev_;
  VideoParamBlock video_{};
  AudioParamBlock audio_{};
};

TEST_F(VideoWndRelayTest, OpensRegistersAndPassesPtzAndStreamChoicesToTheRelay) {
  ASSERT_EQ(Open(), 0);
  EXPECT_TRUE(pane_->IsRelaying());
  EXPECT_TRUE(pane_->IsBusy());
  EXPECT_EQ(pane_->RelayDev().State, 2);
  EXPECT_EQ(relayHost_.registeredKey, "00:11:22:33:44:55:10.1.2.3");
  EXPECT_EQ(relayHost_.sessions, std::make_pair(5L, 6L));
  ASSERT_TRUE(relayHost_.registered);
  EXPECT_TRUE(relayHost_.registered->HasPlayer());

  EXPECT_EQ(pane_->SetRelayPtzDirection(2, 5, 6), 0);
  ASSERT_EQ(relayHost_.ptz.size(), 1u);
  EXPECT_EQ(relayHost_.ptz[0], "00:11:22:33:44:55:10.1.2.3/3/2,5,6");  // channel from the name's last digit
  pane_->InviteRelayMainStream();
  EXPECT_EQ(relayHost_.invitations.back(), "00:11:22:33:44:55:10.1.2.3/1/3");
  EXPECT_EQ(pane_->SwitchCifD1(), 0);  // relay panes ask for the other stream
  EXPECT_EQ(relayHost_.invitations.back(), "00:11:22:33:44:55:10.1.2.3/0/3");

  pane_->CloseRelayVideo();
  EXPECT_FALSE(pane_->IsRelaying());
  EXPECT_EQ(relayHost_.closedKeys.size(), 1u);
  EXPECT_EQ(pane_->SetRelayPtzDirection(2, 5, 6), -1);
}

// The relay library may still be handing a frame over while the pane closes:
// frames after the close are dropped and the player the callback holds stays valid.
TEST_F(VideoWndRelayTest, FramesArrivingWhileThePaneClosesAreDropped) {
  ASSERT_EQ(Open(), 0);
  std::shared_ptr<RelayVideoPlayer> player = relayHost_.registered;
  const std::vector<BYTE> frame = {0, 0, 0, 1, 0x09, 0xF0};
  std::atomic<bool> closed{false};
  std::atomic<bool> stop{false};
  std::atomic<long> calls{0}, acceptedAfterClose{0};
  std::thread relayThread([&] {
    RelayFrameInfo info;
    info.dwKeyFlag = 1;
    info.dTime = 40;
    while (!stop) {
      const bool closedBefore = closed;
      const long result = player->InputData(RelayVideoPlayer::kVideoFrame, frame.data(), static_cast<long>(frame.size()), &info);
      if (closedBefore && result != -1) ++acceptedAfterClose;
      ++calls;
    }
  });
  while (calls < 200) std::this_thread::yield();
  pane_->CloseRelayVideo();
  closed = true;
  const long fedAtClose = player->FramesFed();
  const long callsAtClose = calls;
  while (calls < callsAtClose + 500) std::this_thread::yield();
  stop = true;
  relayThread.join();
  EXPECT_GE(fedAtClose, 200);
  EXPECT_EQ(player->FramesFed(), fedAtClose);
  EXPECT_EQ(acceptedAfterClose, 0);
  EXPECT_FALSE(player->HasPlayer());
}

// A watch dragged onto a pane showing relay video: the two exchange what they
// show; the relay video moves with its player and sessions, nothing is closed.
TEST_F(VideoWndRelayTest, DraggingExchangesALocalCameraAndRelayVideo) {
  CVideoManagerDlg grid(0, 0, 800, 600, &window_);
  grid.Create(CVideoManagerDlg::IDD, &window_);
  grid.show();
  ASSERT_EQ(grid.AddWatch(0, &AddCamera("Gate", RtspTestServer::FreePort()), FALSE, FALSE, 0, 0, FALSE, FALSE), 0);
  ASSERT_EQ(grid.AddRelayWatch(1, dev_, 5, 6, reinterpret_cast<const BYTE*>(&video_), sizeof(video_),
                               reinterpret_cast<const BYTE*>(&audio_), sizeof(audio_)), 0);
  ASSERT_TRUE(grid.Pane(1)->IsRelaying());
  RelayVideoPlayer* player = grid.Pane(1)->RelayPlayer();

  grid.ChangeDispWnd(grid.Pane(1), grid.Pane(0));  // pane 0 dropped on pane 1
  EXPECT_TRUE(grid.Pane(1)->IsWatching());
  EXPECT_STREQ(grid.Pane(1)->WatchedDev().DevName, "Gate");
  EXPECT_FALSE(grid.Pane(1)->IsRelaying());
  ASSERT_TRUE(grid.Pane(0)->IsRelaying());
  EXPECT_FALSE(grid.Pane(0)->IsWatching());
  EXPECT_EQ(grid.Pane(0)->RelayPlayer(), player);
  EXPECT_EQ(grid.Pane(0)->RelayMainSession(), 5);
  EXPECT_TRUE(player->HasPlayer());
  EXPECT_TRUE(relayHost_.closedKeys.empty());
  bool underPane0 = false;
  for (QObject* child : grid.Pane(0)->Picture()->children()) underPane0 |= dynamic_cast<CTessalyCtrl*>(child) != nullptr;
  EXPECT_TRUE(underPane0);
  ASSERT_EQ(g_lstSurStatus.size(), 1u);  // the local camera's new pane is remembered
  EXPECT_EQ(g_lstSurStatus.front().WndNo, 1);
  g_lstSurStatus.clear();
}

}  // namespace

// A relay request names the channel the relay answered the video with: a
// video server channel by its last digit, an NVR channel by its "Channel-n".
TEST(VideoWndRelayChannel, TheChannelFollowsTheKindAndTheName) {
  struct Case {
    int kind;
    const char* name;
    int channel;
  };
  const Case cases[] = {{0, "Server-3", 3}, {0, "Server", 0}, {4, "Channel-12", 12}, {4, "Nvr", 0},
                        {1, "Cam-2", 0},    {3, "Node-1", 0}};
  for (const Case& c : cases) {
    PaneRelayDevice dev;
    dev.nKind = c.kind;
    std::snprintf(dev.DevName, sizeof dev.DevName, "%s", c.name);
    EXPECT_EQ(CVideoWnd::RelayChannel(dev), c.channel) << c.kind << " " << c.name;
  }
}
