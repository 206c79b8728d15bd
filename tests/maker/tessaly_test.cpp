// The stream player decoding a pulled stream into an offscreen widget.
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QWidget>
#include <cstring>
#include <memory>
#include <vector>

#include "common/temp_folder.h"
#include "maker_test_support.h"
#include "rtsp_test_server.h"
#include "streva/streva_ctrl.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

bool NotAllBlack(const QImage& image) {
  for (int y = 0; y < image.height(); y += 7) {
    for (int x = 0; x < image.width(); x += 7) {
      if (qGray(image.pixel(x, y)) > 40) return true;
    }
  }
  return false;
}

class TessalyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(400, 300);
    player_ = new CTessalyCtrl(&window_);
    player_->setGeometry(0, 0, 400, 300);
    player_->show();
    render_ = player_->CreateRender("TEST");
  }

  // Pulls /h264aac and feeds the player from the events until it has a picture.
  void Play() {
    ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
    streva_ = std::make_unique<CStrevaCtrl>();
    events_.onMedia = [this](const MediaParamBlock& block) {
      EXPECT_EQ(player_->SetupDecoder(CTessalyCtrl::kVideo, render_,
                                      reinterpret_cast<const BYTE*>(&block.video), 536), 0);
      EXPECT_EQ(player_->SetupDecoder(CTessalyCtrl::kAudio, render_,
                                      reinterpret_cast<const BYTE*>(&block.audio), 276), 0);
    };
    events_.onFrame = [this](const RecordedFrame& frame) {
      player_->InputData(frame.video ? CTessalyCtrl::kVideo : CTessalyCtrl::kAudio, render_,
                         frame.data.data(), static_cast<long>(frame.data.size()),
                         reinterpret_cast<const BYTE*>(&frame.header), 16);
    };
    streva_->Advise(&events_);
    ASSERT_GE(streva_->OpenStream(server_.Url("/h264aac"), "", "", TRUE), 1);
    ASSERT_TRUE(WaitFor([&] { return player_->HasPicture() && events_.VideoFrames() > 30; }, kFirstMediaMs));
    streva_.reset();
  }

  QWidget window_;
  CTessalyCtrl* player_ = nullptr;  // owned by window_
  long render_ = 0;
  RtspTestServer server_;
  EventRecorder events_;
  std::unique_ptr<CStrevaCtrl> streva_;
};

TEST_F(TessalyTest, DecodesIntoTheWidgetAndSnapshots) {
  ASSERT_EQ(render_, 1);
  EXPECT_EQ(player_->CreateRender("TEST"), -1);  // one render per player
  Play();
  const QImage picture = player_->LastPicture();
  EXPECT_EQ(picture.size(), QSize(640, 360));
  QImage shown = player_->grab().toImage();
  EXPECT_TRUE(NotAllBlack(shown));
  // Aspect kept: 400x300 shows 640x360 as 400x225 with black bands.
  EXPECT_EQ(qGray(shown.pixel(200, 10)), 0);
  player_->FillScreen(1);
  shown = player_->grab().toImage();
  EXPECT_TRUE(NotAllBlack(shown.copy(0, 0, 400, 30)));

  TempFolder folder;
  struct Case {
    long format;
    std::string path;
    const char* kind;
  };
  const std::vector<Case> cases = {{0, folder.File("snap/a.bmp"), "BMP"},
                                   {1, folder.File("b.jpg"), "JPG"}};
  for (const Case& c : cases) {
    ASSERT_EQ(player_->Snapshot(render_, c.format, c.path), 0) << c.kind;
    QImage saved(QString::fromStdString(c.path), c.kind);
    EXPECT_EQ(saved.size(), QSize(640, 360)) << c.kind;
    EXPECT_TRUE(NotAllBlack(saved)) << c.kind;
  }
  // A folder: the file is named in it.
  ASSERT_EQ(player_->Snapshot(render_, 1, folder.Path()), 0);
  EXPECT_EQ(FilesIn(folder.Path(), ".jpg").size(), 2u);
  EXPECT_EQ(player_->Snapshot(render_ + 1, 1, folder.File("c.jpg")), -1);
}

TEST_F(TessalyTest, DrawsThePictureAtEachSizeAndModeThePlayerTakes) {
  window_.show();  // pictures are converted as they are decoded only for a shown player
  Play();
  struct Case {
    QSize size;
    bool fill;
    QRect black;    // a band outside the picture (empty: none)
    QRect picture;  // a part of the picture
  };
  const std::vector<Case> cases = {
      {{400, 300}, false, {0, 0, 400, 30}, {0, 100, 400, 100}},
      {{200, 300}, false, {0, 0, 200, 80}, {0, 110, 200, 80}},  // taller than the picture
      {{300, 100}, false, {0, 0, 60, 100}, {100, 0, 100, 100}},  // wider
      {{200, 300}, true, {}, {0, 0, 200, 80}},
  };
  for (const Case& c : cases) {
    player_->FillScreen(c.fill ? 1 : 0);
    player_->resize(c.size);
    const QImage shown = player_->grab().toImage();
    ASSERT_EQ(shown.size(), c.size);
    if (!c.black.isEmpty()) {
      EXPECT_FALSE(NotAllBlack(shown.copy(c.black))) << c.size.width() << "x" << c.size.height();
    }
    EXPECT_TRUE(NotAllBlack(shown.copy(c.picture))) << c.size.width() << "x" << c.size.height();
  }
  EXPECT_EQ(player_->LastPicture().size(), QSize(640, 360));
}

TEST_F(TessalyTest, APlayerHiddenWhileDecodingShowsThePictureWhenShown) {
  window_.show();
  player_->hide();
  Play();
  ASSERT_TRUE(player_->HasPicture());
  player_->show();
  EXPECT_TRUE(NotAllBlack(player_->grab().toImage().copy(0, 100, 400, 100)));
  EXPECT_EQ(player_->LastPicture().size(), QSize(640, 360));
}

TEST_F(TessalyTest, KeepLastFrameDecidesWhatClosingLeaves) {
  Play();
  player_->KeepLastFrame(1);
  EXPECT_EQ(player_->CloseDecoder(CTessalyCtrl::kVideo, render_), 0);
  EXPECT_TRUE(player_->HasPicture());
  player_->KeepLastFrame(0);
  EXPECT_EQ(player_->CloseDecoder(CTessalyCtrl::kVideo, render_), 0);
  EXPECT_FALSE(player_->HasPicture());
  EXPECT_FALSE(NotAllBlack(player_->grab().toImage()));
  // With no decoder, frames are refused; no snapshot without a picture.
  BYTE data[4] = {0, 0, 1, 0x65};
  EXPECT_EQ(player_->InputData(CTessalyCtrl::kVideo, render_, data, 4, nullptr, 0), -1);
  TempFolder folder;
  EXPECT_EQ(player_->Snapshot(render_, 0, folder.File("x.bmp")), -1);
}

TEST_F(TessalyTest, BadBlocksAndGarbageFramesAreRefusedOrSurvived) {
  MediaParamBlock block{};
  EXPECT_EQ(player_->SetupDecoder(CTessalyCtrl::kVideo, render_, reinterpret_cast<BYTE*>(&block.video), 536), -1);
  block.video.dwValid = 1;
  block.video.dwCodec = 99;
  EXPECT_EQ(player_->SetupDecoder(CTessalyCtrl::kVideo, render_, reinterpret_cast<BYTE*>(&block.video), 536), -1);
  block.video.dwCodec = kVideoCodecH264;
  EXPECT_EQ(player_->SetupDecoder(CTessalyCtrl::kVideo, render_, reinterpret_cast<BYTE*>(&block.video), 100), -1);
  block.video.dwExtraSize = 100000;  // beyond the field: ignored
  EXPECT_EQ(player_->SetupDecoder(CTessalyCtrl::kVideo, render_, reinterpret_cast<BYTE*>(&block.video), 536), 0);
  EXPECT_EQ(player_->SetupDecoder(7, render_, reinterpret_cast<BYTE*>(&block.video), 536), -1);
  EXPECT_EQ(player_->SetupDecoder(CTessalyCtrl::kVideo, 5, reinterpret_cast<BYTE*>(&block.video), 536), -1);
  std::vector<BYTE> garbage(5000);
  uint32_t seed = 1;
  for (int round = 0; round < 50; ++round) {
    for (BYTE& b : garbage) b = static_cast<BYTE>((seed = seed * 1103515245 + 12345) >> 16);
    garbage[0] = garbage[1] = garbage[2] = 0;
    garbage[3] = 1;
    player_->InputData(CTessalyCtrl::kVideo, render_, garbage.data(), static_cast<long>(garbage.size()), nullptr, 0);
  }
  EXPECT_EQ(player_->InputData(CTessalyCtrl::kVideo, render_, nullptr, 10, nullptr, 0), -1);
  block.audio.dwValid = 1;
  block.audio.wCodec = kAudioCodecPcma;
  block.audio.dwSampleRate = 8000;
  block.audio.byChannels = 1;
  EXPECT_EQ(player_->SetupDecoder(CTessalyCtrl::kAudio, render_, reinterpret_cast<BYTE*>(&block.audio), 276), 0);
  // Sound on without a sound device: accepted, stays silent.
  EXPECT_EQ(player_->Sound(render_, 1), 0);
  EXPECT_EQ(player_->InputData(CTessalyCtrl::kAudio, render_, garbage.data(), 320, nullptr, 0), 0);
  WaitFor([] { return false; }, 100);
  EXPECT_EQ(player_->Sound(render_, 0), 0);
  EXPECT_EQ(player_->DeleteRender(render_), 0);
  EXPECT_EQ(player_->DeleteRender(render_), -1);
}

TEST_F(TessalyTest, SettingsAreKept) {
  EXPECT_EQ(player_->MouseMode(render_, 2), 0);
  EXPECT_EQ(player_->MouseMode(render_ + 1, 3), -1);
  EXPECT_EQ(player_->Talk(1, 1), 0);
  EXPECT_EQ(player_->Flip(1, 2), 0);
  EXPECT_EQ(player_->BufferTick(40), 0);
  EXPECT_EQ(player_->BufferCount(3), 0);
  EXPECT_EQ(player_->GetMouseMode(), 2);
  EXPECT_EQ(player_->GetTalk(), 1);
  EXPECT_EQ(player_->GetFlip(), 2);
  EXPECT_EQ(player_->GetBufferTick(), 40);
  EXPECT_EQ(player_->GetBufferCount(), 3);
  // The record mark shows on an empty player.
  EXPECT_FALSE(NotAllBlack(player_->grab().toImage()));
  player_->RecordMark(1, 1);
  QImage marked = player_->grab().toImage();
  EXPECT_GT(qRed(marked.pixel(11, 11)), 150);
  player_->RecordMark(1, 0);
  EXPECT_FALSE(NotAllBlack(player_->grab().toImage()));
}

}  // namespace
