// The page's NVR searches: the request texts, and the file search and day
// query against the fake device through the device-messaging control.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QByteArray>
#include <QComboBox>
#include <QDateTimeEdit>
#include <climits>
#include <memory>
#include <optional>
#include <vector>

#include "common/wait_for.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "fake_device_process.h"
#include "gimbro/gimbro.h"
#include "live/streams/gimbro_events.h"
#include "platform/string_table.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/search/nvr_search_text.h"
#include "nvr_page_fixture.h"
#include "records/search/rec_tree.h"
#include "records/search/search_rec_dlg.h"
#include "ui/sort_list_ctrl.h"

namespace {

TEST(NvrSearchText, RequestsKeepTheirFixedLayout) {
  RecFileQuery form;
  form.start = {2024, 1, 5, 8, 0, 0};
  form.end = {2024, 1, 5, 23, 59, 59};
  // Page layout: 4 tabs 5 blanks after the element's name, 5 tabs 1 blank
  // before each further attribute, 2 tabs 12 blanks before "/>"; the relay
  // layout has 4 tabs 3 blanks everywhere.
  const std::string head = "<REQUEST_PARAM\t\t\t\t     ";
  const std::string sep = "\t\t\t\t\t ";
  const std::string tail = "\t\t            />";
  const std::string relay = "\t\t\t\t   ";
  const std::string start = "StartTime=\"20240105 08:00:00\"";
  const std::string end = "EndTime=\"20240105 23:59:59\"";
  struct Case {
    int recType, media, stream;
    const char* minSize;
    const char* maxSize;
    int page;
    NvrSearchLayout layout;
    std::string expected;
  };
  const Case cases[] = {
      // All kinds and all streams: their places stay, empty, between their runs.
      {0, 0, 0, "-1", "-1", 0, NvrSearchLayout::kPage,
       head + sep + start + sep + end + sep + "MediaType=\"VIDEO\"" + sep + sep + "MinSize=\"-1\"" + sep +
           "MaxSize=\"-1\"" + sep + "Page=\"0\"" + tail},
      // A media code outside the table is left out too; sizes go as typed, empty included.
      {2, 5, 2, "", "1024", 3, NvrSearchLayout::kPage,
       head + "RecordMode=\"ALARM\"" + sep + start + sep + end + sep + sep + "StreamIndex=\"2\"" + sep +
           "MinSize=\"\"" + sep + "MaxSize=\"1024\"" + sep + "Page=\"3\"" + tail},
      // Every attribute.
      {3, 1, 4, "100", "2000000", 12, NvrSearchLayout::kPage,
       head + "RecordMode=\"MOTION\"" + sep + start + sep + end + sep + "MediaType=\"AUDIOVIDEO\"" + sep +
           "StreamIndex=\"4\"" + sep + "MinSize=\"100\"" + sep + "MaxSize=\"2000000\"" + sep + "Page=\"12\"" + tail},
      {1, 2, 1, "-1", "-1", 0, NvrSearchLayout::kPage,
       head + "RecordMode=\"SCHEDULE\"" + sep + start + sep + end + sep + "MediaType=\"PICTURE\"" + sep +
           "StreamIndex=\"1\"" + sep + "MinSize=\"-1\"" + sep + "MaxSize=\"-1\"" + sep + "Page=\"0\"" + tail},
      // The relay's layout, with and without the left-out places.
      {0, 7, 0, "-1", "-1", 1, NvrSearchLayout::kRelay,
       "<REQUEST_PARAM" + relay + relay + start + relay + end + relay + relay + relay + "MinSize=\"-1\"" + relay +
           "MaxSize=\"-1\"" + relay + "Page=\"1\"" + relay + "/>"},
      {1, 0, 3, "5", "6", 2, NvrSearchLayout::kRelay,
       "<REQUEST_PARAM" + relay + "RecordMode=\"SCHEDULE\"" + relay + start + relay + end + relay +
           "MediaType=\"VIDEO\"" + relay + "StreamIndex=\"3\"" + relay + "MinSize=\"5\"" + relay +
           "MaxSize=\"6\"" + relay + "Page=\"2\"" + relay + "/>"},
  };
  for (const Case& c : cases) {
    form.nRecType = c.recType;
    form.nMediaType = c.media;
    form.nStream = c.stream;
    form.strMinSize = c.minSize;
    form.strMaxSize = c.maxSize;
    const std::optional<std::string> body = NvrFileSearchBody(form, c.page, c.layout);
    ASSERT_TRUE(body.has_value());
    EXPECT_EQ(*body, c.expected);
  }
  EXPECT_EQ(NvrDayQueryBody(3, 2024, 1, 5), "<REQUEST_PARAM\t\t\t\t\t  ChannelId=\"3\"\t\t\t\t\t  Time=\"20240105\"\t\t\t\t\t  />");
  EXPECT_EQ(NvrDayQueryBody(-2147483647 - 1, 9999, 12, 31),
            "<REQUEST_PARAM\t\t\t\t\t  ChannelId=\"-2147483648\"\t\t\t\t\t  Time=\"99991231\"\t\t\t\t\t  />");

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

TEST(NvrSearchText, ARequestThatWouldPassItsBufferIsRefusedNotCut) {
  RecFileQuery form;
  form.start = {2024, 1, 5, 8, 0, 0};
  form.end = {2024, 1, 5, 23, 59, 59};
  form.strMinSize = "-1";
  form.strMaxSize = "-1";
  const size_t base = NvrFileSearchBody(form, 0)->size();
  // The typed size texts are free: the body grows with them up to 1023 characters.
  form.strMinSize = std::string(kNvrRequestMax - base + 2, '9');  // "-1" was 2 characters
  ASSERT_TRUE(NvrFileSearchBody(form, 0).has_value());
  EXPECT_EQ(NvrFileSearchBody(form, 0)->size(), kNvrRequestMax);
  form.strMinSize += "9";
  EXPECT_FALSE(NvrFileSearchBody(form, 0).has_value());
  form.strMinSize = "-1";
  form.strMaxSize = std::string(100000, '1');
  EXPECT_FALSE(NvrFileSearchBody(form, 0, NvrSearchLayout::kRelay).has_value());
}

TEST(NvrSearchText, AnswersAreReadWithinTheirFields) {
  const std::string longPath = "/" + std::string(kNvrFilePathMax, 'p');  // one character too many
  const std::string path1023 = "/" + std::string(kNvrFilePathMax - 1, 'q');
  struct Case {
    const char* name;
    std::string text;
    bool xml;
    int total;
    std::vector<std::string> paths;
    int refused;
  };
  const Case cases[] = {
      {"count 0 with children", "<RESPONSE_PARAM FileCount=\"0\"><RECORD_FILE FilePath=\"/a\" FileLength=\"1\"/></RESPONSE_PARAM>",
       true, 0, {"/a"}, 0},
      {"count 5 without children", "<RESPONSE_PARAM FileCount=\"5\"/>", true, 5, {}, 0},
      {"missing count", "<RESPONSE_PARAM><RECORD_FILE FilePath=\"/a\"/></RESPONSE_PARAM>", true, 0, {"/a"}, 0},
      {"empty count", "<RESPONSE_PARAM FileCount=\"\"/>", true, 0, {}, 0},
      {"count led by a line feed", "<RESPONSE_PARAM FileCount=\"&#10;7\"/>", true, 0, {}, 0},
      {"count of ten digits: nine are read", "<RESPONSE_PARAM FileCount=\"1234567890\"/>", true, 123456789, {}, 0},
      {"negative count", "<RESPONSE_PARAM FileCount=\"-3\"/>", true, -3, {}, 0},
      {"other root", "<ANSWER FileCount=\"4\"><RECORD_FILE FilePath=\"/a\"/></ANSWER>", true, 0, {}, 0},
      {"root name is case-sensitive", "<response_param FileCount=\"4\"/>", true, 0, {}, 0},
      {"other children skipped, order kept",
       "<RESPONSE_PARAM FileCount=\"2\"><X/><RECORD_FILE FilePath=\"/b\"/><RECORD_FILE FilePath=\"/a\"/></RESPONSE_PARAM>",
       true, 2, {"/b", "/a"}, 0},
      {"path of 1023 kept", "<RESPONSE_PARAM FileCount=\"1\"><RECORD_FILE FilePath=\"" + path1023 + "\"/></RESPONSE_PARAM>",
       true, 1, {path1023}, 0},
      {"over-long path left out",
       "<RESPONSE_PARAM FileCount=\"2\"><RECORD_FILE FilePath=\"" + longPath +
           "\"/><RECORD_FILE FilePath=\"/ok\"/></RESPONSE_PARAM>",
       true, 2, {"/ok"}, 1},
      {"over-long size left out",
       "<RESPONSE_PARAM FileCount=\"1\"><RECORD_FILE FilePath=\"/a\" FileLength=\"" + std::string(260, '7') +
           "\"/></RESPONSE_PARAM>",
       true, 1, {}, 1},
      {"not XML", "FileCount=5", false, 0, {}, 0},
      {"empty", "", false, 0, {}, 0},
      {"cut short", "<RESPONSE_PARAM FileCount=\"2\"><RECORD_FILE FilePath=\"/a", false, 0, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NvrFileAnswer answer;
    ASSERT_EQ(ParseNvrFileAnswer(c.text, &answer), c.xml);
    if (!c.xml) continue;
    EXPECT_EQ(answer.total, c.total);
    EXPECT_EQ(answer.refused, c.refused);
    std::vector<std::string> paths;
    for (const RecFileItem& item : answer.files) paths.push_back(item.strFilePath);
    EXPECT_EQ(paths, c.paths);
  }
  NvrFileAnswer sized;
  ASSERT_TRUE(ParseNvrFileAnswer("<RESPONSE_PARAM FileCount=\"1\"><RECORD_FILE FilePath=\"/a\" FileLength=\"" +
                                     std::string(259, '7') + "\"/><RECORD_FILE FileLength=\"9\"/></RESPONSE_PARAM>",
                                 &sized));
  ASSERT_EQ(sized.files.size(), 2u);
  EXPECT_EQ(sized.files[0].strFileSize.size(), 259u);
  EXPECT_EQ(sized.files[1].strFilePath, "");  // a missing attribute leaves its field empty
  EXPECT_EQ(sized.files[1].strFileSize, "9");

  struct DayCase {
    const char* name;
    std::string text;
    bool xml;
    int channel;
    size_t letters;
  };
  const DayCase days[] = {
      {"map cut at 1440", "<RESPONSE_PARAM ChannelId=\"2\" Stream=\"" + std::string(5000, 'B') + "\"/>", true, 2, 1440},
      {"map of 1440", "<RESPONSE_PARAM ChannelId=\"3\" Stream=\"" + std::string(1440, 'A') + "\"/>", true, 3, 1440},
      {"short map", "<RESPONSE_PARAM ChannelId=\"3\" Stream=\"AB\"/>", true, 3, 2},
      {"missing map", "<RESPONSE_PARAM ChannelId=\"4\"/>", true, 4, 0},
      {"channel past an int", "<RESPONSE_PARAM ChannelId=\"99999999999999999999\" Stream=\"A\"/>", true, INT_MAX, 1},
      {"channel that is no number", "<RESPONSE_PARAM ChannelId=\"x1\" Stream=\"A\"/>", true, 0, 1},
      {"other root", "<X ChannelId=\"4\" Stream=\"A\"/>", true, 0, 0},
      {"not XML", "<<<", false, 0, 0},
  };
  for (const DayCase& c : days) {
    SCOPED_TRACE(c.name);
    NvrDayAnswer answer;
    ASSERT_EQ(ParseNvrDayAnswer(c.text, &answer), c.xml);
    if (!c.xml) continue;
    EXPECT_EQ(answer.channel, c.channel);
    EXPECT_EQ(answer.map.size(), c.letters);
  }
}

// The fake device without a record tree: its fixed answers.
class NvrSearchTest : public NvrPageTest {
 protected:
  QStringList DeviceArguments() const override { return {}; }
};

TEST_F(NvrSearchTest, AFileSearchKeepsThePageBusyUntilItsAnswer) {
  ASSERT_TRUE(page_->SetSearchDevInfo(ch1_));
  qobject_cast<QComboBox*>(page_->GetDlgItem(CSearchRecDlg::IDC_SOURCE))->setCurrentIndex(1);
  qobject_cast<QAbstractButton*>(page_->GetDlgItem(CSearchRecDlg::IDC_QUERY))->click();
  const std::string record = device_->Take("AUX 1021");
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
  const std::string record = device_->Take("AUX 3001");
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
