// Searching an NVR's recordings from the record search page: the fake device
// answers from record files of the client's own recorder, by file (pages of
// twenty) and by day.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileInfo>
#include <QLineEdit>
#include <string>

#include "common/wait_for.h"
#include "nvr_page_fixture.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/search/nvr_search_text.h"
#include "ui/sort_list_ctrl.h"

namespace {

using NvrRecordsTest = NvrPageTest;

long long SizeOf(const NvrRecordTree& tree, const std::string& devicePath) {
  return QFileInfo(QString::fromStdString(tree.LocalPath(devicePath))).size();
}

TEST_F(NvrRecordsTest, ASearchListsTheNvrFilesOfTheSpanAndKind) {
  const std::string plan = Record(1, "Schedule", 8, 0, 0);
  const std::string alarm = Record(1, "Alarm", 9, 30, 0, 2, true);
  const std::string motion = Record(1, "Motion", 10, 0, 0);
  const std::string other = Record(2, "Schedule", 7, 0, 0);
  ASSERT_FALSE(tree_.Add(*clip_, 1, "Schedule", 2024, 1, 6, 8, 0, 0, 1).empty());  // another day
  ASSERT_FALSE(plan.empty());

  // "Video" is chosen at first: the file with sound is not among them.
  ASSERT_TRUE(SearchNvr(ch1_));
  const std::string request = TakeRequest(kNvrFileSearchCode);
  EXPECT_EQ(request.rfind("<REQUEST_PARAM\t\t\t\t     \t\t\t\t\t StartTime=\"20240105 00:00:00\"", 0), 0u) << request;
  CSortListCtrl* list = page_->GetResultList();
  ASSERT_EQ(list->GetItemCount(), 3);
  EXPECT_EQ(list->GetItemText(0, 0), plan);
  EXPECT_EQ(list->GetItemText(1, 0), motion);
  EXPECT_EQ(list->GetItemText(2, 0), other);
  EXPECT_EQ(list->GetItemText(0, 1), std::to_string(SizeOf(tree_, plan)));
  EXPECT_EQ(Status(), "Total 1 Pages, Current Page 1 Pages");
  EXPECT_TRUE(page_->GetDlgItem(CSearchRecDlg::IDC_DOWNLOAD)->isEnabled());

  // IO alarms with sound.
  SetCombo(CSearchRecDlg::IDC_REC_TYPE, 2);
  SetCombo(CSearchRecDlg::IDC_MEDIA_TYPE, 1);
  Click(CSearchRecDlg::IDC_QUERY);
  ASSERT_TRUE(WaitFor([&] { return !page_->IsSearching(); }));
  EXPECT_NE(TakeRequest(kNvrFileSearchCode).find("RecordMode=\"ALARM\""), std::string::npos);
  ASSERT_EQ(list->GetItemCount(), 1);
  EXPECT_EQ(list->GetItemText(0, 0), alarm);

  // Pictures: the NVR has none.
  SetCombo(CSearchRecDlg::IDC_MEDIA_TYPE, 2);
  Click(CSearchRecDlg::IDC_QUERY);
  ASSERT_TRUE(WaitFor([&] { return !page_->IsSearching(); }));
  EXPECT_EQ(Message(), "Query result is empty!");
  EXPECT_EQ(list->GetItemCount(), 0);
}

TEST_F(NvrRecordsTest, TheNvrIsAskedForEachPageOfTwenty) {
  std::vector<std::string> files;
  for (int i = 0; i < 25; ++i) files.push_back(Record(1, "Schedule", 8, i, 0, 1));
  ASSERT_TRUE(SearchNvr(ch1_));
  CSortListCtrl* list = page_->GetResultList();
  ASSERT_EQ(list->GetItemCount(), 20);
  EXPECT_EQ(Status(), "Total 2 Pages, Current Page 1 Pages");
  ASSERT_TRUE(page_->GetDlgItem(CSearchRecDlg::IDC_NEXT_PAGE)->isEnabled());
  TakeRequest(kNvrFileSearchCode);
  Click(CSearchRecDlg::IDC_NEXT_PAGE);
  EXPECT_NE(TakeRequest(kNvrFileSearchCode).find("Page=\"1\""), std::string::npos);
  ASSERT_TRUE(WaitFor([&] { return list->GetItemCount() == 5; }));
  EXPECT_EQ(list->GetItemText(0, 0), files[20]);
  EXPECT_EQ(list->GetItemText(4, 0), files[24]);
}

TEST_F(NvrRecordsTest, ADayQueryFillsTheRowFromTheNvrFiles) {
  Record(2, "Schedule", 8, 0, 0, 2);
  Record(2, "Schedule", 8, 1, 30, 2);  // 08:01:30: its own minute
  Record(2, "Motion", 23, 59, 58, 2);  // the last minute of the day
  Record(1, "Alarm", 12, 0, 0, 2);     // another channel
  Click(CSearchRecDlg::IDC_TIME_MODE);
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  ASSERT_TRUE(page_->SetSearchDevInfo(ch2_));
  EXPECT_EQ(TakeRequest(kNvrDayQueryCode), NvrDayQueryBody(2, 2024, 1, 5));
  std::string expected(1440, 'C');
  expected[480] = expected[481] = 'A';
  expected[1439] = 'B';
  ASSERT_TRUE(WaitFor([&] { return std::string(page_->Slots().pb[0].day.szDayMap) == expected; }));
  const PlayBackChannel* row = page_->GetTimeBar()->GetRow(0);
  ASSERT_NE(row, nullptr);
  EXPECT_STREQ(row->szName, "ch2");
  EXPECT_EQ(row->nYear, 2024u);

  // The same NVR's other channel takes the next row.
  ASSERT_TRUE(page_->SetSearchDevInfo(ch1_));
  expected.assign(1440, 'C');
  expected[720] = 'B';
  ASSERT_TRUE(WaitFor([&] { return std::string(page_->Slots().pb[1].day.szDayMap) == expected; }));
  EXPECT_EQ(page_->Slots().pb[0].day.szDayMap[480], 'A');
}

TEST_F(NvrRecordsTest, BadAnswersEndTheSearchWithTheirMessage) {
  struct Case {
    const char* name;
    std::string answer;
    const char* message;
    int rows;
  };
  const Case cases[] = {
      {"not XML", "this is no answer <<", "", 0},
      {"count 0 with children", "<RESPONSE_PARAM FileCount=\"0\"><RECORD_FILE FilePath=\"/mnt/sd1/a.avi\"/></RESPONSE_PARAM>",
       "Query result is empty!", 0},
      {"count 5 without children", "<RESPONSE_PARAM FileCount=\"5\"></RESPONSE_PARAM>", "", 0},
      {"over-long path",
       "<RESPONSE_PARAM FileCount=\"2\"><RECORD_FILE FilePath=\"/" + std::string(5000, 'x') +
           "\" FileLength=\"1\"/><RECORD_FILE FilePath=\"/mnt/sd1/b.avi\" FileLength=\"2\"/></RESPONSE_PARAM>",
       "", 1},
      {"over-long size",
       "<RESPONSE_PARAM FileCount=\"1\"><RECORD_FILE FilePath=\"/mnt/sd1/c.avi\" FileLength=\"" + std::string(300, '9') +
           "\"/></RESPONSE_PARAM>",
       "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(device_->Command("auxtext 1021 " + c.answer), "OK");
    ASSERT_TRUE(SearchNvr(ch1_));
    EXPECT_EQ(Message(), c.message);
    EXPECT_EQ(page_->GetResultList()->GetItemCount(), c.rows);
    if (c.rows == 0) {
      EXPECT_EQ(Status(), "");
    }
    EXPECT_FALSE(page_->IsSearching());
  }
  EXPECT_EQ(page_->GetResultList()->GetItemText(0, 0), "");

  // A size text that would make the request pass its buffer is refused before anything is sent.
  device_->Command("auxtext 1021 -");
  const std::string before = device_->Command("count AUX 1021");
  qobject_cast<QLineEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_MAX_SIZE))->setText(QString(2000, '1'));
  Click(CSearchRecDlg::IDC_QUERY);
  EXPECT_EQ(Message(), "The file size limits are too long, please re-enter them!");
  EXPECT_FALSE(page_->IsSearching());
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(device_->Command("count AUX 1021"), before);
}

TEST_F(NvrRecordsTest, ASearchTheNvrNeverAnswersEndsAfterItsWait) {
  Record(1, "Schedule", 8, 0, 0);
  ASSERT_EQ(device_->Command("aux 1021 1"), "OK");  // answered as failed: nothing reaches the page
  ASSERT_TRUE(page_->SetSearchDevInfo(ch1_));
  SetCombo(CSearchRecDlg::IDC_SOURCE, 1);
  SetSpan(5);
  Click(CSearchRecDlg::IDC_QUERY);
  EXPECT_FALSE(TakeRequest(kNvrFileSearchCode).empty());
  ASSERT_TRUE(page_->IsSearching());
  EXPECT_EQ(Status(), "Searching, please waiting...");
  EXPECT_FALSE(page_->SetSearchDevInfo(ch2_));
  page_->OnTimer(CSearchRecDlg::kSearchWaitTimer);  // the wait is over
  EXPECT_FALSE(page_->IsSearching());
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(Message(), "Network connect timeout,please re-try!");
  EXPECT_TRUE(page_->SetSearchDevInfo(ch2_));

  // An answer in time stops the wait: a late expiry says nothing.
  ASSERT_EQ(device_->Command("aux 1021 0"), "OK");
  ASSERT_TRUE(SearchNvr(ch1_));
  EXPECT_EQ(page_->GetResultList()->GetItemCount(), 1);
  page_->OnTimer(CSearchRecDlg::kSearchWaitTimer);
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(page_->GetResultList()->GetItemCount(), 1);
}

}  // namespace
