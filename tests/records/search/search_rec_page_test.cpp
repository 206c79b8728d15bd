// The record search page on a record tree: the form, the query, the pages of
// twenty results, its messages, and day rows of the time-line bar.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileInfo>
#include <QLineEdit>
#include <cstring>
#include <string>

#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "core/user_settings.h"
#include "maker/morvik/morvik.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/playback/time_bar_geometry.h"
#include "records/search/rec_save_folder.h"
#include "records/search/rec_tree.h"
#include "records/search/search_form.h"
#include "records/search/search_page_support.h"
#include "records/search/search_rec_dlg.h"
#include "ui/sort_list_ctrl.h"
#include "ui/transparent_static.h"

namespace {

std::string Name(int second) {
  char text[16];
  std::snprintf(text, sizeof(text), "%02d%02d%02d.avi", second / 3600, second % 3600 / 60, second % 60);
  return text;
}

class SearchPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    savedSchemes_ = g_lstRecSchemeInfo;
    storage_ = tree_.Storage("d1");
    RecSchemeInfo& scheme = tree_.AddScheme(storage_);
    scheme.lstDev.push_back(cam_);
    scheme.lstDev.push_back(MakeDevice(0, "dvs-3", "10.0.0.2"));
    g_lstRecSchemeInfo = tree_.Schemes();
    ASSERT_TRUE(searchpage::Show(main_, &page_));
  }
  void TearDown() override { g_lstRecSchemeInfo = savedSchemes_; }

  // `count` small files on 2024-01-<day>, one a minute from 08:00.
  void Files(int day, int count) {
    const std::string folder = tree_.DayFolder(storage_, "cam", "Schedule", 2024, 1, day);
    for (int i = 0; i < count; ++i) RecTree::WriteFile(folder + Name(8 * 3600 + 60 * i), 100 + i);
  }

  void Span(int day) { searchpage::SetDaySpan(*page_, day); }

  void Click(int id) { searchpage::Click(*page_, id); }
  bool Enabled(int id) { return page_->GetDlgItem(id)->isEnabled(); }
  std::string Status() { return searchpage::Status(*page_); }
  std::string Message() { return searchpage::TakeMessage(*page_); }
  std::string Row(int row) { return page_->GetResultList()->GetItemText(row, 0); }

  RecTree tree_;
  std::string storage_;
  DevInfo cam_ = MakeDevice(1, "cam", "10.0.0.1", 0, "CAM-01");
  std::list<RecSchemeInfo*> savedSchemes_;
  QWidget main_;
  CSearchRecDlg* page_ = nullptr;  // owned by main_
};

TEST_F(SearchPageTest, StartsWithItsForm) {
  auto combo = [this](int id) { return qobject_cast<QComboBox*>(page_->GetDlgItem(id)); };
  EXPECT_EQ(combo(CSearchRecDlg::IDC_SOURCE)->itemText(1), "Front-end Record");
  EXPECT_EQ(combo(CSearchRecDlg::IDC_REC_TYPE)->count(), 4);
  EXPECT_EQ(combo(CSearchRecDlg::IDC_STREAM)->itemText(2), "Sub Stream");
  EXPECT_EQ(qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_TO))->time(), QTime(23, 59, 59));
  EXPECT_EQ(qobject_cast<QLineEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_MAX_SIZE))->text(), "-1");
  EXPECT_EQ(page_->GetResultList()->GetColumnCount(), 4);
  EXPECT_FALSE(Enabled(CSearchRecDlg::IDC_DOWNLOAD));
  EXPECT_EQ(page_->IsTimeMode(), 0);
  EXPECT_TRUE(page_->GetResultList()->isVisible());
  EXPECT_FALSE(page_->GetTimeBar()->isVisible());
  for (int i = 0; i < CSearchRecDlg::kPlayers; ++i) {
    ASSERT_NE(page_->GetPlayer(i), nullptr);
    EXPECT_EQ(page_->GetPlayer(i)->GetDlgCtrlID(), CSearchRecDlg::kFirstPlayerId + i);
    EXPECT_TRUE(page_->GetPlayer(i)->isVisible());
  }
  EXPECT_EQ(page_->GetPlayer(4), nullptr);
  // Four panes in two rows above the search panel.
  EXPECT_EQ(page_->GetPlayer(0)->geometry().top(), 3);
  EXPECT_EQ(page_->GetPlayer(2)->geometry().left(), 3);
  EXPECT_GT(page_->GetPlayer(2)->geometry().top(), page_->GetPlayer(0)->geometry().bottom());
  EXPECT_LT(page_->GetPlayer(2)->geometry().bottom(), page_->GetResultList()->geometry().top());

  // Modes: the time panel with the bar, and back.
  Click(CSearchRecDlg::IDC_TIME_MODE);
  EXPECT_EQ(page_->IsTimeMode(), 1);
  EXPECT_TRUE(page_->GetTimeBar()->isVisible());
  EXPECT_FALSE(page_->GetResultList()->isVisible());
  EXPECT_FALSE(page_->GetDlgItem(CSearchRecDlg::IDC_STOP_DOWNLOAD)->isVisible());
  Click(CSearchRecDlg::IDC_FILE_MODE);
  EXPECT_FALSE(page_->GetTimeBar()->isVisible());
  // The front-end source offers pictures, which have no stream choice, and no time playback.
  combo(CSearchRecDlg::IDC_SOURCE)->setCurrentIndex(1);
  page_->OnSelChangeSource();
  ASSERT_EQ(combo(CSearchRecDlg::IDC_MEDIA_TYPE)->count(), 3);
  EXPECT_FALSE(Enabled(CSearchRecDlg::IDC_TIME_MODE));
  combo(CSearchRecDlg::IDC_MEDIA_TYPE)->setCurrentIndex(2);
  page_->OnSelChangeMediaType();
  EXPECT_FALSE(Enabled(CSearchRecDlg::IDC_STREAM));
}

TEST_F(SearchPageTest, ResultsComeInPagesOfTwenty) {
  Files(5, 45);
  ASSERT_TRUE(page_->SetSearchDevInfo(&cam_));
  EXPECT_EQ(dynamic_cast<CTransparentStatic*>(page_->GetDlgItem(CSearchRecDlg::IDC_DEVICE))->text(), "CAM-01");
  Span(5);
  Click(CSearchRecDlg::IDC_QUERY);
  ASSERT_EQ(page_->GetResults().size(), 45u);
  // A page shows the next twenty records as the search found them.
  auto shows = [this](size_t first, int rows) {
    ASSERT_EQ(page_->GetResultList()->GetItemCount(), rows);
    for (int r = 0; r < rows; ++r) {
      EXPECT_EQ(Row(r), page_->GetResults()[first + static_cast<size_t>(r)].strFilePath) << r;
      EXPECT_EQ(page_->GetResultList()->GetItemText(r, 1), page_->GetResults()[first + static_cast<size_t>(r)].strFileSize);
    }
  };
  shows(0, 20);
  EXPECT_NE(Row(0).find("\\Record\\cam\\Local\\Schedule\\2024\\1\\5\\08"), std::string::npos) << Row(0);
  // The list shows the file as this machine names it: a path a person can open.
  const QString shown = page_->GetResultList()->model()->index(0, 0).data().toString();
  EXPECT_EQ(shown.toStdString(), paths::NativePath(Row(0)));
  EXPECT_FALSE(shown.contains('\\')) << shown.toStdString();
  EXPECT_TRUE(QFileInfo::exists(shown)) << shown.toStdString();
  EXPECT_EQ(Status(), "Total 3 Pages, Current Page 1 Pages");
  EXPECT_TRUE(Enabled(CSearchRecDlg::IDC_NEXT_PAGE));
  EXPECT_FALSE(Enabled(CSearchRecDlg::IDC_PRE_PAGE));
  EXPECT_FALSE(page_->IsSearching());

  struct Step {
    int button;
    size_t first;
    int rows;
    bool pre, next;
    const char* status;
  };
  const Step steps[] = {
      {CSearchRecDlg::IDC_NEXT_PAGE, 20, 20, true, true, "Total 3 Pages, Current Page 2 Pages"},
      {CSearchRecDlg::IDC_NEXT_PAGE, 40, 5, true, false, "Total 3 Pages, Current Page 3 Pages"},
      {CSearchRecDlg::IDC_PRE_PAGE, 20, 20, true, true, "Total 3 Pages, Current Page 2 Pages"},
      {CSearchRecDlg::IDC_PRE_PAGE, 0, 20, false, true, "Total 3 Pages, Current Page 1 Pages"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.status);
    Click(s.button);
    shows(s.first, s.rows);
    EXPECT_EQ(Enabled(CSearchRecDlg::IDC_PRE_PAGE), s.pre);
    EXPECT_EQ(Enabled(CSearchRecDlg::IDC_NEXT_PAGE), s.next);
    EXPECT_EQ(Status(), s.status);
  }

  // Front-end paging: the previous page at the first page index sends
  // nothing and leaves the page and its list as they are.
  qobject_cast<QComboBox*>(page_->GetDlgItem(CSearchRecDlg::IDC_SOURCE))->setCurrentIndex(1);
  const int pageBefore = page_->GetCurPage();
  page_->OnBnClickedBtnPrePage();
  EXPECT_EQ(page_->GetCurPage(), pageBefore);
  shows(0, 20);
  EXPECT_EQ(Message(), "");
  qobject_cast<QComboBox*>(page_->GetDlgItem(CSearchRecDlg::IDC_SOURCE))->setCurrentIndex(0);

  // Twenty results are one page, twenty-one two.
  struct Boundary {
    int day, files, pages;
    bool next;
  };
  for (const Boundary& b : {Boundary{6, 20, 1, false}, Boundary{7, 21, 2, true}}) {
    SCOPED_TRACE(b.files);
    Files(b.day, b.files);
    Span(b.day);
    Click(CSearchRecDlg::IDC_QUERY);
    EXPECT_EQ(page_->GetPageCount(), b.pages);
    EXPECT_EQ(Enabled(CSearchRecDlg::IDC_NEXT_PAGE), b.next);
    EXPECT_FALSE(Enabled(CSearchRecDlg::IDC_PRE_PAGE));
  }
}

TEST_F(SearchPageTest, SaysWhatCannotBeSearched) {
  Click(CSearchRecDlg::IDC_QUERY);
  EXPECT_EQ(Message(), "Select device to be queried!");
  ASSERT_TRUE(page_->SetSearchDevInfo(&cam_));
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_FROM))->setDateTime(QDateTime(QDate(2024, 1, 5), QTime(10, 0, 1)));
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_TO))->setDateTime(QDateTime(QDate(2024, 1, 5), QTime(10, 0, 0)));
  Click(CSearchRecDlg::IDC_QUERY);
  EXPECT_EQ(Message(), "Wrong time range,please reset!");
  Span(9);
  Click(CSearchRecDlg::IDC_QUERY);
  EXPECT_EQ(Message(), "Query result is empty!");
  EXPECT_EQ(Status(), "");
  DevInfo stranger = MakeDevice(1, "stranger", "10.9.9.9");
  ASSERT_TRUE(page_->SetSearchDevInfo(&stranger));
  Click(CSearchRecDlg::IDC_QUERY);
  EXPECT_EQ(Message(), "Without record strategy,the device can't match corresponding storage path!");
  EXPECT_EQ(page_->GetResultList()->GetItemCount(), 0);
  // The front-end search of a device without a messaging control sends nothing, and says so.
  qobject_cast<QComboBox*>(page_->GetDlgItem(CSearchRecDlg::IDC_SOURCE))->setCurrentIndex(1);
  Click(CSearchRecDlg::IDC_QUERY);
  EXPECT_EQ(Message(), "Network connect timeout,please re-try!");
  EXPECT_FALSE(page_->IsSearching());
  // The status text alone does not make the page busy.
  dynamic_cast<CTransparentStatic*>(page_->GetDlgItem(CSearchRecDlg::IDC_STATUS))->SetText("Searching, please waiting...");
  EXPECT_TRUE(page_->SetSearchDevInfo(&cam_));
}

TEST_F(SearchPageTest, ByTimeEachDeviceGetsADayRow) {
  const std::string schedule = tree_.DayFolder(storage_, "cam", "Schedule", 2024, 1, 5);
  const std::string io = tree_.DayFolder(storage_, "cam", "IO", 2024, 1, 5);
  RecTree::WriteRecord(schedule + "080000.avi", 600);  // 08:00-08:10 plan
  RecTree::WriteRecord(io + "090000.avi", 300);        // 09:00-09:05 alarm
  Click(CSearchRecDlg::IDC_TIME_MODE);
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  ASSERT_TRUE(page_->SetSearchDevInfo(&cam_));
  const PlaybackStatus& slot = page_->Slots().pb[0];
  EXPECT_EQ(slot.nRow, 0);
  EXPECT_STREQ(slot.szDevKey, "10.0.0.1");
  EXPECT_EQ(slot.day.lstFile.size(), 2u);
  const std::string map(slot.day.szDayMap);
  EXPECT_EQ(map, std::string(480, 'C') + std::string(10, 'A') + std::string(50, 'C') + std::string(5, 'B') +
                     std::string(895, 'C'));
  CPlayBackTollBar* bar = page_->GetTimeBar();
  ASSERT_NE(bar->GetRow(0), nullptr);
  EXPECT_STREQ(bar->GetRow(0)->szName, "cam");
  EXPECT_EQ(bar->GetRow(0)->nYear, 2024u);

  // The row on the bar: whole day, one pixel column per 1440 / W minutes.
  const QImage shown = bar->grab().toImage();
  const int w = timebar::BarWidth(bar->width());
  const int y = timebar::kScaleHeight + 10;
  auto at = [&](int minute) { return shown.pixel(timebar::kNameWidth + (minute * w + w / 2) / 1440, y); };
  EXPECT_EQ(at(484), qRgb(0, 220, 0));
  EXPECT_EQ(at(542), qRgb(220, 0, 0));
  EXPECT_EQ(at(700), qRgb(220, 220, 220));

  // A video server channel takes the next row; the same device and channel again is refused.
  DevInfo dvs = MakeDevice(0, "dvs-3", "10.0.0.2");
  ASSERT_TRUE(page_->SetSearchDevInfo(&dvs));
  EXPECT_EQ(page_->Slots().pb[1].nChannel, 3);
  EXPECT_EQ(page_->Slots().pb[1].nRow, 1);
  ASSERT_TRUE(page_->SetSearchDevInfo(&cam_));
  EXPECT_EQ(page_->Slots().pb[2].nRow, -1);
  EXPECT_EQ(page_->Slots().nNextRow, 2);
}

TEST(SearchForm, PagesSlotsKeysAndFolders) {
  struct Pages {
    int total, pages;
  };
  for (const Pages& p : {Pages{0, 0}, Pages{1, 1}, Pages{20, 1}, Pages{21, 2}, Pages{45, 3}, Pages{-5, 0}}) {
    EXPECT_EQ(PageCount(p.total), p.pages) << p.total;
  }
  EXPECT_EQ(ResultColumns(800, "File Path", "File Size(Bytes)", "Download Status", "Play Status"),
            "File Path,500; File Size(Bytes),100; Download Status,100; Play Status,100");
  // The narrow columns take the least width their texts need.
  EXPECT_EQ(ResultColumns(800, "File Path", "File Size(Bytes)", "Download Status", "Play Status", {120, 90, 130}),
            "File Path,500; File Size(Bytes),120; Download Status,100; Play Status,130");
  EXPECT_TRUE(IsLater(RecSearchTime{2024, 1, 5, 10, 0, 1}, RecSearchTime{2024, 1, 5, 10, 0, 0}));
  EXPECT_FALSE(IsLater(RecSearchTime{2024, 1, 5, 10, 0, 0}, RecSearchTime{2024, 1, 5, 10, 0, 0}));

  // The next free row: from the counter on, past rows that play; none when all seven play.
  PlaybackSlots table;
  table.nNextRow = 9;
  table.pb[2].bPlaying = 1;
  table.vss[3].bPlaying = 1;
  EXPECT_EQ(table.FindFreeRow(), 4);
  EXPECT_EQ(table.nNextRow, 11);
  for (int i = 0; i < kPlaybackRowCount; ++i) table.pb[i].bPlaying = 1;
  EXPECT_EQ(table.FindFreeRow(), -1);
  table.pb[7].bPlaying = 0;  // slot 7 is never taken
  EXPECT_EQ(table.FindFreeRow(), -1);

  // Slot keys hold 31 characters, never half of a double-byte character.
  DevInfo cloud = MakeDevice(4, "ch1", "10.0.0.3", 1, "");
  std::memset(cloud.DevId, 'K', 200);
  char key[32];
  SlotDeviceKey(cloud, true, key);
  EXPECT_EQ(std::string(key), std::string(31, 'K'));
  CopyFixedText(cloud.DevId, (std::string(30, 'K') + "\xd4\xc6\xcc\xa8").c_str());
  SlotDeviceKey(cloud, true, key);
  EXPECT_EQ(std::string(key), std::string(30, 'K'));
  SlotDeviceKey(cloud, false, key);
  EXPECT_STREQ(key, "10.0.0.3");
  EXPECT_EQ(DayRowChannel(cloud), 1);
  EXPECT_EQ(DayRowChannel(MakeDevice(0, "dvs-x", "1.1.1.1")), 0);

  // Where downloads go.
  RecTree tree;
  const DevInfo cam = MakeDevice(1, "cam", "10.0.0.1", 0, "CAM-01");
  const DevInfo nvr = MakeDevice(4, "ch2", "10.0.0.5", 2, "NVR-A");
  EXPECT_EQ(RecSaveFolder(cam, tree.Schemes()), "D:\\Record\\CAM-01\\Remotion\\");
  tree.AddScheme("", "E:\\store", "F:\\x").lstDev.push_back(cam);
  tree.AddScheme("", "", "").lstDev.push_back(cam);
  EXPECT_EQ(RecSaveFolder(cam, tree.Schemes()), "E:\\store\\Record\\cam\\Remotion\\");
  tree.AddScheme("G:\\").lstDev.push_back(nvr);
  EXPECT_EQ(RecSaveFolder(nvr, tree.Schemes()), "G:\\Record\\NVR-A-ch2\\Remotion\\");
}

}  // namespace
