// The page's NVR searches: the request texts, and the file search and day
// query against the fake device through the device-messaging control.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QByteArray>
#include <QComboBox>
#include <QDateTimeEdit>
#include <memory>

#include "common/wait_for.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "fake_device_process.h"
#include "gimbro/gimbro.h"
#include "live/streams/gimbro_events.h"
#include "platform/string_table.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/search/nvr_search_text.h"
#include "records/search/rec_tree.h"
#include "records/search/search_rec_dlg.h"
#include "ui/sort_list_ctrl.h"

namespace {

TEST(NvrSearchText, RequestsKeepTheirFixedLayout) {
  RecFileQuery form;
  form.start = {2024, 1, 5, 8, 0, 0};
  form.end = {2024, 1, 5, 23, 59, 59};
  const std::string head = "<REQUEST_PARAM\t\t\t\t     ";
  const std::string sep = "\t\t\t\t\t ";
  const std::string tail = "\t\t            />";
  const std::string span = sep + "StartTime=\"20240105 08:00:00\"" + sep + "EndTime=\"20240105 23:59:59\"";
  struct Case {
    int recType, media, stream;
    const char* minSize;
    const char* maxSize;
    int page;
    std::string expected;
  };
  const Case cases[] = {
      {0, 0, 0, "-1", "-1", 0,
       head + span + sep + "MediaType=\"VIDEO\"" + sep + sep + "MinSize=\"-1\"" + sep + "MaxSize=\"-1\"" + sep +
           "Page=\"0\"" + tail},
      {2, 5, 2, "", "1024", 3,
       head + "RecordMode=\"ALARM\"" + span + sep + sep + "StreamIndex=\"2\"" + sep + "MinSize=\"\"" + sep +
           "MaxSize=\"1024\"" + sep + "Page=\"3\"" + tail},
  };
  for (const Case& c : cases) {
    form.nRecType = c.recType;
    form.nMediaType = c.media;
    form.nStream = c.stream;
    form.strMinSize = c.minSize;
    form.strMaxSize = c.maxSize;
    EXPECT_EQ(NvrFileSearchBody(form, c.page), c.expected);
  }
  EXPECT_EQ(NvrDayQueryBody(3, 2024, 1, 5), "<REQUEST_PARAM\t\t\t\t\t  ChannelId=\"3\"\t\t\t\t\t  Time=\"20240105\"\t\t\t\t\t  />");

  NvrFileAnswer files;
  ASSERT_TRUE(ParseNvrFileAnswer("<RESPONSE_PARAM FileCount=\"0\"><RECORD_FILE FilePath=\"/a\" /></RESPONSE_PARAM>", &files));
  EXPECT_EQ(files.total, 0);
  ASSERT_TRUE(ParseNvrFileAnswer("<RESPONSE_PARAM FileCount=\"5\"><OTHER/></RESPONSE_PARAM>", &files));
  EXPECT_EQ(files.total, 5);
  EXPECT_TRUE(files.files.empty());
  EXPECT_FALSE(ParseNvrFileAnswer("no xml", &files));
  NvrDayAnswer day;
  ASSERT_TRUE(ParseNvrDayAnswer("<RESPONSE_PARAM ChannelId=\"2\" Stream=\"" + std::string(1500, 'A') + "\"/>", &day));
  EXPECT_EQ(day.channel, 2);
  EXPECT_EQ(day.map.size(), 1440u);
}

class NvrSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    ASSERT_TRUE(device_.Ready());
    ctrl_ = std::make_unique<CGimbroCtrl>();
    ctrl_->Advise(&events_);
    page_ = new CSearchRecDlg(&main_);
    ASSERT_TRUE(page_->Create(CSearchRecDlg::IDD, &main_));
    main_.resize(1024, 768);
    page_->setGeometry(0, 0, 1024, 768);
    page_->show();  // the main window shows the module's page
    main_.show();
    events_.SetRecordSearchPage(page_->GetSafeHwnd());
    const LONG id = ctrl_->AddDevice("127.0.0.1", device_.Port(), "admin", "secret");
    ASSERT_GT(id, 0);
    ASSERT_FALSE(device_.Take("LOGIN").empty());
    for (int channel = 1; channel <= 2; ++channel) {
      DevInfo dev = MakeDevice(4, channel == 1 ? "ch1" : "ch2", "10.0.0.9", channel, "NVR-A");
      dev.GimbroId = id;
      dev.pGimbroCtrl = ctrl_.get();
      g_lstDevInfo.push_back(dev);
    }
    ch1_ = &*std::next(g_lstDevInfo.rbegin());
    ch2_ = &g_lstDevInfo.back();
    ASSERT_TRUE(WaitFor([&] { return ctrl_->CanReplay(id) == 1u; }));  // logged in
  }
  void TearDown() override {
    g_lstDevInfo.pop_back();
    g_lstDevInfo.pop_back();
    ctrl_->Unadvise(&events_);
  }

  FakeDeviceProcess device_;
  std::unique_ptr<CGimbroCtrl> ctrl_;
  CGimbroEvents events_;
  QWidget main_;
  CSearchRecDlg* page_ = nullptr;
  DevInfo* ch1_ = nullptr;
  DevInfo* ch2_ = nullptr;
};

TEST_F(NvrSearchTest, AFileSearchKeepsThePageBusyUntilItsAnswer) {
  ASSERT_TRUE(page_->SetSearchDevInfo(ch1_));
  qobject_cast<QComboBox*>(page_->GetDlgItem(CSearchRecDlg::IDC_SOURCE))->setCurrentIndex(1);
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY))->click();
  const std::string record = device_.Take("AUX 1021");
  ASSERT_FALSE(record.empty());
  // "AUX <code> <status> <hex type> <hex body>"
  const std::string body = QByteArray::fromHex(QByteArray::fromStdString(record.substr(record.rfind(' ') + 1))).toStdString();
  EXPECT_EQ(body.rfind("<REQUEST_PARAM", 0), 0u);
  EXPECT_NE(body.find("Page=\"0\""), std::string::npos);

  // While the answer is awaited the page is busy, whatever its status line reads.
  EXPECT_TRUE(page_->IsSearching());
  EXPECT_FALSE(page_->SetSearchDevInfo(ch2_));
  ASSERT_TRUE(WaitFor([&] { return !page_->IsSearching(); }));
  ASSERT_EQ(page_->GetResultList()->GetItemCount(), 2);
  EXPECT_EQ(page_->GetResultList()->GetItemText(0, 0), "/mnt/sd1/rec/20240105/080000.avi");
  EXPECT_EQ(page_->GetResultList()->GetItemText(1, 1), "524288");
  EXPECT_TRUE(page_->GetDlgItem(CSearchRecDlg::IDC_DOWNLOAD)->isEnabled());
  EXPECT_TRUE(page_->SetSearchDevInfo(ch2_));
}

TEST_F(NvrSearchTest, ADayQueryFillsTheRowOfItsChannel) {
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_TIME_MODE))->click();
  qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY_DAY))->setDate(QDate(2024, 1, 5));
  ASSERT_TRUE(page_->SetSearchDevInfo(ch2_));
  const std::string record = device_.Take("AUX 3001");
  ASSERT_FALSE(record.empty());
  const std::string body = QByteArray::fromHex(QByteArray::fromStdString(record.substr(record.rfind(' ') + 1))).toStdString();
  EXPECT_EQ(body, NvrDayQueryBody(2, 2024, 1, 5));
  // The fake device's map: 8 hours of plan, 1 hour of alarm, then nothing.
  ASSERT_TRUE(WaitFor([&] { return page_->Slots().pb[0].day.szDayMap[0] == 'A'; }));
  const std::string map(page_->Slots().pb[0].day.szDayMap);
  EXPECT_EQ(map, std::string(480, 'A') + std::string(60, 'B') + std::string(900, 'C'));
  ASSERT_NE(page_->GetTimeBar()->GetRow(0), nullptr);
  EXPECT_STREQ(page_->GetTimeBar()->GetRow(0)->szName, "ch2");
  EXPECT_EQ(page_->GetTimeBar()->GetRow(0)->nDay, 5u);
  // An answer for a channel that no row shows changes nothing.
  EXPECT_EQ(page_->OnQueryNVRRecFileResponse(ch2_->GimbroId, "<RESPONSE_PARAM ChannelId=\"1\" Stream=\"BBBB\"/>"), 0);
  EXPECT_EQ(page_->Slots().pb[0].day.szDayMap[0], 'A');
  EXPECT_EQ(page_->OnQueryNVRRecFileResponse(ch2_->GimbroId, "garbage"), -1);
}

}  // namespace
