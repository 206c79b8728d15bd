// The page's players: a record file played through the record-file reader,
// and frames fed from other threads - relay files, NVR days - also while the
// page lets its players go.
#include <gtest/gtest.h>

#include <QImage>
#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>

#include "common/temp_folder.h"
#include "common/wait_for.h"
#include "h264_clip.h"
#include "maker/morvik/morvik.h"
#include "maker/morvik/morvik_bar.h"
#include "platform/string_table.h"
#include "records/playback/rec_file_source.h"
#include "records/playback/replay_media.h"
#include "records/recfile/rec_file_fixture.h"
#include "records/search/search_rec_dlg.h"

namespace {

int DifferentPixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < std::min(a.height(), b.height()); y += 4) {
    for (int x = 0; x < std::min(a.width(), b.width()); x += 4) n += a.pixel(x, y) != b.pixel(x, y);
  }
  return n;
}

VideoParam H264Block(const H264Clip& clip) {
  VideoParam video{};
  std::strcpy(video.szCodec, "H264");
  video.dwWidth = static_cast<uint32_t>(clip.width);
  video.dwHeight = static_cast<uint32_t>(clip.height);
  video.dwFrameRate = static_cast<uint32_t>(clip.frameRate);
  video.nCodecHeaderLen = 100000;  // a peer's length word far past the block
  return video;
}

class Events : public IPlayBackEvents {
 public:
  LONG OnPlayerMouse(LONG, LONG, LONG, LONG) override { return 0; }
  LONG OnPlayerNotify(LONG, LONG code, const char* text) override {
    if (code == kMorvikNotifyPosition) positions.push_back(std::atoi(text));
    if (code == kMorvikNotifyPieceEnd) ++ends;
    return 0;
  }
  LONG OnPlayerEvent3(LONG, LONG, LONG, LONG) override { return 0; }
  LONG OnPlayerCommand(LONG, LONG command, LONG value) override {
    commands.emplace_back(command, value);
    return 0;
  }
  std::vector<int> positions;
  std::vector<std::pair<LONG, LONG>> commands;
  int ends = 0;
};

class PlayerFeedTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    clip_ = new H264Clip(MakeH264Clip(folder_->Path(), 3));
  }
  static void TearDownTestSuite() {
    delete clip_;
    delete folder_;
  }
  void SetUp() override {
    ASSERT_FALSE(clip_->frames.empty()) << "ffmpeg made no clip";
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  }

  static TempFolder* folder_;
  static H264Clip* clip_;
};

TempFolder* PlayerFeedTest::folder_ = nullptr;
H264Clip* PlayerFeedTest::clip_ = nullptr;

TEST_F(PlayerFeedTest, ARecordFilePlaysThroughTheReader) {
  // A record file in the recorder's layout holding the clip, one key frame a second.
  RecFileFixture file(1);
  file.width = static_cast<uint32_t>(clip_->width);
  file.height = static_cast<uint32_t>(clip_->height);
  for (size_t i = 0; i < clip_->frames.size(); ++i) file.AddVideo(clip_->frames[i], clip_->keys[i]);
  const std::string path = folder_->File("080000-vv1.avi");
  file.Write(path);

  Morvik_SetFileSourceFactory(MakeRecFileSource);
  QWidget window;
  window.resize(340, 300);
  auto* player = new CPlayBackAtl(&window, 10000);
  player->setGeometry(0, 0, 320, 264);
  Events events;
  player->Advise(&events);
  window.show();

  ASSERT_EQ(player->OpenFile(path.c_str()), 0);
  EXPECT_EQ(player->Engine()->GetPieceLength(), 3);
  ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); }));
  const QImage first = player->grab(player->PictureRect()).toImage();
  ASSERT_TRUE(WaitFor([&] { return DifferentPixels(first, player->grab(player->PictureRect()).toImage()) > 20; }));

  // Paused, the picture stays; a seek to the last second plays to the end.
  player->Bar()->Press(kMorvikCmdPause);
  WaitFor([] { return false; }, 200);
  const QImage paused = player->grab(player->PictureRect()).toImage();
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(DifferentPixels(paused, player->grab(player->PictureRect()).toImage()), 0);
  player->Engine()->Command(kMorvikCmdSeek, 2);
  player->Bar()->Press(kMorvikCmdContinue);
  ASSERT_TRUE(WaitFor([&] { return events.ends == 1; }, 10000));
  EXPECT_EQ(player->IsPlaying(), 0);
  ASSERT_FALSE(events.positions.empty());
  EXPECT_EQ(events.positions.back(), 3);
  const std::vector<std::pair<LONG, LONG>> expected = {{kMorvikCmdPause, 0}, {kMorvikCmdSeek, 2}, {kMorvikCmdContinue, 0}};
  EXPECT_EQ(events.commands, expected);
  // A file the reader refuses does not play.
  const std::string broken = folder_->File("broken.avi");
  RecFileFixture bad(3);
  bad.Write(broken);
  EXPECT_EQ(player->OpenFile(broken.c_str()), -1);
  EXPECT_EQ(player->IsPlaying(), 0);
  Morvik_SetFileSourceFactory(nullptr);
}

TEST_F(PlayerFeedTest, RelayFramesFromAnotherThreadWhileThePlayersGo) {
  QWidget main;
  auto* page = new CSearchRecDlg(&main);
  ASSERT_TRUE(page->Create(CSearchRecDlg::IDD, &main));
  main.resize(1024, 768);
  page->setGeometry(0, 0, 1024, 768);
  page->show();
  main.show();

  // A relay file starts: the selected player (0) takes it.
  const VideoParam video = H264Block(*clip_);
  RelayReplaySession session;
  std::strcpy(session.szDevKey, "00-11-22-33-44-55:10.0.0.7");
  page->OnReplayMediaParam(&video, nullptr, 3, "rec1.avi", &session, 5);
  CPlayBackAtl* player = page->GetPlayer(0);
  ASSERT_EQ(player->IsPlaying(), 1);
  EXPECT_EQ(player->GetSetupState(kMorvikSetupVideo), 1);
  EXPECT_EQ(player->GetSetupState(kMorvikSetupAudio), 0);
  EXPECT_EQ(player->Engine()->GetPlayOption(kMorvikOptionReplay), 0);

  std::atomic<bool> released{false};
  std::atomic<int> afterRelease{0};
  std::thread relay([&] {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (size_t n = 0; std::chrono::steady_clock::now() < limit; ++n) {
      const size_t i = n % clip_->frames.size();
      RelayFrameInfo info;
      info.dTime = static_cast<double>(i) * 40;
      const bool after = released.load();
      page->InputReplayData(0, clip_->frames[i].data(), static_cast<long>(clip_->frames[i].size()), &info, "rec1.avi");
      page->InputReplayData(0, clip_->frames[i].data(), static_cast<long>(clip_->frames[i].size()), &info, "other.avi");
      if (after && ++afterRelease > 50) return;
    }
  });
  ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); }));
  EXPECT_FALSE(page->GetPlayer(1)->HasPicture());  // another file's frames go nowhere
  // A piece-finished notice of a player that shows a relay file changes nothing:
  // the relay says when its file is over.
  page->OnPlayerNotify(CSearchRecDlg::kFirstPlayerId, kMorvikNotifyPieceEnd, "");
  EXPECT_EQ(player->IsPlaying(), 1);
  std::shared_ptr<MorvikEngine> engine = player->Engine();
  page->ReleasePlayers();
  released = true;
  relay.join();
  EXPECT_EQ(page->GetPlayer(0), nullptr);
  EXPECT_FALSE(engine->HasPicture());
  EXPECT_EQ(engine->IsPlaying(), 0);

  // All players gone: a relay answer for which no player is free is stopped,
  // and nothing plays.
  page->OnReplayMediaParam(&video, nullptr, 3, "rec2.avi", &session, 5);
  for (int p = 0; p < CSearchRecDlg::kPlayers; ++p) EXPECT_EQ(page->GetPlayerRow(p), -1);
}

TEST_F(PlayerFeedTest, NvrDaysAreSetUpWithoutWaitingForTheWindow) {
  QWidget main;
  auto* page = new CSearchRecDlg(&main);
  ASSERT_TRUE(page->Create(CSearchRecDlg::IDD, &main));
  page->setGeometry(0, 0, 1024, 768);
  page->MapNvrPlayer(7, 1);
  CPlayBackAtl* player = page->GetPlayer(1);

  const VideoParam video = H264Block(*clip_);
  const std::string text = "<REPLAY_PARAM VideoParam=\"" + replaymedia::ParamText(&video, sizeof(video)) +
                           "\" AudioParam=\"\" VideoSeconds=\"600\" />";
  // The device-messaging thread sets the player up while the window thread
  // waits for it: nothing of it may need the window thread.
  std::thread messaging([&] { page->OnMediaParamRecv(7, text, 4); });
  std::future<void> joined = std::async(std::launch::async, [&] { messaging.join(); });
  ASSERT_EQ(joined.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  EXPECT_EQ(player->IsPlaying(), 1);
  EXPECT_EQ(player->GetSetupState(kMorvikSetupVideo), 1);
  EXPECT_EQ(player->Engine()->GetPieceLength(), 600);

  // Day frames stamped from 10:02:05.4 on: the player is told where in the
  // 10-minute piece they lie. Packets without their 20-byte prefix are dropped.
  std::thread frames([&] {
    for (size_t i = 0; i < clip_->frames.size(); ++i) {
      std::vector<BYTE> packet(20, 0);
      packet[14] = replaymedia::kNvrDayVideo;
      packet.insert(packet.end(), clip_->frames[i].begin(), clip_->frames[i].end());
      BYTE header[16] = {};
      replaymedia::SetHeaderTimeMs(header, 36125400.0 + static_cast<double>(i) * 40);
      page->OnMediaDataRecv(7, packet.data(), static_cast<LONG>(packet.size()), header);
      page->OnMediaDataRecv(7, packet.data(), 19, header);
      page->OnMediaDataRecv(8, packet.data(), static_cast<LONG>(packet.size()), header);  // no player for it
    }
  });
  frames.join();
  EXPECT_EQ(player->GetSetupState(kMorvikSetupStart), 0);  // set with the parameters
  ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); }));
  EXPECT_FALSE(page->GetPlayer(0)->HasPicture());
  EXPECT_EQ(player->Engine()->GetPosition(), static_cast<LONG>((125400 + (clip_->frames.size() - 1) * 40) / 1000));

  // Parameters arriving again for a player that is set up change nothing.
  page->OnMediaParamRecv(7, text, 4);
  EXPECT_TRUE(player->HasPicture());
  // An NVR file's parameters set the player up with the text's own size.
  page->OnMediaParamRecv(7, text, 1);
  EXPECT_EQ(player->GetSetupState(kMorvikSetupVideo), 1);
  EXPECT_EQ(player->Engine()->GetPieceLength(), 600);
  EXPECT_EQ(player->GetSetupState(kMorvikSetupStart), 0);
}

}  // namespace
