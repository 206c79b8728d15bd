// Playing what the page found: a double click on a result row opens the file
// on a player, a double click on a day row plays the file of that time from
// the right second, the player chosen follows the selected pane, and day rows
// played in step each show their own recording. Record files are written by
// the recorder's own writer.
#include <gtest/gtest.h>

#include <signal.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDateTimeEdit>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QProcess>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "clipta/record_file_writer.h"
#include "common/peer_lifetime.h"
#include "common/wait_for.h"
#include "core/rec_scheme.h"
#include "core/res_msg_dlg.h"
#include "h264_clip.h"
#include "maker/morvik/morvik.h"
#include "platform/string_table.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/playback/time_bar_geometry.h"
#include "records/recfile/rec_file_reader.h"
#include "records/search/playback_slots.h"
#include "records/search/rec_tree.h"
#include "records/search/search_page_support.h"
#include "records/search/search_rec_dlg.h"
#include "ui/sort_list_ctrl.h"

namespace {

RecDayInfo DayOf(std::initializer_list<RecDayFile> files) {
  RecDayInfo day;
  for (const RecDayFile& f : files) day.lstFile.push_back(f);
  return day;
}

TEST(DayPlayback, ASecondPicksItsFileAndOffset) {
  // 08:00-08:10 and 09:00-09:10.
  const RecDayInfo day = DayOf({{"a.avi", 600, 28800}, {"b.avi", 600, 32400}});
  struct Case {
    int second;
    int index;
    int offset;
    const char* path;
  };
  const Case cases[] = {
      {0, 1, 0, "a.avi"},           // before the first file: from its start
      {28800, 1, 0, "a.avi"},
      {29100, 1, 300, "a.avi"},
      {29400, 1, 600, "a.avi"},     // the file's last second still belongs to it
      {30600, 2, 0, "b.avi"},       // 08:30, in the gap: the next file from its start
      {32405, 2, 5, "b.avi"},
      {33001, -1, 0, ""},           // after the last file: nothing
  };
  for (const Case& c : cases) {
    const DayFilePick pick = PickDayFile(day, c.second);
    EXPECT_EQ(pick.nIndex, c.index) << c.second;
    EXPECT_EQ(pick.nOffset, c.offset) << c.second;
    EXPECT_EQ(pick.strPath, c.path) << c.second;
  }
  EXPECT_EQ(PickDayFile(RecDayInfo{}, 100).nIndex, -1);
}

TEST(DayPlayback, APlayerIsChosenBySelectionThenOrder) {
  PlaybackSlots table;
  table.pb[3].nPlayer = 1;  // a day row holds player 1
  struct Case {
    bool busy[4];
    int selected;
    bool skipHeld;
    int chosen;
  };
  const Case cases[] = {
      {{false, false, false, false}, 2, false, 2},  // the selected pane, although a lower one is free
      {{false, false, true, false}, 2, false, 0},   // selected busy: the lowest free
      {{true, true, true, true}, 0, false, -1},
      {{true, false, false, false}, 1, true, -1},   // selected free but held by a day row
      {{true, false, false, false}, 0, true, 2},    // the held one is passed over
      {{true, false, false, false}, 0, false, 1},
      {{false, false, false, false}, 7, false, 0},  // no valid selection
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChoosePlayer(c.busy, c.selected, c.skipHeld ? &table : nullptr), c.chosen)
        << c.selected << " " << c.skipHeld;
  }
}

class SearchPlayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    clip_ = new H264Clip(MakeH264Clip(folder_->Path(), 4));
  }
  static void TearDownTestSuite() {
    delete clip_;
    delete folder_;
  }

  void SetUp() override {
    ASSERT_FALSE(clip_->frames.empty()) << "ffmpeg made no clip";
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    savedSchemes_ = g_lstRecSchemeInfo;
    storage_ = tree_.Storage("d1");
    tree_.AddScheme(storage_).lstDev.push_back(cam_);
    g_lstRecSchemeInfo = tree_.Schemes();
    ASSERT_TRUE(searchpage::Show(main_, &page_));
  }
  void TearDown() override {
    page_->ReleasePlayers();
    g_lstRecSchemeInfo = savedSchemes_;
  }

  // A record file of the clip at hh:mm:ss of 2024-01-05.
  void Record(const std::string& name, const std::string& device = "cam") { Record(*clip_, name, device); }
  // Written by the recorder's own file writer.
  void Record(const H264Clip& clip, const std::string& name, const std::string& device) {
    recordfile::Media media;
    media.width = static_cast<uint32_t>(clip.width);
    media.height = static_cast<uint32_t>(clip.height);
    media.frameRate = static_cast<uint32_t>(clip.frameRate);
    RecordFileWriter writer;
    ASSERT_TRUE(writer.Open(tree_.DayFolder(storage_, device, "Schedule", 2024, 1, 5) + name, media));
    for (size_t i = 0; i < clip.frames.size(); ++i) {
      ASSERT_TRUE(writer.WriteVideo(clip.frames[i].data(), clip.frames[i].size(), clip.keys[i],
                                    static_cast<double>(i) * 1000.0 / clip.frameRate));
    }
    writer.Close();
  }

  // The camera's files of 2024-01-05, searched by file: the result list.
  CSortListCtrl* SearchTheDay() {
    EXPECT_TRUE(page_->SetSearchDevInfo(&cam_));
    auto* from = qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_FROM));
    auto* to = qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_TO));
    from->setDateTime(QDateTime(QDate(2024, 1, 5), QTime(0, 0)));
    to->setDateTime(QDateTime(QDate(2024, 1, 5), QTime(23, 59, 59)));
    page_->OnBnClickedBtnSearch();
    return page_->GetResultList();
  }

  static void Mouse(QWidget* target, QEvent::Type type, QPoint at) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
  }
  static void DoubleClick(QWidget* target, QPoint at) {
    Mouse(target, QEvent::MouseButtonPress, at);
    Mouse(target, QEvent::MouseButtonRelease, at);
    Mouse(target, QEvent::MouseButtonDblClick, at);
    Mouse(target, QEvent::MouseButtonRelease, at);
    QCoreApplication::processEvents();
  }

  static TempFolder* folder_;
  static H264Clip* clip_;
  RecTree tree_;
  std::string storage_;
  DevInfo cam_ = MakeDevice(1, "cam", "10.0.0.1", 0, "CAM-01");
  std::list<RecSchemeInfo*> savedSchemes_;
  QWidget main_;
  CSearchRecDlg* page_ = nullptr;  // owned by main_
};

TempFolder* SearchPlayTest::folder_ = nullptr;
H264Clip* SearchPlayTest::clip_ = nullptr;

TEST_F(SearchPlayTest, ADoubleClickedResultPlaysOnTheSelectedPane) {
  Record("080000.avi");
  Record("090000.avi");
  CSortListCtrl* list = SearchTheDay();
  ASSERT_EQ(list->GetItemCount(), 2);

  // The second row, with pane 3 selected: it plays there, not on pane 1.
  page_->DrawPlayerFrame(2, true);
  const QRect cell = list->visualRect(list->model()->index(1, 0));
  DoubleClick(list->viewport(), cell.center());
  CPlayBackAtl* player = page_->GetPlayer(2);
  EXPECT_EQ(page_->GetPlayer(0)->IsPlaying(), 0);
  ASSERT_NE(player->IsPlaying(), 0);
  EXPECT_EQ(page_->GetPlayerRow(2), 1);
  ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); }));
  // The status timer marks the row the player plays.
  page_->OnTimer(CSearchRecDlg::kPlayStatusTimer);
  EXPECT_EQ(list->GetItemText(1, 3), "Window3:Playing...");
  EXPECT_EQ(list->GetItemText(0, 3), "");
  // The status is shown whole in its column.
  EXPECT_GE(list->columnWidth(3), QFontMetrics(list->font()).horizontalAdvance("Window3:Playing...") + 8);

  // The first row next: pane 3 is busy, so the lowest free pane takes it.
  DoubleClick(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
  EXPECT_NE(page_->GetPlayer(0)->IsPlaying(), 0);
  EXPECT_EQ(page_->GetPlayerRow(0), 0);
  page_->OnTimer(CSearchRecDlg::kPlayStatusTimer);
  EXPECT_EQ(list->GetItemText(0, 3), "Window1:Playing...");
  EXPECT_EQ(list->GetItemText(1, 3), "Window3:Playing...");
  // A player that stopped leaves its row's cell empty at the next tick.
  player->Stop();
  page_->OnTimer(CSearchRecDlg::kPlayStatusTimer);
  EXPECT_EQ(list->GetItemText(1, 3), "");
  EXPECT_EQ(list->GetItemText(0, 3), "Window1:Playing...");
}

// A file that the player cannot open is named in the page's status; the
// player, the result row and the day row stay free.
TEST_F(SearchPlayTest, AFileThatCannotBePlayedIsNamedInTheStatus) {
  RecTree::WriteFile(tree_.DayFolder(storage_, "cam", "Schedule", 2024, 1, 5) + "090000-vv1.avi", 20000);
  CSortListCtrl* list = SearchTheDay();
  ASSERT_EQ(list->GetItemCount(), 1);
  DoubleClick(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
  EXPECT_EQ(searchpage::Status(*page_), "Window1: cannot play the file 090000-vv1.avi");
  EXPECT_EQ(page_->GetPlayer(0)->IsPlaying(), 0);
  EXPECT_EQ(page_->GetPlayerRow(0), -1);
  page_->OnTimer(CSearchRecDlg::kPlayStatusTimer);
  EXPECT_EQ(list->GetItemText(0, 3), "");

  // The same file on a day row: named, and the row does not count as playing.
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_TIME_MODE))->click();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  ASSERT_TRUE(page_->SetSearchDevInfo(&cam_));
  page_->DrawPlayerFrame(1, true);
  page_->OnPlaybackDblClick(0, 8 * 3600);
  EXPECT_EQ(searchpage::Status(*page_), "Window2: cannot play the file 090000-vv1.avi");
  EXPECT_EQ(page_->Slots().pb[0].bPlaying, 0);
  EXPECT_EQ(page_->Slots().pb[0].nPlayer, -1);
  EXPECT_EQ(page_->GetPlayer(1)->IsPlaying(), 0);
}

// Records the clip $VEMO_KILLED_RECORDER_CLIP over and over into the record file
// $VEMO_KILLED_RECORDER_FILE until it is killed; run in a child process by
// AFileWhoseRecorderWasKilledShowsInTheSearchAndPlays.
TEST(KilledRecorderChild, RecordsUntilKilled) {
  const char* clipPath = std::getenv("VEMO_KILLED_RECORDER_CLIP");
  const char* filePath = std::getenv("VEMO_KILLED_RECORDER_FILE");
  if (!clipPath || !filePath) GTEST_SKIP() << "run by AFileWhoseRecorderWasKilledShowsInTheSearchAndPlays";
  const H264Clip clip = ReadH264Clip(clipPath);
  ASSERT_FALSE(clip.frames.empty());
  recordfile::Media media;
  media.width = static_cast<uint32_t>(clip.width);
  media.height = static_cast<uint32_t>(clip.height);
  media.frameRate = static_cast<uint32_t>(clip.frameRate);
  RecordFileWriter writer;
  ASSERT_TRUE(writer.Open(filePath, media));
  for (size_t n = 0;; ++n) {
    const size_t i = n % clip.frames.size();
    ASSERT_TRUE(writer.WriteVideo(clip.frames[i].data(), clip.frames[i].size(), clip.keys[i],
                                  static_cast<double>(n) * 1000.0 / clip.frameRate));
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// A recorder killed in the middle of its file (a crash, a power cut) leaves it
// without an index: the file is found by file and by day, counts its whole
// seconds in the day map, and plays from the list and from the day row.
TEST_F(SearchPlayTest, AFileWhoseRecorderWasKilledShowsInTheSearchAndPlays) {
  const std::string path = tree_.DayFolder(storage_, "cam", "Schedule", 2024, 1, 5) + "100000-vv1.avi";
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("VEMO_KILLED_RECORDER_CLIP", QString::fromStdString(folder_->Path() + "clip.h264"));
  env.insert("VEMO_KILLED_RECORDER_FILE", QString::fromStdString(path));
  child.setProcessEnvironment(env);
  DieWithParent(child);  // it records until killed: never beyond this test
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=KilledRecorderChild.*"});
  ASSERT_TRUE(child.waitForStarted());
  // A good part of a file (some seconds of 320 x 240 video), then the kill.
  ASSERT_TRUE(WaitFor([&] { return QFileInfo(QString::fromStdString(path)).size() > 300000; }, 60000));
  ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
  child.waitForFinished();
  CRecFileReader reader;
  ASSERT_EQ(reader.Open(path.c_str()), 1);
  EXPECT_FALSE(reader.IsIndexed());
  const int seconds = static_cast<int>(reader.GetKeyFrameCount());
  ASSERT_GE(seconds, 2);
  reader.Close();

  // By file: listed, and it plays.
  CSortListCtrl* list = SearchTheDay();
  ASSERT_EQ(list->GetItemCount(), 1);
  DoubleClick(list->viewport(), list->visualRect(list->model()->index(0, 0)).center());
  CPlayBackAtl* player = page_->GetPlayer(0);
  ASSERT_NE(player->IsPlaying(), 0);
  EXPECT_TRUE(WaitFor([&] { return player->HasPicture(); }));
  player->Stop();

  // By day: its minutes on the day map, and it plays from a second of it.
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_TIME_MODE))->click();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  ASSERT_TRUE(page_->SetSearchDevInfo(&cam_));
  const PlaybackStatus& slot = page_->Slots().pb[0];
  ASSERT_EQ(slot.day.lstFile.size(), 1u);
  EXPECT_EQ(slot.day.lstFile.front().nSeconds, seconds);
  EXPECT_EQ(slot.day.szDayMap[600], kDayMapSchedule);
  EXPECT_EQ(slot.day.szDayMap[599], kDayMapNone);
  page_->OnPlaybackDblClick(0, 10 * 3600 + 1);
  ASSERT_EQ(slot.bPlaying, 1);
  CPlayBackAtl* dayPlayer = page_->GetPlayer(slot.nPlayer);
  EXPECT_NE(dayPlayer->IsPlaying(), 0);
  EXPECT_TRUE(WaitFor([&] { return dayPlayer->HasPicture(); }));
}

TEST_F(SearchPlayTest, ADoubleClickOnADayRowPlaysFromThatSecond) {
  Record("080000.avi");  // 4 seconds from 08:00:00
  Record("083000.avi");  // 4 seconds from 08:30:00
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_TIME_MODE))->click();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  ASSERT_TRUE(page_->SetSearchDevInfo(&cam_));
  ASSERT_EQ(page_->Slots().pb[0].day.lstFile.size(), 2u);

  // 08:10 lies in the gap: the 08:30 file plays from its start, on the bar's row 0.
  CPlayBackTollBar* bar = page_->GetTimeBar();
  const int w = timebar::BarWidth(bar->width());
  const int x = timebar::kNameWidth + (8 * 3600 + 600) * w / 86400 + 1;
  DoubleClick(bar, QPoint(x, timebar::kScaleHeight + 10));
  const PlaybackStatus& slot = page_->Slots().pb[0];
  ASSERT_EQ(slot.bPlaying, 1);
  EXPECT_EQ(slot.nPlayer, 0);
  EXPECT_EQ(slot.nCurFile, 2);
  EXPECT_EQ(slot.nStartSecond, 8 * 3600 + 1800);
  CPlayBackAtl* player = page_->GetPlayer(0);
  EXPECT_NE(player->IsPlaying(), 0);
  EXPECT_EQ(player->Engine()->GetPlayOption(kMorvikOptionContinuous), 1);
  ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); }));

  EXPECT_EQ(player->GetSetupState(kMorvikSetupStart), 0);

  // A second of the first file on the playing row moves the same player there,
  // two seconds into the file.
  page_->OnPlaybackDblClick(0, 8 * 3600 + 2);
  EXPECT_EQ(slot.nCurFile, 1);
  EXPECT_EQ(slot.nStartSecond, 8 * 3600);
  EXPECT_EQ(slot.nPlayer, 0);
  EXPECT_EQ(player->GetSetupState(kMorvikSetupStart), 2);
  EXPECT_EQ(page_->GetPlayer(1)->IsPlaying(), 0);

  // The name of a playing row is kept; a row that does not play goes.
  page_->OnPlaybackDblClick(0, -100);
  EXPECT_EQ(slot.nRow, 0);
  DevInfo other = MakeDevice(0, "dvs-3", "10.0.0.2");
  ASSERT_TRUE(page_->SetSearchDevInfo(&other));
  ASSERT_EQ(page_->Slots().pb[1].nRow, 1);
  page_->OnPlaybackDblClick(1, -100);
  EXPECT_EQ(page_->Slots().pb[1].nRow, -1);
  EXPECT_EQ(bar->GetRow(1), nullptr);
}

TEST_F(SearchPlayTest, ADayPlaysOnFromFileToFileAndItsBarCommandsReachThePage) {
  Record("082958.avi");  // 08:29:58 to 08:30:02
  Record("083100.avi");  // after a gap
  Record("083200.avi");
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_TIME_MODE))->click();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  ASSERT_TRUE(page_->SetSearchDevInfo(&cam_));
  const PlaybackStatus& slot = page_->Slots().pb[0];
  ASSERT_EQ(slot.day.lstFile.size(), 3u);

  page_->OnPlaybackDblClick(0, 8 * 3600 + 1800);
  ASSERT_EQ(slot.bPlaying, 1);
  EXPECT_EQ(slot.nCurFile, 1);
  CPlayBackAtl* player = page_->GetPlayer(slot.nPlayer);
  // The first file ends two seconds in: the second follows across the gap,
  // then the third, and the time-line cursor follows the played seconds.
  ASSERT_TRUE(WaitFor([&] { return slot.nCurFile == 2; }, 15000));
  EXPECT_EQ(slot.nStartSecond, 8 * 3600 + 1860);
  EXPECT_NE(player->IsPlaying(), 0);
  ASSERT_TRUE(WaitFor([&] { return page_->GetTimeBar()->GetRowCursor(0) >= 8 * 3600 + 1861; }, 15000));

  // Pause and a speed on the player's own bar: the player carries them out
  // and the day stays on its row.
  player->Engine()->Command(kMorvikCmdPause, 0);
  ASSERT_TRUE(WaitFor([&] { return player->Engine()->IsPaused(); }));
  player->Engine()->Command(kMorvikCmdNext, 0);  // a local day has no next piece to ask for
  QCoreApplication::processEvents();
  EXPECT_EQ(slot.bPlaying, 1);
  EXPECT_EQ(slot.nCurFile, 2);
  player->Engine()->Command(kMorvikCmdFast, 4);
  player->Engine()->Command(kMorvikCmdContinue, 0);
  ASSERT_TRUE(WaitFor([&] { return slot.nCurFile == 3; }, 15000));
  EXPECT_EQ(slot.nStartSecond, 8 * 3600 + 1920);

  // The last file's end frees the row and the player.
  ASSERT_TRUE(WaitFor([&] { return slot.bPlaying == 0; }, 15000));
  EXPECT_EQ(slot.nPlayer, -1);
  EXPECT_EQ(player->IsPlaying(), 0);
  EXPECT_EQ(page_->GetTimeBar()->GetRowCursor(0), 0);

  // Played again, the player's stop frees the row at once.
  page_->OnPlaybackDblClick(0, 8 * 3600 + 1860);
  ASSERT_EQ(slot.bPlaying, 1);
  page_->GetPlayer(slot.nPlayer)->Engine()->Command(kMorvikCmdStop, 0);
  ASSERT_TRUE(WaitFor([&] { return slot.bPlaying == 0; }));
  EXPECT_EQ(slot.nPlayer, -1);
}

TEST_F(SearchPlayTest, SynchronousPlaybackStartsRowsWithRecordsOnFreePanes) {
  const char* names[] = {"cam-a", "cam-b", "cam-c", "cam-d"};
  std::vector<DevInfo> devices;
  for (int i = 0; i < 4; ++i) {
    devices.push_back(MakeDevice(1, names[i], ("10.0.1." + std::to_string(i + 1)).c_str()));
    tree_.Schemes().front()->lstDev.push_back(devices.back());
    if (i > 0) Record("080000.avi", names[i]);  // cam-a has no records that day
  }
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_TIME_MODE))->click();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  for (DevInfo& dev : devices) ASSERT_TRUE(page_->SetSearchDevInfo(&dev));
  page_->SetWindowCount(2);
  auto* check = qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_SYNC_CHECK));
  check->click();
  ASSERT_TRUE(page_->GetDlgItem(CSearchRecDlg::IDC_SYNC_PLAY)->isEnabled());
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_SYNC_TIME))->setTime(QTime(8, 0, 1));
  const int selected = page_->GetCurWnd();
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_SYNC_PLAY))->click();

  // Two panes: the first two rows with records, in order, one pane each.
  const PlaybackSlots& table = page_->Slots();
  EXPECT_EQ(table.pb[0].bPlaying, 0);
  ASSERT_EQ(table.pb[1].bPlaying, 1);
  ASSERT_EQ(table.pb[2].bPlaying, 1);
  EXPECT_EQ(table.pb[3].bPlaying, 0);
  EXPECT_EQ(table.pb[1].nPlayer, 0);
  EXPECT_EQ(table.pb[2].nPlayer, 1);
  EXPECT_EQ(page_->GetCurWnd(), selected);
  for (int p = 0; p < 2; ++p) {
    CPlayBackAtl* player = page_->GetPlayer(p);
    ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); })) << p;
  }

  // A click on a player's picture selects it.
  CPlayBackAtl* second = page_->GetPlayer(1);
  Mouse(second, QEvent::MouseButtonPress, QPoint(20, 20));
  Mouse(second, QEvent::MouseButtonRelease, QPoint(20, 20));
  QCoreApplication::processEvents();
  EXPECT_EQ(page_->GetCurWnd(), 1);
}

TEST_F(SearchPlayTest, FourRowsPlayInStepEachShowingItsOwnFile) {
  // Four cameras, each with a recording of its own colour from 08:00:00.
  const char* names[] = {"north", "east", "south", "west"};
  const char* colours[] = {"red", "lime", "blue", "yellow"};
  const QRgb expected[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
  std::vector<DevInfo> devices;
  for (int i = 0; i < 4; ++i) {
    // Long enough to be playing still when a loaded machine gets round to looking.
    const H264Clip clip = MakeH264Clip(folder_->Path(), 20, 320, 240, 25, std::string("color=c=") + colours[i]);
    ASSERT_FALSE(clip.frames.empty());
    devices.push_back(MakeDevice(1, names[i], ("10.0.2." + std::to_string(i + 1)).c_str()));
    tree_.Schemes().front()->lstDev.push_back(devices.back());
    Record(clip, "080000.avi", names[i]);
  }
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_TIME_MODE))->click();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  for (DevInfo& dev : devices) ASSERT_TRUE(page_->SetSearchDevInfo(&dev));
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_SYNC_CHECK))->click();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_SYNC_TIME))->setTime(QTime(8, 0, 1));
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_SYNC_PLAY))->click();

  // Row r on player r, every one from the same second of its file.
  const PlaybackSlots& table = page_->Slots();
  for (int r = 0; r < 4; ++r) {
    SCOPED_TRACE(names[r]);
    ASSERT_EQ(table.pb[r].bPlaying, 1);
    EXPECT_EQ(table.pb[r].nPlayer, r);
    EXPECT_EQ(table.pb[r].nStartSecond, 8 * 3600);
    EXPECT_EQ(page_->GetPlayer(r)->GetSetupState(kMorvikSetupStart), 1);
  }
  // Each player shows its own camera's picture.
  for (int r = 0; r < 4; ++r) {
    SCOPED_TRACE(names[r]);
    CPlayBackAtl* player = page_->GetPlayer(r);
    ASSERT_TRUE(WaitFor([&] { return player->HasPicture(); }));
    const QImage picture = player->LastPicture();
    const QRgb centre = picture.pixel(picture.width() / 2, picture.height() / 2);
    EXPECT_LE(std::abs(qRed(centre) - qRed(expected[r])), 24) << std::hex << centre;
    EXPECT_LE(std::abs(qGreen(centre) - qGreen(expected[r])), 24) << std::hex << centre;
    EXPECT_LE(std::abs(qBlue(centre) - qBlue(expected[r])), 24) << std::hex << centre;
  }
}

}  // namespace
