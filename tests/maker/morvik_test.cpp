// The playback control: parameter blocks, fed frames from another thread, a
// file played from a file source with the player's own buttons, the mouse,
// snapshots, and a player closed while frames still arrive.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

#include "common/temp_folder.h"
#include "common/wait_for.h"
#include "h264_clip.h"
#include "morvik/morvik.h"
#include "morvik/morvik_bar.h"
#include "morvik/morvik_media.h"

extern "C" {
#include <libavutil/base64.h>
}

namespace {

void PutU32(std::vector<BYTE>& block, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) block[at + i] = static_cast<BYTE>(value >> (8 * i));
}

constexpr int32_t kHeaderSize = INT32_MIN;  // the length word says the header's own size

std::vector<BYTE> VideoBlock(const char* codec, uint32_t width, uint32_t height, uint32_t fps,
                             const std::vector<BYTE>& header = {}, int32_t statedLength = kHeaderSize) {
  std::vector<BYTE> block(kMorvikVideoParamSize, 0);
  std::strncpy(reinterpret_cast<char*>(block.data()), codec, 255);
  PutU32(block, 256, width);
  PutU32(block, 260, height);
  PutU32(block, 268, fps);
  if (!header.empty()) std::memcpy(block.data() + 276, header.data(), std::min<size_t>(header.size(), 256));
  PutU32(block, 532, static_cast<uint32_t>(statedLength != kHeaderSize ? statedLength : static_cast<int32_t>(header.size())));
  return block;
}

std::vector<BYTE> AudioBlock(const char* codec, uint32_t rate, uint32_t channels) {
  std::vector<BYTE> block(kMorvikAudioParamSize, 0);
  std::strncpy(reinterpret_cast<char*>(block.data()), codec, 255);
  PutU32(block, 256, rate);
  PutU32(block, 260, 16);
  PutU32(block, 264, channels);
  PutU32(block, 268, 8);
  return block;
}

std::string Base64(const std::vector<BYTE>& block) {
  std::string text(AV_BASE64_SIZE(block.size()), '\0');
  av_base64_encode(text.data(), static_cast<int>(text.size()), block.data(), static_cast<int>(block.size()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

std::vector<BYTE> FrameHeader16(double ms) {
  std::vector<BYTE> header(16, 0);
  header[0] = 1;
  std::memcpy(header.data() + 8, &ms, sizeof(ms));
  return header;
}

// Differences between two grabs of the picture: moving parts of the test picture.
int DifferentPixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < std::min(a.height(), b.height()); y += 4) {
    for (int x = 0; x < std::min(a.width(), b.width()); x += 4) n += a.pixel(x, y) != b.pixel(x, y);
  }
  return n;
}

bool ShowsSomething(const QImage& image) {
  for (int y = 0; y < image.height(); y += 5) {
    for (int x = 0; x < image.width(); x += 5) {
      if (qGray(image.pixel(x, y)) > 40) return true;
    }
  }
  return false;
}

struct Event {
  LONG id, a, b, c;
  std::string text;
};

class EventLog : public IPlayBackEvents {
 public:
  LONG OnPlayerMouse(LONG ctrl, LONG message, LONG x, LONG y) override { return Add(ctrl, 1, message, x, y, ""); }
  LONG OnPlayerNotify(LONG ctrl, LONG code, const char* text) override { return Add(ctrl, 2, code, 0, 0, text); }
  LONG OnPlayerEvent3(LONG ctrl, LONG a, LONG b, LONG c) override { return Add(ctrl, 3, a, b, c, ""); }
  LONG OnPlayerCommand(LONG ctrl, LONG command, LONG value) override { return Add(ctrl, 4, command, value, 0, ""); }

  int Count(LONG id, LONG a) const {
    int n = 0;
    for (const Event& e : events) n += e.id == id && e.a == a;
    return n;
  }
  const Event* Last(LONG id, LONG a) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
      if (it->id == id && it->a == a) return &*it;
    }
    return nullptr;
  }
  std::vector<Event> events;
  LONG lastCtrl = 0;

 private:
  LONG Add(LONG ctrl, LONG id, LONG a, LONG b, LONG c, const char* text) {
    lastCtrl = ctrl;
    events.push_back(Event{id, a, b, c, text ? text : ""});
    return 0;
  }
};

// A record file as a list of frames in memory.
class MemorySource : public IMorvikFileSource {
 public:
  MemorySource(const H264Clip* clip, bool* opened) : clip_(clip), opened_(opened) {}
  bool Open(const std::string& path) override {
    if (path.find("missing") != std::string::npos) return false;
    if (opened_) *opened_ = true;
    return true;
  }
  void MediaInfo(std::vector<BYTE>* video, std::vector<BYTE>* audio) override {
    *video = VideoBlock("H264", clip_->width, clip_->height, clip_->frameRate);
    audio->clear();
  }
  int Seconds() override { return static_cast<int>(clip_->frames.size()) / clip_->frameRate; }
  bool SeekSecond(int second) override {
    const size_t at = static_cast<size_t>(second) * clip_->frameRate;
    if (second < 0 || at >= clip_->frames.size()) return false;
    next_ = at;
    return true;
  }
  int ReadFrame(BYTE* buffer, int capacity, int* isVideo, int* isKey) override {
    if (next_ >= clip_->frames.size()) return -2;
    const auto& frame = clip_->frames[next_];
    if (static_cast<int>(frame.size()) > capacity) return -3;
    std::memcpy(buffer, frame.data(), frame.size());
    *isVideo = 1;
    *isKey = clip_->keys[next_] ? 1 : 0;
    ++next_;
    return static_cast<int>(frame.size());
  }

 private:
  const H264Clip* clip_;
  bool* opened_;
  size_t next_ = 0;
};

class MorvikTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    clip_ = new H264Clip(MakeH264Clip(folder_->Path(), 3));
  }
  static void TearDownTestSuite() {
    Morvik_SetFileSourceFactory(nullptr);
    delete clip_;
    delete folder_;
  }

  void SetUp() override {
    ASSERT_FALSE(clip_->frames.empty()) << "ffmpeg made no clip";
    window_.resize(340, 280);
    player_ = new CPlayBackAtl(&window_, 10001);
    player_->setGeometry(0, 0, 320, 264);
    player_->Advise(&events_);
    window_.show();
    Morvik_SetFileSourceFactory([] { return std::make_unique<MemorySource>(clip_, nullptr); });
  }

  void SetUpFedVideo() {
    const std::string text = Base64(VideoBlock("H264", 320, 240, 25));
    ASSERT_EQ(player_->SetMediaParam(text.c_str(), kMorvikVideoParamSize, kMorvikMediaVideo), 0);
    ASSERT_EQ(player_->Play(), 0);
    ASSERT_EQ(player_->SetRunState(1), 0);
  }

  QImage PictureGrab() { return player_->grab(player_->PictureRect()).toImage(); }

  static TempFolder* folder_;
  static H264Clip* clip_;
  QWidget window_;
  CPlayBackAtl* player_ = nullptr;  // owned by window_
  EventLog events_;
};

TempFolder* MorvikTest::folder_ = nullptr;
H264Clip* MorvikTest::clip_ = nullptr;

TEST(MorvikMedia, ParameterBlocksKeepToTheirBytes) {
  struct Case {
    const char* name;
    size_t blockSize;      // bytes handed over
    int32_t stated;        // the block's own header length word
    bool ok;
    size_t header;         // header bytes taken
  };
  const Case cases[] = {
      {"whole block", 536, 40, true, 40},
      {"length past the field", 536, 1000, true, 256},
      {"negative length", 536, -7, true, 0},
      {"block cut before the length", 400, 40, true, 0},
      {"only the fixed fields", 276, 40, true, 0},
      {"too short", 275, 40, false, 0},
  };
  std::vector<BYTE> header(256, 0x5A);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<BYTE> block = VideoBlock("H264", 704, 576, 25, header, c.stated);
    morvikmedia::VideoFormat format;
    EXPECT_EQ(morvikmedia::ReadVideoParam(block.data(), c.blockSize, &format), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(format.codec, "H264");
    EXPECT_EQ(format.width, 704u);
    EXPECT_EQ(format.frameRate, 25u);
    EXPECT_EQ(format.header.size(), c.header);
  }
  morvikmedia::VideoFormat format;
  std::vector<BYTE> nameless = VideoBlock("", 704, 576, 25);
  EXPECT_FALSE(morvikmedia::ReadVideoParam(nameless.data(), nameless.size(), &format));

  // Texts: line breaks are skipped; the size given caps the bytes (an NVR's
  // 716 characters give 537 by its count, 536 decode).
  const std::string text = Base64(VideoBlock("MP4V", 352, 288, 25));
  std::vector<BYTE> bytes;
  ASSERT_TRUE(morvikmedia::DecodeParamText((text.substr(0, 100) + "\r\n" + text.substr(100)).c_str(), 537, &bytes));
  EXPECT_EQ(bytes.size(), 536u);
  ASSERT_TRUE(morvikmedia::DecodeParamText(text.c_str(), 300, &bytes));
  EXPECT_EQ(bytes.size(), 300u);
  EXPECT_FALSE(morvikmedia::DecodeParamText("", 536, &bytes));
  EXPECT_FALSE(morvikmedia::DecodeParamText("!!!!", 536, &bytes));
  EXPECT_FALSE(morvikmedia::DecodeParamText(nullptr, 536, &bytes));

  AudioParamBlock audio;
  morvikmedia::AudioFormat aac{"AAC", 16000, 16, 1};
  ASSERT_TRUE(morvikmedia::ToDecoderBlock(aac, &audio));
  EXPECT_EQ(audio.byExtraSize, 2);
  EXPECT_EQ(audio.byExtra[0], 0x14);  // object type 2, frequency index 8, one channel
  EXPECT_EQ(audio.byExtra[1], 0x08);
  EXPECT_FALSE(morvikmedia::ToDecoderBlock(morvikmedia::AudioFormat{"AAC", 12345, 16, 1}, &audio));
  EXPECT_TRUE(morvikmedia::ToDecoderBlock(morvikmedia::AudioFormat{"G711", 8000, 16, 1}, &audio));
  EXPECT_EQ(audio.wCodec, kAudioCodecPcma);
  // G.711's law behind the name: 'U' is mu-law, anything else A-law.
  for (const char law : {'U', 'A', '\0'}) {
    std::vector<uint8_t> block(276, 0);
    std::memcpy(block.data(), "G711", 4);
    block[5] = static_cast<uint8_t>(law);
    block[256] = 0x40;  // 8000 Hz
    block[257] = 0x1F;
    block[264] = 1;
    morvikmedia::AudioFormat g711;
    ASSERT_TRUE(morvikmedia::ReadAudioParam(block.data(), block.size(), &g711));
    EXPECT_EQ(g711.codec, "G711");
    ASSERT_TRUE(morvikmedia::ToDecoderBlock(g711, &audio));
    EXPECT_EQ(audio.wCodec, law == 'U' ? kAudioCodecPcmu : kAudioCodecPcma) << law;
  }
}

TEST_F(MorvikTest, RefusesWhatItCannotDecode) {
  const std::string nameless = Base64(VideoBlock("", 320, 240, 25));
  const std::string unknown = Base64(VideoBlock("H265", 320, 240, 25));
  EXPECT_EQ(player_->SetMediaParam(nameless.c_str(), 536, kMorvikMediaVideo), -1);
  EXPECT_EQ(player_->SetMediaParam(unknown.c_str(), 536, kMorvikMediaVideo), -1);
  EXPECT_EQ(player_->SetMediaParam("", 536, kMorvikMediaVideo), -1);
  EXPECT_EQ(player_->SetMediaParam(Base64(VideoBlock("H264", 320, 240, 25)).c_str(), 536, 2), -1);
  EXPECT_EQ(player_->GetSetupState(kMorvikSetupVideo), 0);
  const BYTE frame[8] = {0, 0, 0, 1, 0x65, 1, 2, 3};
  EXPECT_EQ(player_->InputVideo(frame, 8, nullptr, 0), -1);  // no decoder yet
  EXPECT_EQ(player_->OpenFile("missing.avi"), -1);
  EXPECT_EQ(player_->IsPlaying(), 0);
}

TEST_F(MorvikTest, FedFramesFromAnotherThreadArePlayed) {
  SetUpFedVideo();
  EXPECT_EQ(player_->GetSetupState(kMorvikSetupVideo), 1);
  EXPECT_EQ(player_->GetSetupState(kMorvikSetupAudio), 0);
  EXPECT_EQ(player_->GetSetupState(kMorvikSetupStart), -1);
  EXPECT_EQ(player_->SetPlaySeconds(kMorvikPieceLength, 600), 0);
  EXPECT_EQ(player_->SetPlaySeconds(kMorvikStartPosition, 125), 0);
  EXPECT_EQ(player_->GetSetupState(kMorvikSetupStart), 125);
  const std::string audio = Base64(AudioBlock("G711", 8000, 1));
  EXPECT_EQ(player_->SetMediaParam(audio.c_str(), kMorvikAudioParamSize, kMorvikMediaAudio), 0);
  EXPECT_EQ(player_->GetSetupState(kMorvikSetupAudio), 1);
  EXPECT_EQ(player_->IsPlaying(), 1);

  // The first half of the clip, stamped from 125 s on in the piece.
  std::shared_ptr<MorvikEngine> engine = player_->Engine();
  const size_t half = clip_->frames.size() / 2;
  std::thread feeder([&] {
    for (size_t i = 0; i < half; ++i) {
      const auto header = FrameHeader16(125000.0 + i * 40.0);
      engine->InputVideo(clip_->frames[i].data(), static_cast<LONG>(clip_->frames[i].size()), header.data(), 16);
      const std::vector<BYTE> alaw(160, 0xD5);
      engine->InputAudio(alaw.data(), 160, header.data(), 16);
    }
  });
  feeder.join();
  ASSERT_TRUE(WaitFor([&] { return player_->HasPicture() && events_.Count(2, kMorvikNotifyPosition) >= 2; }));
  const QImage first = PictureGrab();
  EXPECT_TRUE(ShowsSomething(first));
  EXPECT_EQ(player_->LastPicture().size(), QSize(320, 240));
  EXPECT_EQ(events_.lastCtrl, 10001);
  EXPECT_EQ(events_.events.front().id, 3);  // play state: playing, normal speed
  EXPECT_EQ(events_.Last(2, kMorvikNotifyPosition)->text,
            std::to_string(static_cast<int>((125000.0 + (half - 1) * 40.0) / 1000)));
  EXPECT_EQ(player_->Bar()->Range(), 600);

  std::thread rest([&] {
    for (size_t i = half; i < clip_->frames.size(); ++i) {
      const auto header = FrameHeader16(125000.0 + i * 40.0);
      engine->InputVideo(clip_->frames[i].data(), static_cast<LONG>(clip_->frames[i].size()), header.data(), 16);
    }
  });
  rest.join();
  ASSERT_TRUE(WaitFor([&] { return DifferentPixels(first, PictureGrab()) > 20; }));

  // A fed stream's pause and stop are only reported: the source does them.
  player_->Bar()->Press(kMorvikCmdStop);
  ASSERT_TRUE(WaitFor([&] { return events_.Count(4, kMorvikCmdStop) == 1; }));
  EXPECT_EQ(player_->IsPlaying(), 1);
  EXPECT_EQ(player_->Stop(), 0);
  EXPECT_EQ(player_->IsPlaying(), 0);
  EXPECT_FALSE(player_->HasPicture());
  EXPECT_TRUE(WaitFor([&] { return player_->Bar()->Position() == 0 && player_->Bar()->Range() == 0; }));
  EXPECT_EQ(player_->GetSetupState(kMorvikSetupVideo), 0);
  EXPECT_EQ(player_->GetSetupState(kMorvikSetupStart), -1);
  // Stopped: new parameters may be set.
  EXPECT_EQ(player_->SetMediaParam(Base64(VideoBlock("H264", 320, 240, 25)).c_str(), 536, 0), 0);
}

TEST_F(MorvikTest, PlaysAFileWithItsOwnButtons) {
  ASSERT_EQ(player_->OpenFile("D:\\Record\\cam\\080000-vv1.avi"), 0);
  EXPECT_EQ(player_->IsPlaying(), 1);
  EXPECT_EQ(player_->Engine()->GetPieceLength(), 3);
  ASSERT_TRUE(WaitFor([&] { return player_->HasPicture() && events_.Count(2, kMorvikNotifyPosition) >= 1; }));
  EXPECT_EQ(player_->SetMediaParam(Base64(VideoBlock("H264", 320, 240, 25)).c_str(), 536, 0), -1);  // a file plays

  // Pause holds the position; continue goes on.
  player_->Bar()->Press(kMorvikCmdPause);
  ASSERT_TRUE(WaitFor([&] { return events_.Count(4, kMorvikCmdPause) == 1; }));
  EXPECT_TRUE(player_->Engine()->IsPaused());
  const size_t notices = events_.events.size();
  WaitFor([] { return false; }, 400);
  int later = 0;
  for (size_t i = notices; i < events_.events.size(); ++i) later += events_.events[i].id == 2;
  EXPECT_EQ(later, 0);
  player_->Bar()->Press(kMorvikCmdContinue);
  EXPECT_FALSE(player_->Engine()->IsPaused());

  // Fast: each press doubles the factor; normal goes back.
  // The normal-speed button shows the speed that plays.
  player_->Bar()->Press(kMorvikCmdFast);
  player_->Bar()->Press(kMorvikCmdFast);
  EXPECT_EQ(player_->Engine()->GetSpeed(), 4);
  EXPECT_TRUE(WaitFor([&] { return player_->Bar()->SpeedText() == "4x"; }));
  player_->Bar()->Press(kMorvikCmdSlow);
  EXPECT_EQ(player_->Engine()->GetSpeed(), -2);
  EXPECT_TRUE(WaitFor([&] { return player_->Bar()->SpeedText() == "1/2x"; }));
  player_->Bar()->Press(kMorvikCmdNormal);
  EXPECT_EQ(player_->Engine()->GetSpeed(), 1);
  EXPECT_TRUE(WaitFor([&] { return player_->Bar()->SpeedText() == "1x"; }));
  ASSERT_TRUE(WaitFor([&] { return events_.Count(4, kMorvikCmdFast) == 2; }));
  EXPECT_EQ(events_.Last(4, kMorvikCmdFast)->b, 4);
  EXPECT_EQ(events_.Last(4, kMorvikCmdSlow)->b, 2);

  // A seek to the last second, then the end of the piece.
  player_->Engine()->Command(kMorvikCmdSeek, 2);
  ASSERT_TRUE(WaitFor([&] { return events_.Count(2, kMorvikNotifyPieceEnd) == 1; }, 10000));
  EXPECT_EQ(player_->IsPlaying(), 0);
  EXPECT_EQ(events_.Last(4, kMorvikCmdSeek)->b, 2);
  EXPECT_EQ(events_.Last(2, kMorvikNotifyPosition)->text, "3");
  EXPECT_TRUE(player_->HasPicture());  // the last picture stays until stopped
  EXPECT_TRUE(WaitFor([&] { return player_->Bar()->TimeText() == "00:03 / 00:03"; })) << player_->Bar()->TimeText().toStdString();

  // Stop from the bar stops a file at once.
  ASSERT_EQ(player_->OpenFile("D:\\Record\\cam\\090000-vv1.avi"), 0);
  EXPECT_EQ(player_->SetPlaySeconds(kMorvikStartPosition, 1), 0);
  ASSERT_TRUE(WaitFor([&] { return player_->Bar()->Position() >= 1; }));
  player_->Bar()->Press(kMorvikCmdFast);
  player_->Bar()->Press(kMorvikCmdStop);
  EXPECT_EQ(player_->IsPlaying(), 0);
  EXPECT_FALSE(player_->HasPicture());
  // Stopped: the knob goes back, no time is shown and the speed is normal.
  EXPECT_TRUE(WaitFor([&] { return player_->Bar()->Position() == 0 && player_->Bar()->Range() == 0; }));
  EXPECT_EQ(player_->Bar()->TimeText(), "00:00 / 00:00");
  EXPECT_EQ(player_->Bar()->SpeedText(), "1x");
}

// The bar's speed steps belong to the replay they were pressed in: the first
// fast or slow press of the next replay asks for a factor of 2 again, however
// that replay started (a fed stream stopped and set up anew, a file ended or
// replaced by another).
TEST_F(MorvikTest, EveryNewReplayStartsAtNormalSpeed) {
  struct Case {
    const char* name;
    std::function<void()> start;
  } cases[] = {
      {"a fed stream after a stop", [&] { player_->Stop(); SetUpFedVideo(); }},
      {"a file after a fed stream", [&] { player_->Stop(); ASSERT_EQ(player_->OpenFile("D:\\a.avi"), 0); }},
      {"a file opened over a file", [&] { ASSERT_EQ(player_->OpenFile("D:\\b.avi"), 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (LONG command : {kMorvikCmdFast, kMorvikCmdSlow}) {
      player_->Bar()->Press(command);
      player_->Bar()->Press(command);
      ASSERT_EQ(player_->Engine()->GetSpeed(), command == kMorvikCmdFast ? 4 : -4);
      c.start();
      EXPECT_EQ(player_->Engine()->GetSpeed(), 1);
      player_->Bar()->Press(command);
      EXPECT_EQ(player_->Engine()->GetSpeed(), command == kMorvikCmdFast ? 2 : -2);
    }
  }
}

TEST_F(MorvikTest, MouseZoomAndSnapshots) {
  SetUpFedVideo();
  const auto header = FrameHeader16(0);
  for (size_t i = 0; i < 5; ++i) {
    player_->InputVideo(clip_->frames[i].data(), static_cast<LONG>(clip_->frames[i].size()), header.data(), 16);
  }
  ASSERT_TRUE(WaitFor([&] { return player_->HasPicture(); }));
  const QImage whole = PictureGrab();

  const QPoint at(80, 60);
  auto click = [&](QEvent::Type type) {
    QMouseEvent press(QEvent::MouseButtonPress, at, player_->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent event(type, at, player_->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(player_, &press);
    QApplication::sendEvent(player_, &event);
  };
  click(QEvent::MouseButtonRelease);
  ASSERT_NE(events_.Last(1, kMorvikWmLButtonUp), nullptr);
  EXPECT_EQ(events_.Last(1, kMorvikWmLButtonUp)->b, 80);
  EXPECT_EQ(events_.Last(1, kMorvikWmLButtonUp)->c, 60);
  EXPECT_EQ(player_->GetViewState(), 0);

  EXPECT_EQ(player_->SetMouseMode(kMorvikMouseZoomIn), 0);
  click(QEvent::MouseButtonRelease);
  EXPECT_EQ(player_->GetViewState(), 1);
  EXPECT_GT(DifferentPixels(whole, PictureGrab()), 20);
  EXPECT_EQ(player_->SetMouseMode(kMorvikMouseZoomOut), 0);
  click(QEvent::MouseButtonRelease);
  EXPECT_EQ(player_->GetViewState(), 0);
  EXPECT_EQ(player_->SetMouseMode(7), -1);
  click(QEvent::MouseButtonDblClick);
  EXPECT_NE(events_.Last(1, kMorvikWmLButtonDblClk), nullptr);

  TempFolder snaps;
  player_->SelectSnapKind(0);
  EXPECT_EQ(player_->SetSnapPath(0, QDir::toNativeSeparators(QString::fromStdString(snaps.Path())).toStdString().c_str()), 0);
  const std::string written = player_->Snapshot();
  ASSERT_FALSE(written.empty());
  const QStringList files = QDir(QString::fromStdString(snaps.Path())).entryList({"*.bmp"});
  ASSERT_EQ(files.size(), 1);
  EXPECT_EQ(QImage(QString::fromStdString(snaps.Path()) + files[0]).size(), QSize(320, 240));
}

TEST_F(MorvikTest, ClosedWhileFramesArriveNothingMoreHappens) {
  SetUpFedVideo();
  std::shared_ptr<MorvikEngine> engine = player_->Engine();
  std::atomic<bool> closed{false};
  std::atomic<int> refusedAfterClose{0};
  std::atomic<int> acceptedAfterClose{0};
  // Feeds round after round until the window has been gone for 20 frames.
  std::thread feeder([&] {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (size_t n = 0; std::chrono::steady_clock::now() < limit; ++n) {
      const size_t i = n % clip_->frames.size();
      const bool after = closed.load();
      const auto header = FrameHeader16(i * 40.0);
      const LONG result =
          engine->InputVideo(clip_->frames[i].data(), static_cast<LONG>(clip_->frames[i].size()), header.data(), 16);
      if (after) ++(result == -1 ? refusedAfterClose : acceptedAfterClose);
      if (after && refusedAfterClose > 20) return;
    }
  });
  ASSERT_TRUE(WaitFor([&] { return player_->HasPicture(); }));
  delete player_;
  player_ = nullptr;
  closed = true;
  const size_t eventsAtClose = events_.events.size();
  feeder.join();
  WaitFor([] { return false; }, 200);  // anything still queued would arrive now
  EXPECT_EQ(events_.events.size(), eventsAtClose);
  EXPECT_GT(refusedAfterClose.load(), 0);
  EXPECT_EQ(acceptedAfterClose.load(), 0);
  EXPECT_FALSE(engine->HasPicture());
  EXPECT_EQ(engine->Play(), -1);
  EXPECT_EQ(engine->IsPlaying(), 0);
}

}  // namespace
