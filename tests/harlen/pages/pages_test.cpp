// The pages of the main configuration window against the fake NVR: each is
// filled from the NVR's configuration, and an edit on each, saved with OK, is
// read back from the NVR's store.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <cstring>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/sched_grid_ctrl.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/pages/alarm/dlg_alarm_config.h"
#include "harlen/pages/alarm/dlg_arming_time.h"
#include "harlen/pages/alarm/dlg_link_set.h"
#include "harlen/pages/channels/dlg_channel_config.h"
#include "harlen/pages/common/dlg_copy_to.h"
#include "harlen/pages/device/dlg_dev_param_config.h"
#include "harlen/pages/device/dlg_hardware_config.h"
#include "harlen/pages/device/dlg_holiday_config.h"
#include "harlen/pages/device/dlg_holiday_set.h"
#include "pages/page_fixture.h"
#include "support/modal_driver.h"

namespace {

enum Tab { kDeviceTab = 0, kChannelTab = 1, kDiskTab = 5, kAlarmTab = 6, kHolidayTab = 9 };

using Pages = NvrPagesTest;

}  // namespace

TEST_F(Pages, AlarmPageShowsEditsAndSavesTheAlarmInputs) {
  auto* page = PageOf<CDlgAlarmConfig>(kAlarmTab);
  EXPECT_TRUE(IsDlgButtonChecked(page, CDlgAlarmConfig::IDC_CHECK_HANDLE));
  EXPECT_TRUE(page->GetDlgItem(CDlgAlarmConfig::IDC_BTN_ARMING)->isEnabled());
  EXPECT_EQ(DlgItem<QLineEdit>(page, CDlgAlarmConfig::IDC_EDIT_IP)->text(), QStringLiteral("本地"));
  EXPECT_FALSE(page->GetDlgItem(1107)->isVisible());

  // Input 3 is off: its buttons are disabled once the posted click ran.
  SetCurSel(page, CDlgAlarmConfig::IDC_COMBO_INPUT, 2);
  Settle();
  EXPECT_FALSE(IsDlgButtonChecked(page, CDlgAlarmConfig::IDC_CHECK_HANDLE));
  EXPECT_FALSE(page->GetDlgItem(CDlgAlarmConfig::IDC_BTN_LINKAGE)->isEnabled());
  Click(page, CDlgAlarmConfig::IDC_CHECK_HANDLE);
  EXPECT_TRUE(page->GetDlgItem(CDlgAlarmConfig::IDC_BTN_LINKAGE)->isEnabled());
  EXPECT_EQ(g_AlarmLinkage.inputAlarm[2].Enable, 1);

  // Its arming time: Sunday 0:00 painted.
  OnNextModal<CDlgArmingTime>([](CDlgArmingTime* dlg) {
    CSchedGridCtrl* grid = dlg->GetGrid();
    const int32_t before = grid->GetCell(0, 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(0, 1).center());
    EXPECT_NE(grid->GetCell(0, 1), before);
    Click(dlg, IDOK);
  });
  const SchedCell sunday0 = g_AlarmLinkage.inputAlarm[2].arming[0][0];
  Click(page, CDlgAlarmConfig::IDC_BTN_ARMING);
  const SchedCell expectedSunday0 = sunday0 == kArmed ? kNotArmed : kArmed;
  EXPECT_EQ(g_AlarmLinkage.inputAlarm[2].arming[0][0], expectedSunday0);

  // Its linkage: no SMS before, SMS after; record on channel 16.
  OnNextModal<CDlgLinkSet>([](CDlgLinkSet* dlg) {
    Click(dlg, 1153);
    Click(dlg, 1026);
    Click(dlg, IDOK);
  });
  Click(page, CDlgAlarmConfig::IDC_BTN_LINKAGE);
  // A name, cut to the field (two-byte characters: 63 of them fit in 127 bytes).
  Type(page, CDlgAlarmConfig::IDC_EDIT_NAME, QString(64, QChar(0x4E00)));
  EXPECT_EQ(FieldText(g_AlarmLinkage.inputAlarm[2].name).size(), 126u);

  // An exception flag of the second type.
  SetCurSel(page, CDlgAlarmConfig::IDC_COMBO_EXCEPTION, 1);
  EXPECT_TRUE(IsDlgButtonChecked(page, CDlgAlarmConfig::IDC_CHECK_CENTER));
  Click(page, CDlgAlarmConfig::IDC_CHECK_CENTER);
  Click(page, CDlgAlarmConfig::IDC_CHECK_OUTPUT);
  EXPECT_EQ(g_AlarmLinkage.sysAlarm[1].NotifyCenter, 0);

  // Copy input 3 to input 4 (and to itself, which changes nothing).
  OnNextModal<CDlgCopyTo>([](CDlgCopyTo* dlg) {
    Click(dlg, CDlgCopyTo::kBoxIds[2]);
    Click(dlg, CDlgCopyTo::kBoxIds[3]);
    Click(dlg, IDOK);
  });
  Click(page, CDlgAlarmConfig::IDC_BTN_COPY);
  EXPECT_EQ(std::memcmp(&g_AlarmLinkage.inputAlarm[3], &g_AlarmLinkage.inputAlarm[2], sizeof(AlarmPortEntry)), 0)
      << "the whole record, the name too";

  Records stored;
  SaveAndReadBack(stored);
  for (int input : {2, 3}) {
    const AlarmPortEntry& port = stored.alarm->inputAlarm[input];
    EXPECT_EQ(port.Enable, 1) << input;
    EXPECT_EQ(port.arming[0][0], expectedSunday0) << input;
    EXPECT_EQ(port.trigger.SMS, 1) << input;
    EXPECT_EQ(port.ChnNum, 16) << input;
    EXPECT_STREQ(port.ChnArray, "0000000000000001") << input;  // the NVR wrote "3": no box of it shows
  }
  EXPECT_EQ(stored.alarm->sysAlarm[1].NotifyCenter, 0);
  EXPECT_EQ(stored.alarm->sysAlarm[1].TriggerIO, 1);
  EXPECT_EQ(stored.alarm->inputAlarm[0].Enable, 1) << "the others as they were";
}

TEST_F(Pages, ChannelPageShowsEditsAndSavesDisplayAndCameraAlarms) {
  auto* page = PageOf<CDlgChannelConfig>(kChannelTab);
  QTreeWidget* tree = page->GetTree();
  const int channels = static_cast<int>(g_ChannelCfg.displayCount);
  ASSERT_EQ(tree->topLevelItemCount(), channels);
  EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("CAM1       "));
  EXPECT_EQ(DlgItem<QLineEdit>(page, CDlgChannelConfig::IDC_EDIT_TITLE1)->text(), QStringLiteral("前门"));
  EXPECT_EQ(page->GetSpin(CDlgChannelConfig::IDC_EDIT_CONTRAST)->value(), 121);

  // A second whole configuration does not list the channels twice.
  g_ChannelCfg.display[0].contrast = 7;
  ASSERT_EQ(nvr.Command("push config"), "OK 1");
  ASSERT_TRUE(WaitFor([] { return g_ChannelCfg.display[0].contrast == 121; })) << "loaded again";
  Settle();
  EXPECT_EQ(tree->topLevelItemCount(), channels);

  // Channel 3: title 1 on, a new title, date off, default picture.
  tree->setCurrentItem(tree->topLevelItem(2));
  Settle();
  EXPECT_FALSE(IsDlgButtonChecked(page, CDlgChannelConfig::IDC_CHECK_TITLE1));
  EXPECT_FALSE(page->GetDlgItem(CDlgChannelConfig::IDC_EDIT_TITLE1)->isEnabled());
  Click(page, CDlgChannelConfig::IDC_CHECK_TITLE1);
  EXPECT_TRUE(page->GetDlgItem(CDlgChannelConfig::IDC_EDIT_TITLE1)->isEnabled());
  Type(page, CDlgChannelConfig::IDC_EDIT_TITLE1, QStringLiteral("后门"));
  Click(page, CDlgChannelConfig::IDC_CHECK_DATE);
  Click(page, CDlgChannelConfig::IDC_BTN_DEFAULT);
  for (uint8_t value : {g_ChannelCfg.display[2].brightness, g_ChannelCfg.display[2].contrast,
                        g_ChannelCfg.display[2].saturation, g_ChannelCfg.display[2].chroma}) {
    EXPECT_EQ(value, 128);
  }
  // Its video loss alarm off; its motion detection linked to channel 9.
  Click(page, 1032);
  EXPECT_FALSE(page->GetDlgItem(1030)->isEnabled());
  OnNextModal<CDlgMoveLinkSet>([](CDlgMoveLinkSet* dlg) {
    Click(dlg, 1019);
    Click(dlg, IDOK);
  });
  Click(page, 1027);
  // Copy channel 3's motion entry to channels 1, 3 and 5: 1 and 5 change.
  const AlarmChannelEntry channel4 = g_AlarmLinkage.ipcAlarm[0].channels[3];
  OnNextModal<CDlgCopyTo>([](CDlgCopyTo* dlg) {
    for (int box : {0, 2, 4}) Click(dlg, CDlgCopyTo::kBoxIds[box]);
    Click(dlg, IDOK);
  });
  Click(page, 1028);
  const AlarmChannelEntry& source = g_AlarmLinkage.ipcAlarm[0].channels[2];
  EXPECT_EQ(std::memcmp(&g_AlarmLinkage.ipcAlarm[0].channels[0], &source, sizeof source), 0);
  EXPECT_EQ(std::memcmp(&g_AlarmLinkage.ipcAlarm[0].channels[4], &source, sizeof source), 0);
  EXPECT_EQ(std::memcmp(&g_AlarmLinkage.ipcAlarm[0].channels[3], &channel4, sizeof channel4), 0);
  // Channel 2 left out of the display rows.
  tree->setCurrentItem(tree->topLevelItem(1));
  Settle();
  Click(page, CDlgChannelConfig::IDC_CHECK_DISPLAY);

  Records stored;
  SaveAndReadBack(stored);
  const ChannelDisplay& display = stored.channel->display[2];
  EXPECT_EQ(display.name1enable, 1);
  EXPECT_EQ(display.timedisplay, 0);
  EXPECT_EQ(FieldText(display.name1), "\xBA\xF3\xC3\xC5");  // "后门" in GBK
  EXPECT_EQ(display.contrast, 128);
  EXPECT_EQ(stored.channel->displayCount, static_cast<uint32_t>(channels - 1)) << "channel 2 left out";
  EXPECT_EQ(stored.alarm->ipcAlarm[1].channels[2].Enable, 0);
  EXPECT_STREQ(stored.alarm->ipcAlarm[0].channels[2].ChnArray, "0000000010000000");
  EXPECT_STREQ(stored.alarm->ipcAlarm[0].channels[4].ChnArray, "0000000010000000");
}

TEST_F(Pages, ChannelPageWithoutAChosenChannelChangesNothing) {
  auto* page = PageOf<CDlgChannelConfig>(kChannelTab);
  page->GetTree()->clearSelection();
  page->GetTree()->setCurrentItem(nullptr);
  const ChannelCfg channels = g_ChannelCfg;
  const AlarmLinkage alarms = g_AlarmLinkage;
  Click(page, CDlgChannelConfig::IDC_CHECK_DISPLAY);
  Click(page, CDlgChannelConfig::IDC_BTN_DEFAULT);
  Click(page, 1017);
  Click(page, 1026);  // no arming editor opens
  Click(page, 1028);  // no copy-to opens
  EXPECT_EQ(std::memcmp(&channels, &g_ChannelCfg, sizeof channels), 0);
  EXPECT_EQ(std::memcmp(&alarms, &g_AlarmLinkage, sizeof alarms), 0);
}

TEST_F(Pages, DevicePageShowsEditsAndSavesAndSetsTheTime) {
  auto* page = PageOf<CDlgDevParamConfig>(kDeviceTab);
  EXPECT_EQ(DlgItem<QLineEdit>(page, CDlgDevParamConfig::IDC_EDIT_NAME)->text(), QStringLiteral("录像机一号"));
  EXPECT_EQ(DlgItem<QLineEdit>(page, CDlgDevParamConfig::IDC_EDIT_SERIAL)->text(), QStringLiteral("NVR20240001"));
  EXPECT_EQ(DlgItem<QLineEdit>(page, CDlgDevParamConfig::IDC_EDIT_CHANNELS)->text(), QStringLiteral("16"));
  EXPECT_EQ(DlgItem<QLineEdit>(page, CDlgDevParamConfig::IDC_EDIT_MAINVER)->text(), QStringLiteral("V3.2.1 build 240101"));
  EXPECT_EQ(DlgItem<QComboBox>(page, CDlgDevParamConfig::IDC_COMBO_MODE)->currentText(), QStringLiteral("1080P"));
  EXPECT_EQ(page->GetStartHour()->value(), 2);
  EXPECT_TRUE(page->GetStartHour()->isEnabled());
  // The NVR's time is shown in the picker and its zone; the clock is the computer's.
  ASSERT_TRUE(WaitFor([&] { return page->GetPicker()->dateTime().date() == QDate(2024, 3, 5); }));
  EXPECT_EQ(page->GetPicker()->time(), QTime(6, 7, 8));
  EXPECT_EQ(DlgItem<QComboBox>(page, CDlgDevParamConfig::IDC_COMBO_ZONE)->currentText(), QStringLiteral("东8区"));
  EXPECT_TRUE(DlgItem<QLabel>(page, CDlgDevParamConfig::IDC_STATIC_CLOCK)->text().startsWith(
      QString::number(QDate::currentDate().year())));

  Type(page, CDlgDevParamConfig::IDC_EDIT_NAME, QStringLiteral("新录像机"));
  Type(page, CDlgDevParamConfig::IDC_EDIT_ID, QStringLiteral("12x"));
  SetCurSel(page, CDlgDevParamConfig::IDC_COMBO_MODE, 2);
  SetCurSel(page, CDlgDevParamConfig::IDC_COMBO_START_MONTH, 3);
  SetCurSel(page, CDlgDevParamConfig::IDC_COMBO_END_WEEK, 4);
  SetCurSel(page, CDlgDevParamConfig::IDC_COMBO_OFFSET, 3);
  page->GetStartHour()->setValue(22);  // above 15: the record holds every hour
  page->GetEndHour()->setValue(23);
  Click(page, CDlgDevParamConfig::IDC_CHECK_IPCTIME);

  Records stored;
  SaveAndReadBack(stored);
  EXPECT_EQ(FieldText(stored.system->devicecfg.name), "\xD0\xC2\xC2\xBC\xCF\xF1\xBB\xFA");  // GBK
  EXPECT_EQ(stored.system->devicecfg.id, 12u);
  EXPECT_EQ(stored.system->devicecfg.mode, kMode960P);
  const SummerTime& summer = stored.system->summerTime;
  EXPECT_EQ(summer.enable, 1);
  EXPECT_EQ(summer.start.month, 3);
  EXPECT_EQ(summer.start.hour, 22);
  EXPECT_EQ(summer.end.hour, 23);
  EXPECT_EQ(summer.end.week, 4);
  EXPECT_EQ(summer.offset, 3);
  EXPECT_EQ(stored.common->setipctime, 0u);

  // Apply: the picked time in zone "西5区" (-5) becomes the NVR's time.
  page->GetPicker()->setDateTime(QDateTime(QDate(2031, 12, 30), QTime(23, 58, 1)));
  SetCurSel(page, CDlgDevParamConfig::IDC_COMBO_ZONE, 7);
  Click(page, CDlgDevParamConfig::IDC_BTN_APPLY);
  ASSERT_FALSE(nvr.Take("CTRL 3 ").empty());
  OpenLink open(nvr.Port());
  ASSERT_EQ(open.link.QueryStatus(4100), 0);
  const auto reply = open.log.Take(IsReply(4402, 4100));
  ASSERT_TRUE(reply.has_value());
  EXPECT_NE(reply->data.find("timezone=\"-5\" year=\"2031\" month=\"12\" day=\"30\" hour=\"23\" minute=\"58\""),
            std::string::npos)
      << reply->data;

  // Daylight saving off: its nine controls are disabled.
  Click(page, CDlgDevParamConfig::IDC_CHECK_DST);
  for (int id : {1083, 1084, 1085, 1086, 1087, 1088, 1089, 1021, 1022}) {
    EXPECT_FALSE(page->GetDlgItem(id)->isEnabled()) << id;
  }
  EXPECT_EQ(g_SystemParam.summerTime.enable, 0);
}

TEST_F(Pages, DiskPageListsFormatsAndRefreshes) {
  auto* page = PageOf<CDlgHardwareConfig>(kDiskTab);
  QTreeWidget* list = page->GetList();
  ASSERT_TRUE(WaitFor([&] { return list->topLevelItemCount() == 2; }));
  const QTreeWidgetItem* first = list->topLevelItem(0);
  EXPECT_EQ(first->text(0), QStringLiteral("sda"));
  EXPECT_EQ(first->text(1), QStringLiteral("2"));
  EXPECT_EQ(first->text(4), QStringLiteral("1395729"));
  EXPECT_EQ(GetCurSel(page, CDlgHardwareConfig::IDC_COMBO_MODE), 1) << "record";
  EXPECT_EQ(GetCurSel(page, CDlgHardwareConfig::IDC_COMBO_STATE), 1) << "in use";
  SetCurSel(page, CDlgHardwareConfig::IDC_COMBO_DISK, 1);
  EXPECT_EQ(GetCurSel(page, CDlgHardwareConfig::IDC_COMBO_MODE), 2) << "backup";
  SetCurSel(page, CDlgHardwareConfig::IDC_COMBO_STATE, 1);
  EXPECT_EQ(g_DiskStatus.disks[1].inUse, 1);

  // Refresh asks for the disk section and the disk status, which refills the list.
  nvr.Command("clear");
  g_DiskStatus.count = 0;
  page->FillDiskList();
  EXPECT_EQ(list->topLevelItemCount(), 0);
  Click(page, CDlgHardwareConfig::IDC_BTN_REFRESH);
  EXPECT_EQ(nvr.Take("GET"), "GET 7");
  EXPECT_EQ(nvr.Take("CTRL"), "CTRL 4097");
  ASSERT_TRUE(WaitFor([&] { return list->topLevelItemCount() == 2; }));

  // Format the second disk: No asks nothing of the NVR, Yes formats it.
  SetCurSel(page, CDlgHardwareConfig::IDC_COMBO_DISK, 1);
  answerer.AnswerMessage(QMessageBox::No);
  Click(page, CDlgHardwareConfig::IDC_BTN_FORMAT);
  answerer.AnswerMessage(QMessageBox::Yes);
  Click(page, CDlgHardwareConfig::IDC_BTN_FORMAT);
  const std::string format = nvr.Take("CTRL 1 ");
  ASSERT_FALSE(format.empty());
  EXPECT_EQ(nvr.Count("CTRL 1 "), 0) << "one format asked for";
  EXPECT_NE(format.find(QByteArray("sdb").toHex().toStdString()), std::string::npos) << format;
  auto* text = DlgItem<QLabel>(page, CDlgHardwareConfig::IDC_STATIC_PROGRESS);
  ASSERT_TRUE(WaitFor([&] { return text->text() == QStringLiteral("格式化完成"); }));
  EXPECT_FALSE(page->IsBusy());
  EXPECT_FALSE(page->GetProgress()->isVisible());
  EXPECT_EQ(page->GetProgress()->value(), 100);
}

TEST(DiskProgress, EachResultMovesTheBarAndTheBusyFlag) {
  CDlgHardwareConfig page(nullptr);
  page.Create(CDlgHardwareConfig::IDD);
  page.show();
  auto* text = DlgItem<QLabel>(&page, CDlgHardwareConfig::IDC_STATIC_PROGRESS);
  QProgressBar* bar = page.GetProgress();
  auto progress = [](int result, int value) {
    FormatProgress p{};
    p.result = result;
    p.value = value;
    return p;
  };
  page.ShowFormatProgress(progress(1, 30));  // running before started: both stay hidden
  EXPECT_FALSE(bar->isVisible());
  EXPECT_FALSE(text->isVisible());
  EXPECT_EQ(bar->value(), 30);
  const struct {
    int result, value;
    bool busy, barShown;
    const char* text;
    int barValue;
  } steps[] = {{0, 0, true, true, "格式化开始", 0},
               {1, 40, true, true, "正在格式化，已完成40", 40},
               {7, 90, true, true, "正在格式化，已完成40", 40},  // unknown: nothing
               {3, 0, false, false, "格式化失败", 40},
               {0, 0, true, true, "格式化开始", 0},
               {2, 100, false, false, "格式化完成", 100}};
  for (const auto& step : steps) {
    page.ShowFormatProgress(progress(step.result, step.value));
    EXPECT_EQ(page.IsBusy(), step.busy) << step.result;
    EXPECT_EQ(bar->isVisible(), step.barShown) << step.result;
    EXPECT_EQ(text->text(), QString::fromUtf8(step.text)) << step.result;
    EXPECT_EQ(bar->value(), step.barValue) << step.result;
  }
}

TEST_F(Pages, HolidayPageAddsEditsDeletesAndSavesTheThreeKinds) {
  auto* page = PageOf<CDlgHolidayConfig>(kHolidayTab);
  QTreeWidget* list = page->GetList();
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("2024年10月1日"));
  EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("按星期"));

  // Add by week; cancel an add; delete the first; edit the (new) first into by month.
  g_CommonCfg.holidays[3].mode = kHolidayByMonth;  // a leftover past the count
  OnNextModal<CDlgHolidaySet>([](CDlgHolidaySet* dlg) {
    EXPECT_EQ(GetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_KIND), 0) << "a new period starts empty";
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_KIND, kHolidayByWeek);
    Type(dlg, CDlgHolidaySet::IDC_EDIT_FROM, QStringLiteral("2"));
    Type(dlg, CDlgHolidaySet::IDC_EDIT_TO, QStringLiteral("3"));
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_FROM_A, 4);
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_TO_B, 6);
    Click(dlg, IDOK);
  });
  Click(page, CDlgHolidayConfig::IDC_BTN_ADD);
  ASSERT_EQ(list->topLevelItemCount(), 4);
  EXPECT_EQ(list->topLevelItem(3)->text(2), QStringLiteral("2月第5周第1天"));
  OnNextModal<CDlgHolidaySet>([](CDlgHolidaySet* dlg) { Click(dlg, IDCANCEL); });
  Click(page, CDlgHolidayConfig::IDC_BTN_ADD);
  EXPECT_EQ(g_CommonCfg.holidayCount, 4u);

  list->setCurrentItem(list->topLevelItem(0));
  answerer.AnswerMessage(QMessageBox::Yes);
  Click(page, CDlgHolidayConfig::IDC_BTN_DELETE);
  ASSERT_EQ(list->topLevelItemCount(), 3);
  EXPECT_EQ(list->topLevelItem(2)->text(0), QStringLiteral("3")) << "renumbered";
  list->setCurrentItem(list->topLevelItem(0));
  OnNextModal<CDlgHolidaySet>([](CDlgHolidaySet* dlg) {
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_KIND, kHolidayByMonth);
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_FROM_A, 6);
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_FROM_B, 14);
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_TO_A, 6);
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_TO_B, 15);
    Click(dlg, IDOK);
  });
  Click(page, CDlgHolidayConfig::IDC_BTN_EDIT);
  EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("7月16日"));

  Records stored;
  SaveAndReadBack(stored);
  ASSERT_EQ(stored.common->holidayCount, 3u);
  EXPECT_EQ(stored.common->holidays[0].mode, kHolidayByMonth);
  EXPECT_EQ(stored.common->holidays[0].bymonth.fromday, 15);
  EXPECT_EQ(stored.common->holidays[1].mode, kHolidayByMonth);
  EXPECT_EQ(stored.common->holidays[2].mode, kHolidayByWeek);
  EXPECT_EQ(stored.common->holidays[2].byweek.frommonth, 2);
  EXPECT_EQ(stored.common->holidays[2].byweek.fromweek, 5);
  EXPECT_EQ(stored.common->holidays[2].byweek.toweekday, 7);

  // Full: adding opens nothing and changes nothing.
  g_CommonCfg.holidayCount = kHolidayPeriods;
  Click(page, CDlgHolidayConfig::IDC_BTN_ADD);
  EXPECT_EQ(g_CommonCfg.holidayCount, static_cast<uint32_t>(kHolidayPeriods));
}
