// The alarm search page: the device it searches (a local channel under its
// DevName, a relay device under MAC_IP), the kind boxes, the span and the rows
// and notices of a query.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QTest>
#include <memory>

#include "alarm_map_wall/alarm/log/alarm_log_queue.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "alarm_test_env.h"
#include "core/res_msg_dlg.h"
#include "platform/paths.h"
#include "platform/window_text.h"
#include "ui/sort_list_ctrl.h"

namespace {

class SearchAlarmDlgTest : public AlarmTest {
 protected:
  void SetUp() override {
    AlarmTest::SetUp();
    page_ = std::make_unique<CSearchAlarmDlg>(&main_);
    ASSERT_TRUE(page_->Create(CSearchAlarmDlg::IDD, &main_));
    panel_.setParent(page_.get());
    page_->SetDeviceListPanel(nullptr, &panel_);
    main_.resize(1100, 720);
    page_->resize(1100, 720);
    main_.show();
    page_->show();
  }
  void TearDown() override {
    panel_.setParent(nullptr);
    page_.reset();
    AlarmTest::TearDown();
  }
  void Log(const std::vector<AlarmLogEntry>& entries) {
    AlarmLogQueue::Options options;
    options.programFolder = paths::ProgramFolder();
    options.clock = [] { return LocalTime(2026, 1, 5, 12); };
    AlarmLogQueue queue(options);
    for (const AlarmLogEntry& entry : entries) queue.Push(entry);
    queue.Save();
  }
  void Span(const QDateTime& start, const QDateTime& end) {
    qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchAlarmDlg::IDC_START))->setDateTime(start);
    qobject_cast<QDateTimeEdit*>(page_->GetDlgItem(CSearchAlarmDlg::IDC_END))->setDateTime(end);
  }
  QCheckBox* Box(int id) { return qobject_cast<QCheckBox*>(page_->GetDlgItem(id)); }
  // A click on the box's square.
  void Click(int id) { QTest::mouseClick(Box(id), Qt::LeftButton, {}, QPoint(6, Box(id)->height() / 2)); }
  QString Notice() { return GetWindowTextW(page_->MsgDlg()->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT)); }
  CSortListCtrl& List() { return *page_->GetList(); }

  QWidget main_;
  QWidget panel_;
  std::unique_ptr<CSearchAlarmDlg> page_;
};

const QDateTime kDayStart(QDate(2026, 1, 5), QTime(0, 0, 0));
const QDateTime kDayEnd(QDate(2026, 1, 5), QTime(23, 59, 59));

}  // namespace

TEST_F(SearchAlarmDlgTest, AQueryListsTheChosenDevicesAlarmsAndCountsThem) {
  // Its own panel shows on an extension monitor only; the form moves beside it.
  EXPECT_FALSE(panel_.isVisible());
  const QPoint title = page_->GetDlgItem(1223)->pos();
  page_->SetActive(1);
  EXPECT_TRUE(panel_.isVisible());
  EXPECT_EQ(panel_.geometry(), QRect(5, 5, 220, 710));
  EXPECT_EQ(page_->GetDlgItem(1223)->pos(), title + QPoint(230, 0));
  EXPECT_GE(page_->GetList()->x(), 230);
  page_->SetActive(0);
  EXPECT_FALSE(panel_.isVisible());
  EXPECT_EQ(GetWindowTextW(page_->GetDlgItem(1233)), "Please select device from device list in the left!");
  EXPECT_EQ(GetWindowTextW(Box(1217)), "Motion Detect");
  page_->OnBnClickedQuery();
  EXPECT_EQ(Notice(), "Please select device to be queried!");

  const int64_t t = LocalTime(2026, 1, 5, 10, 30);
  Log({{"Front door", t, 14, "Motion Detect"}, {"Front door", t + 1, 9, "USB Space Shortage"},
       {"Front door", t + 2, 1000, "odd"}, {"id-Front door", t, 14, "not this one"}});
  page_->SetLocalDevice(&AddDevice("Front door"));
  EXPECT_EQ(page_->DeviceText(), "Front door") << "searched under the name the panel logs";
  Span(kDayStart, kDayEnd);
  EXPECT_TRUE(Box(CSearchAlarmDlg::IDC_ALL)->isChecked()) << "every kind at first";
  page_->OnBnClickedQuery();
  EXPECT_EQ(Notice(), "Query complete!Total 1 alarm records!");
  ASSERT_EQ(List().GetItemCount(), 1);
  EXPECT_EQ(List().GetItemText(0, 0), "Front door");
  EXPECT_EQ(List().GetItemText(0, 1), "Motion Detect");
  EXPECT_EQ(List().GetItemText(0, 2), "2026-01-05 10:30:00");
  EXPECT_EQ(List().GetItemText(0, 3), "Motion Detect");

  // Another device empties the list; a relay device is searched under MAC_IP.
  RelayDevice& peer = AddRelayDevice("00-11-22-33-44-55", "192.168.1.9");
  page_->SetRemoteDevice(&peer);
  EXPECT_EQ(List().GetItemCount(), 0);
  EXPECT_EQ(page_->DeviceText(), "00-11-22-33-44-55_192.168.1.9");
  page_->SetLocalDevice(nullptr);
  page_->SetRemoteDevice(nullptr);
  EXPECT_EQ(page_->DeviceText(), "00-11-22-33-44-55_192.168.1.9");

  // An inverted span is refused.
  Span(kDayEnd, kDayStart);
  page_->OnBnClickedQuery();
  EXPECT_EQ(Notice(), "Wrong time range,please reset!");
}

TEST_F(SearchAlarmDlgTest, TheAllBoxAndTheKindBoxesFollowEachOther) {
  const int64_t t = LocalTime(2026, 1, 5, 10);
  Log({{"Gate", t, 14, "m"}, {"Gate", t + 1, 15, "i"}, {"Gate", t + 2, 2, "on"}});
  page_->SetLocalDevice(&AddDevice("Gate"));
  Span(kDayStart, kDayEnd);
  Click(CSearchAlarmDlg::IDC_ALL);  // off
  for (const auto& kind : CSearchAlarmDlg::kKindBoxes) EXPECT_FALSE(Box(kind.id)->isChecked()) << kind.id;
  Click(CSearchAlarmDlg::IDC_ALL);  // on
  for (const auto& kind : CSearchAlarmDlg::kKindBoxes) EXPECT_TRUE(Box(kind.id)->isChecked()) << kind.id;
  Click(1217);  // motion off: "All" goes off
  EXPECT_FALSE(Box(CSearchAlarmDlg::IDC_ALL)->isChecked());
  page_->OnBnClickedQuery();
  EXPECT_EQ(page_->Results().size(), 2u);
  Click(CSearchAlarmDlg::IDC_ALL);
  Click(CSearchAlarmDlg::IDC_ALL);  // on and off again: every box off
  for (const auto& kind : CSearchAlarmDlg::kKindBoxes) EXPECT_FALSE(Box(kind.id)->isChecked()) << kind.id;
  page_->OnBnClickedQuery();
  EXPECT_EQ(Notice(), "Query complete!Total 0 alarm records!");
  EXPECT_EQ(List().GetItemCount(), 0);
}
