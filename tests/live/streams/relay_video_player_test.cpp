// The relay video player: set-up, frames by kind, and frames that keep coming
// from the relay thread while the pane closes the player.
#include <gtest/gtest.h>

#include <QWidget>
#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "live/streams/relay_video_player.h"
#include "streva/streva_ctrl.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

const BYTE* Bytes(const void* block) { return static_cast<const BYTE*>(block); }

VideoParamBlock H264Block() {
  VideoParamBlock block{};
  std::strcpy(block.szText, "H264 320x240 25fps");
  block.dwValid = 1;
  block.dwCodec = kVideoCodecH264;
  block.dwWidth = 320;
  block.dwHeight = 240;
  block.dwFrameRateNum = 25;
  block.dwFrameRateDen = 1;
  return block;
}

AudioParamBlock PcmaBlock() {
  AudioParamBlock block{};
  std::strcpy(block.szText, "G711A 8000Hz 1ch");
  block.dwValid = 1;
  block.wCodec = kAudioCodecPcma;
  block.byChannels = 1;
  block.dwSampleRate = 8000;
  return block;
}

CTessalyCtrl* PlayerOf(const QWidget& window) {
  for (QObject* child : window.children()) {
    if (auto* player = dynamic_cast<CTessalyCtrl*>(child)) return player;
  }
  return nullptr;
}

class RelayVideoPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(400, 300);
    relay_ = std::make_unique<RelayVideoPlayer>(&window_, FALSE);
  }

  // An H.264 access unit delimiter: a valid frame that decodes to no picture
  // (and passes as an A-law audio frame too).
  const std::vector<BYTE> frame_ = {0, 0, 0, 1, 0x09, 0xF0};
  QWidget window_;
  std::unique_ptr<RelayVideoPlayer> relay_;
};

TEST_F(RelayVideoPlayerTest, CreatesAVisiblePlayerOverTheClientArea) {
  CTessalyCtrl* player = PlayerOf(window_);
  ASSERT_NE(player, nullptr);
  EXPECT_TRUE(relay_->HasPlayer());
  EXPECT_FALSE(player->isHidden());
  EXPECT_EQ(player->geometry(), QRect(0, 0, 400, 300));
  EXPECT_EQ(player->GetMouseMode(), 0);

  window_.resize(640, 480);
  relay_->Resize();
  EXPECT_EQ(player->geometry(), QRect(0, 0, 640, 480));

  QWidget other;
  other.resize(200, 100);
  relay_->SetParentWindow(&other);
  EXPECT_EQ(player->parentWidget(), &other);
  EXPECT_EQ(player->geometry(), QRect(0, 0, 200, 100));
  EXPECT_EQ(relay_->SetMouseMode(2), 0);
  EXPECT_EQ(player->GetMouseMode(), 2);
  relay_->Close();  // before `other` goes
  EXPECT_EQ(PlayerOf(other), nullptr);
}

TEST_F(RelayVideoPlayerTest, FramesGoToTheDecoderOfTheirKind) {
  const VideoParamBlock video = H264Block();
  const AudioParamBlock audio = PcmaBlock();
  EXPECT_EQ(relay_->SetVideoParam(Bytes(&video), sizeof(video) - 1), -1);  // short block
  EXPECT_EQ(relay_->SetVideoParam(Bytes(&video), sizeof(video)), 0);
  EXPECT_EQ(relay_->SetAudioParam(Bytes(&audio), sizeof(audio)), 0);

  RelayFrameInfo info;
  info.dwKeyFlag = 1;
  info.dTime = 40;
  EXPECT_EQ(relay_->InputData(RelayVideoPlayer::kVideoFrame, frame_.data(), static_cast<long>(frame_.size()), &info), 0);
  EXPECT_EQ(relay_->InputData(RelayVideoPlayer::kAudioFrame, frame_.data(), static_cast<long>(frame_.size()), nullptr), 0);
  EXPECT_EQ(relay_->FramesFed(), 2);
  for (long kind : {2L, 3L, -1L}) {
    EXPECT_EQ(relay_->InputData(kind, frame_.data(), static_cast<long>(frame_.size()), &info), -1) << kind;
  }
  EXPECT_EQ(relay_->FramesFed(), 2);
}

TEST_F(RelayVideoPlayerTest, AnEmptyAudioBlockLeavesTheDecoderUnsetButFramesStillPass) {
  AudioParamBlock audio = PcmaBlock();
  audio.szText[0] = 0;
  EXPECT_EQ(relay_->SetAudioParam(Bytes(&audio), sizeof(audio)), -1);
  // Handed to the player, which has no audio decoder to take it.
  EXPECT_EQ(relay_->InputData(RelayVideoPlayer::kAudioFrame, frame_.data(), static_cast<long>(frame_.size()), nullptr), -1);
  EXPECT_EQ(relay_->FramesFed(), 1);
}

TEST_F(RelayVideoPlayerTest, EverythingRefusesWithoutAPlayer) {
  relay_->Close();
  EXPECT_EQ(PlayerOf(window_), nullptr);
  relay_->Close();  // twice is harmless
  RelayVideoPlayer orphan(nullptr, TRUE);
  for (RelayVideoPlayer* r : {relay_.get(), &orphan}) {
    const VideoParamBlock video = H264Block();
    const AudioParamBlock audio = PcmaBlock();
    EXPECT_FALSE(r->HasPlayer());
    EXPECT_EQ(r->SetVideoParam(Bytes(&video), sizeof(video)), -1);
    EXPECT_EQ(r->SetAudioParam(Bytes(&audio), sizeof(audio)), -1);
    EXPECT_EQ(r->InputData(RelayVideoPlayer::kVideoFrame, frame_.data(), static_cast<long>(frame_.size()), nullptr), -1);
    EXPECT_EQ(r->SnapShot("x.jpg"), -1);
    EXPECT_EQ(r->SetFillScreen(TRUE), -1);
    EXPECT_EQ(r->ApplyKeepLastFrame(TRUE), -1);
    EXPECT_EQ(r->OpenSound(), -1);
    EXPECT_EQ(r->CloseSound(), -1);
    EXPECT_EQ(r->SetMouseMode(1), -1);
    r->Resize();
    EXPECT_EQ(r->FramesFed(), 0);
  }
}

TEST_F(RelayVideoPlayerTest, AParentWindowThatWentFirstLeavesNothingToTouch) {
  auto parent = std::make_unique<QWidget>();
  RelayVideoPlayer relay(parent.get(), FALSE);
  parent.reset();  // destroys the player with it
  EXPECT_FALSE(relay.HasPlayer());
  EXPECT_EQ(relay.OpenSound(), -1);
  relay.Resize();
  relay.Close();
}

TEST_F(RelayVideoPlayerTest, FramesArrivingWhileClosingAreDroppedAfterClose) {
  const VideoParamBlock video = H264Block();
  const AudioParamBlock audio = PcmaBlock();
  ASSERT_EQ(relay_->SetVideoParam(Bytes(&video), sizeof(video)), 0);
  ASSERT_EQ(relay_->SetAudioParam(Bytes(&audio), sizeof(audio)), 0);

  std::atomic<bool> stop{false};
  std::atomic<long> calls{0};
  std::atomic<long> fedAfterClose{0};
  std::atomic<bool> closed{false};
  std::thread relayThread([&] {
    const RelayFrameInfo info{};
    for (long i = 0; !stop; ++i) {
      const bool closedBefore = closed;
      const long result = relay_->InputData(i % 2, frame_.data(), static_cast<long>(frame_.size()), &info);
      if (closedBefore && result != -1) ++fedAfterClose;
      ++calls;
    }
  });
  // Let frames flow, close in the middle of them, then let many more arrive.
  while (calls < 200) std::this_thread::yield();
  relay_->Close();
  const long fedAtClose = relay_->FramesFed();
  closed = true;
  const long callsAtClose = calls;
  while (calls < callsAtClose + 500) std::this_thread::yield();
  stop = true;
  relayThread.join();

  EXPECT_GE(fedAtClose, 200);
  EXPECT_EQ(relay_->FramesFed(), fedAtClose);
  EXPECT_EQ(fedAfterClose, 0);
  EXPECT_EQ(PlayerOf(window_), nullptr);
}

}  // namespace
