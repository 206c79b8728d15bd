// NVR recordings played on the record search page: the fake NVR streams a
// recorder-made file, or a channel's day from the second clicked, through the
// device-messaging control, and the frames reach the page's players; the
// players' bars steer the NVR.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "common/wait_for.h"
#include "core/module_path.h"
#include "maker/morvik/morvik.h"
#include "maker/morvik/morvik_bar.h"
#include "nvr_page_fixture.h"
#include "records/playback/play_back_toll_bar.h"
#include "ui/sort_list_ctrl.h"

namespace {

class NvrReplayTest : public NvrPageTest {
 protected:
  void PlayRow(int row) {
    page_->GetResultList()->SetAllItemStates(RLS_SELECTED, RLS_UNSELECTED);
    page_->GetResultList()->SetItemStates(row, RLS_SELECTED);
    page_->OnDblClkResultList();
  }
  std::string PlayCell(int row) { return page_->GetResultList()->GetItemText(row, 3); }
  // A button of a player's bar (or a seek, with its second): the player reports
  // it to the page through its event, and the page steers the NVR. The NVR's
  // record of what reached it.
  std::string Steer(CPlayBackAtl* player, LONG command, LONG second = 0) {
    if (command == kMorvikCmdSeek) {
      player->Engine()->Command(command, second);
    } else {
      player->Bar()->Press(command);
    }
    QCoreApplication::processEvents();
    return device_->Take("REPLAY_FILE_CONTROL");
  }
};

TEST_F(NvrReplayTest, AnNvrFilePlaysItsFramesOnAPlayerUntilTheNvrEndsIt) {
  const std::string file = Record(1, "Schedule", 8, 0, 0, 4, true);
  ASSERT_TRUE(SearchNvr(ch1_, 1));
  ASSERT_EQ(page_->GetResultList()->GetItemText(0, 0), file);
  PlayRow(0);
  EXPECT_EQ(device_->Take("REPLAY_FILE "), "REPLAY_FILE " + file);
  CPlayBackAtl* player = page_->GetPlayer(0);
  ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); }));
  EXPECT_EQ(page_->NvrPlayerOf(id_), 0);
  EXPECT_EQ(page_->GetPlayerRow(0), 0);
  EXPECT_EQ(player->Engine()->GetPieceLength(), 4);  // the file's length in seconds
  EXPECT_GT(player->Engine()->GetSetupState(kMorvikSetupAudio), 0);
  ASSERT_TRUE(WaitFor([&] { return PlayCell(0) == "Window1:Playing..."; }));
  const QImage picture = player->LastPicture();
  EXPECT_GT(picture.width(), 0);

  // The NVR ends the replay after the file's last frame.
  ASSERT_TRUE(WaitFor([&] { return page_->NvrPlayerOf(id_) == -1; }));
  EXPECT_FALSE(player->IsPlaying());
  EXPECT_EQ(PlayCell(0), "");
}

TEST_F(NvrReplayTest, AnotherFileOfTheSameNvrMovesItsReplayAndTheOldStopIsIgnored) {
  Record(1, "Schedule", 8, 0, 0, 30);
  const std::string second = Record(1, "Schedule", 9, 0, 0, 30);
  ASSERT_TRUE(SearchNvr(ch1_));
  PlayRow(0);
  EXPECT_FALSE(device_->Take("REPLAY_FILE ").empty());
  ASSERT_TRUE(WaitFor([&] { return page_->GetPlayer(0)->HasPicture(); }));
  ASSERT_TRUE(WaitFor([&] { return PlayCell(0) == "Window1:Playing..."; }));

  // The user selects pane 3 and plays the second file there.
  page_->OnPlayerMouse(CSearchRecDlg::kFirstPlayerId + 2, kMorvikWmLButtonUp, 5, 5);
  ASSERT_EQ(page_->GetCurWnd(), 2);
  PlayRow(1);
  // The old replay's end and the new replay's parameters both arrive before
  // the page's thread looks: they are taken in the order they came.
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  EXPECT_EQ(device_->Take("REPLAY_FILE_CONTROL"), "REPLAY_FILE_CONTROL 7 0");
  EXPECT_EQ(device_->Take("REPLAY_FILE "), "REPLAY_FILE " + second);
  EXPECT_FALSE(page_->GetPlayer(0)->IsPlaying());
  EXPECT_EQ(PlayCell(0), "");
  EXPECT_EQ(page_->GetPlayerRow(0), -1);
  ASSERT_TRUE(WaitFor([&] { return page_->GetPlayer(2)->HasPicture(); }));
  // The old replay's end came meanwhile and did not stop the new one.
  EXPECT_EQ(page_->NvrPlayerOf(id_), 2);
  EXPECT_FALSE(page_->IsNvrSwitching());
  EXPECT_TRUE(page_->GetPlayer(2)->IsPlaying());
}

// The player's bar steers an NVR file at the NVR, which paces what it streams:
// the frames that come show the new speed, the pause and the seek.
TEST_F(NvrReplayTest, PauseSpeedsAndSeeksOfAnNvrFileReachTheNvrAndThePictureFollows) {
  const std::string file = Record(1, "Schedule", 8, 0, 0, 40);
  ASSERT_TRUE(SearchNvr(ch1_));
  PlayRow(0);
  EXPECT_EQ(device_->Take("REPLAY_FILE "), "REPLAY_FILE " + file);
  CPlayBackAtl* player = page_->GetPlayer(0);
  const std::shared_ptr<MorvikEngine> engine = player->Engine();
  ASSERT_TRUE(WaitFor([&] { return engine->GetPosition() >= 1; }));

  // Fast by 2, then 4: eight seconds of the file come in less time than that.
  EXPECT_EQ(Steer(player, kMorvikCmdFast), "REPLAY_FILE_CONTROL 8 2");
  EXPECT_EQ(Steer(player, kMorvikCmdFast), "REPLAY_FILE_CONTROL 8 4");
  const auto fastFrom = std::chrono::steady_clock::now();
  const int fastAt = engine->GetPosition();
  ASSERT_TRUE(WaitFor([&] { return engine->GetPosition() >= fastAt + 8; }));
  EXPECT_LT(std::chrono::steady_clock::now() - fastFrom, std::chrono::seconds(7));
  EXPECT_EQ(Steer(player, kMorvikCmdNormal), "REPLAY_FILE_CONTROL 12 0");

  // Pause: the NVR holds the stream, and it goes on from where it stood.
  EXPECT_EQ(Steer(player, kMorvikCmdPause), "REPLAY_FILE_CONTROL 2 0");
  WaitFor([] { return false; }, 300);  // what was on its way lands
  const int pausedAt = engine->GetPosition();
  WaitFor([] { return false; }, 3000);
  EXPECT_LE(engine->GetPosition(), pausedAt + 1);
  EXPECT_EQ(Steer(player, kMorvikCmdContinue), "REPLAY_FILE_CONTROL 1 0");
  ASSERT_TRUE(WaitFor([&] { return engine->GetPosition() > pausedAt; }));
  EXPECT_LE(engine->GetPosition(), pausedAt + 2);

  // A seek back to second 2 of the file.
  ASSERT_GT(engine->GetPosition(), 4);
  EXPECT_EQ(Steer(player, kMorvikCmdSeek, 2), "REPLAY_FILE_CONTROL 9 2");
  ASSERT_TRUE(WaitFor([&] { return engine->GetPosition() <= 3; }));
  ASSERT_TRUE(WaitFor([&] { return engine->GetPosition() >= 4; }));  // and plays on

  // Next and previous have no piece to go to in a file: nothing reaches the
  // NVR (its 7 is the stop). The player's stop ends the replay.
  player->Bar()->Press(kMorvikCmdNext);
  player->Bar()->Press(kMorvikCmdPrev);
  WaitFor([] { return false; }, 300);  // both reach the page
  EXPECT_EQ(device_->Command("count REPLAY_FILE_CONTROL"), "OK 0");
  EXPECT_EQ(page_->NvrPlayerOf(id_), 0);
  EXPECT_EQ(Steer(player, kMorvikCmdStop), "REPLAY_FILE_CONTROL 7 0");
  EXPECT_EQ(page_->NvrPlayerOf(id_), -1);
  EXPECT_FALSE(player->IsPlaying());
  EXPECT_EQ(PlayCell(0), "");
}

// The speed of one replay is not the next one's: after a file played at 4x,
// the first fast press of the next replay on that player asks for 2x.
TEST_F(NvrReplayTest, ANewReplayStartsAtNormalSpeed) {
  Record(1, "Schedule", 8, 0, 0, 4);
  Record(1, "Schedule", 9, 0, 0, 30);
  ASSERT_TRUE(SearchNvr(ch1_));
  PlayRow(0);
  CPlayBackAtl* player = page_->GetPlayer(0);
  ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); }));
  EXPECT_EQ(Steer(player, kMorvikCmdFast), "REPLAY_FILE_CONTROL 8 2");
  EXPECT_EQ(Steer(player, kMorvikCmdFast), "REPLAY_FILE_CONTROL 8 4");
  ASSERT_TRUE(WaitFor([&] { return page_->NvrPlayerOf(id_) == -1; }));  // the NVR ended it

  PlayRow(1);
  ASSERT_TRUE(WaitFor([&] { return page_->NvrPlayerOf(id_) == 0 && player->HasPicture(); }));
  EXPECT_EQ(player->Engine()->GetSpeed(), 1);
  EXPECT_EQ(Steer(player, kMorvikCmdFast), "REPLAY_FILE_CONTROL 8 2");
}

TEST_F(NvrReplayTest, AnNvrDayPlaysFromTheSecondClicked) {
  Record(1, "Schedule", 8, 0, 0, 4);
  Record(1, "Alarm", 8, 0, 10, 4);
  Click(CSearchRecDlg::IDC_TIME_MODE);
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  ASSERT_TRUE(page_->SetSearchDevInfo(ch1_));
  ASSERT_TRUE(WaitFor([&] { return page_->Slots().pb[0].day.szDayMap[480] == 'B'; }));

  page_->OnPlaybackDblClick(0, 8 * 3600 + 2);
  EXPECT_EQ(device_->Take("REPLAY_TIME "), "REPLAY_TIME 1 20240105080002");
  CPlayBackAtl* player = page_->GetPlayer(0);
  ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); }));
  EXPECT_TRUE(page_->Slots().pb[0].bPlaying);
  EXPECT_EQ(page_->Slots().pb[0].nPlayer, 0);
  // Frames of 08:00:02 lie 2 s into the ten-minute piece that starts at 08:00:00.
  EXPECT_EQ(page_->Slots().pb[0].nStartSecond, 8 * 3600);
  EXPECT_EQ(player->Engine()->GetPieceLength(), 600);
  ASSERT_TRUE(WaitFor([&] { return page_->GetTimeBar()->GetRowCursor(0) >= 8 * 3600 + 2; }));
  // The second file plays after the first; then the NVR ends the day.
  ASSERT_TRUE(WaitFor([&] { return page_->GetTimeBar()->GetRowCursor(0) >= 8 * 3600 + 10; }));
  ASSERT_TRUE(WaitFor([&] { return page_->NvrPlayerOf(id_) == -1; }));
  EXPECT_FALSE(player->IsPlaying());
}

}  // namespace

namespace {

// The page with an NVR's files, one of them playing from the NVR and two
// downloaded, saved under the program folder's "screenshots/" for a person to
// look at.
TEST_F(NvrReplayTest, Screenshot) {
  for (int i = 0; i < 4; ++i) Record(1, i == 2 ? "Alarm" : "Schedule", 8 + i, 0, 0, i == 0 ? 30 : 2);
  ASSERT_TRUE(SearchNvr(ch1_));
  PlayRow(0);
  ASSERT_TRUE(WaitFor([&] { return page_->GetPlayer(0)->HasPicture() && PlayCell(0) == "Window1:Playing..."; }));
  page_->GetResultList()->SetCheck(1, TRUE);
  page_->GetResultList()->SetCheck(3, TRUE);
  Click(CSearchRecDlg::IDC_DOWNLOAD);
  ASSERT_TRUE(WaitFor([&] { return !page_->IsDownloading(); }));
  ASSERT_EQ(page_->GetResultList()->GetItemText(3, 2), "Download complete");
  const QString folder = QString::fromStdString(GetModuleDir()) + "screenshots/";
  QDir().mkpath(folder);
  ASSERT_TRUE(page_->grab().save(folder + "record_query_nvr.png"));
}

}  // namespace
