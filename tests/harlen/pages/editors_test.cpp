// The modal editors of the pages (copy-to, arming time, linkage, holiday
// period) and the rules the pages apply with them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <cstring>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/sched_grid_ctrl.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/pages/alarm/arming_cells.h"
#include "harlen/pages/alarm/dlg_arming_time.h"
#include "harlen/pages/alarm/dlg_link_set.h"
#include "harlen/pages/common/copy_to_rule.h"
#include "harlen/pages/common/dlg_copy_to.h"
#include "harlen/pages/device/device_time.h"
#include "harlen/pages/device/dlg_holiday_set.h"
#include "harlen/pages/device/holiday_list.h"
#include "pages/page_fixture.h"
#include "support/modal_driver.h"

TEST(CopyTo, SelectAllTicksHiddenBoxesTooAndOnlyOkWritesTheFlags) {
  int32_t flags[16] = {};
  OnNextModal<CDlgCopyTo>([](CDlgCopyTo* dlg) {
    EXPECT_TRUE(dlg->GetDlgItem(CDlgCopyTo::kBoxIds[3])->isVisible());
    EXPECT_FALSE(dlg->GetDlgItem(CDlgCopyTo::kBoxIds[4])->isVisible()) << "only four boxes shown";
    Click(dlg, CDlgCopyTo::IDC_CHECK_ALL);
    Click(dlg, IDOK);
  });
  CDlgCopyTo dlg;
  dlg.SetResult(flags);
  dlg.SetVisibleCount(4);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  for (int32_t flag : flags) EXPECT_EQ(flag, 1) << "the hidden boxes are ticked as well";

  int32_t untouched[16] = {};
  OnNextModal<CDlgCopyTo>([](CDlgCopyTo* dlg) {
    Click(dlg, CDlgCopyTo::IDC_CHECK_ALL);
    Click(dlg, IDCANCEL);
  });
  CDlgCopyTo cancelled;
  cancelled.SetResult(untouched);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  for (int32_t flag : untouched) EXPECT_EQ(flag, 0);
}

TEST(CopyTo, TheShownItemIsCopiedWholeToTheOtherTickedOnes) {
  struct Case {
    int source;
    std::vector<int> ticked;
    std::vector<int> changed;
  };
  const Case cases[] = {
      {2, {2}, {}},            // only the source ticked: nothing changes
      {2, {0, 2, 3}, {0, 3}},  // the source itself is never written
      {0, {1, 2, 3}, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    AlarmPortEntry ports[4] = {};
    for (int i = 0; i < 4; ++i) CopyFieldText(ports[i].name, "input " + std::to_string(i));
    ports[c.source].Enable = 1;
    ports[c.source].arming[7][23] = kArmed;
    ports[c.source].PtzAction = 2;
    int32_t flags[16] = {};
    for (int k : c.ticked) flags[k] = 1;
    const AlarmPortEntry source = ports[c.source];
    EXPECT_EQ(CopyToTicked(ports, 4, c.source, flags), static_cast<int>(c.changed.size()));
    for (int k = 0; k < 4; ++k) {
      const bool copied = std::find(c.changed.begin(), c.changed.end(), k) != c.changed.end() || k == c.source;
      EXPECT_EQ(std::memcmp(&ports[k], &source, sizeof source) == 0, copied) << "source " << c.source << " item " << k;
    }
  }
}

TEST(ArmingTime, ArmedHoursArePaintedAndPaintedHoursAreStoredArmed) {
  SchedCell record[kSchedDays][kSchedHours];
  for (auto& day : record) std::fill(std::begin(day), std::end(day), kNotArmed);
  record[0][0] = kArmed;
  record[3][10] = 4;  // not an arming value: kept as it is
  ArmingEditorCells cells;
  ArmingToEditor(record, cells);
  EXPECT_EQ(cells[0][1], 1);
  EXPECT_EQ(cells[0][2], 0);
  EXPECT_EQ(cells[3][11], 4);
  EXPECT_EQ(cells[5][0], 0) << "column 0 is no hour";

  // The editor paints a cell and ends with OK: the hour is armed in the record.
  OnNextModal<CDlgArmingTime>([](CDlgArmingTime* dlg) {
    CSchedGridCtrl* grid = dlg->GetGrid();
    EXPECT_EQ(grid->GetCell(0, 1), 1) << "an armed hour shows painted";
    EXPECT_EQ(grid->GetCell(3, 11), 4) << "other values keep their colour";
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(2, 6).center());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(0, 1).center());
    Click(dlg, IDOK);
  });
  EXPECT_TRUE(EditArmingTime(nullptr, record));
  EXPECT_EQ(record[2][5], kArmed) << "a painted hour can be armed";
  EXPECT_EQ(record[0][0], kNotArmed) << "a cleared hour is stored not armed";
  EXPECT_EQ(record[3][10], 4u);
  EXPECT_EQ(record[1][1], kNotArmed);

  // Cancel leaves the schedule exactly as it was.
  SchedCell before[kSchedDays][kSchedHours];
  std::memcpy(before, record, sizeof before);
  OnNextModal<CDlgArmingTime>([](CDlgArmingTime* dlg) {
    CSchedGridCtrl* grid = dlg->GetGrid();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(6, 20).center());
    Click(dlg, IDCANCEL);
  });
  EXPECT_FALSE(EditArmingTime(nullptr, record));
  EXPECT_EQ(std::memcmp(before, record, sizeof before), 0);
}

TEST(LinkSet, AlarmInputWindowStoresActionsRecordChannelsAndPtz) {
  AlarmPortEntry port{};
  port.trigger.VoiceAlarm = 1;
  port.ChnNum = 3;
  CopyFieldText(port.ChnArray, "101");
  port.PtzChannel = 4;
  port.PtzAction = 1;
  port.PtzNumber = 8;
  OnNextModal<CDlgLinkSet>([](CDlgLinkSet* dlg) {
    EXPECT_TRUE(IsDlgButtonChecked(dlg, 1113)) << "sound alarm";
    EXPECT_TRUE(IsDlgButtonChecked(dlg, 1011));
    EXPECT_FALSE(IsDlgButtonChecked(dlg, 1012));
    EXPECT_TRUE(IsDlgButtonChecked(dlg, 1013));
    EXPECT_FALSE(IsDlgButtonChecked(dlg, 1014)) << "beyond ChnNum";
    EXPECT_EQ(GetCurSel(dlg, CDlgLinkSet::IDC_PTZ_CHANNEL), 4);
    EXPECT_EQ(DlgItem<QComboBox>(dlg, CDlgLinkSet::IDC_PTZ_ACTION)->currentText(), QStringLiteral("启用预置点"));
    EXPECT_EQ(GetCurSel(dlg, CDlgLinkSet::IDC_PTZ_NUMBER), 8);
    for (int id : {1007, 1008, 1009, 1010}) EXPECT_FALSE(dlg->GetDlgItem(id)->isVisible());
    Click(dlg, 1004);  // e-mail
    Click(dlg, 1026);  // channel 16
    SetCurSel(dlg, CDlgLinkSet::IDC_PTZ_ACTION, 2);
    Click(dlg, IDOK);
  });
  CDlgLinkSet dlg;
  dlg.SetRecord(&port);
  dlg.DoModal();
  EXPECT_EQ(port.trigger.Email, 1);
  EXPECT_EQ(port.trigger.VoiceAlarm, 1);
  EXPECT_EQ(port.ChnNum, 16) << "the record channels shown are stored";
  EXPECT_STREQ(port.ChnArray, "1010000000000001");
  EXPECT_EQ(port.PtzAction, 2);
  EXPECT_EQ(port.PtzChannel, 4);
}

TEST(LinkSet, CameraAlarmWindows) {
  // Motion: "全" on and off clears all sixteen; OK stores sixteen characters and a count of 16.
  AlarmChannelEntry motion{};
  motion.ChnNum = 0;
  CopyFieldText(motion.ChnArray, "11");
  OnNextModal<CDlgMoveLinkSet>([](CDlgMoveLinkSet* dlg) {
    for (int i = 0; i < 16; ++i) EXPECT_FALSE(IsDlgButtonChecked(dlg, 1011 + i)) << "ChnNum 0 shows nothing";
    Click(dlg, CLinkSetBase::IDC_CHECK_ALL);
    EXPECT_TRUE(IsDlgButtonChecked(dlg, 1026));
    Click(dlg, CLinkSetBase::IDC_CHECK_ALL);
    Click(dlg, 1013);
    Click(dlg, 1148);  // trigger alarm output
    Click(dlg, IDOK);
  });
  CDlgMoveLinkSet move;
  move.SetRecord(&motion);
  move.DoModal();
  EXPECT_STREQ(motion.ChnArray, "0010000000000000");
  EXPECT_EQ(motion.ChnNum, 16);
  EXPECT_EQ(motion.trigger.TriggerIO, 1);

  // Video loss: no channel boxes; Cancel writes nothing.
  AlarmChannelEntry loss{};
  loss.trigger.SMS = 1;
  const AlarmChannelEntry before = loss;
  OnNextModal<CDlgVideoLinkSet>([](CDlgVideoLinkSet* dlg) {
    EXPECT_EQ(dlg->GetDlgItem(1011), nullptr);
    EXPECT_TRUE(IsDlgButtonChecked(dlg, 1153));
    Click(dlg, 1153);
    Click(dlg, IDCANCEL);
  });
  CDlgVideoLinkSet video;
  video.SetRecord(&loss);
  video.DoModal();
  EXPECT_EQ(std::memcmp(&loss, &before, sizeof loss), 0);

  // Without a record OK writes nothing and does not fail.
  OnNextModal<CDlgVideoLinkSet>([](CDlgVideoLinkSet* dlg) { Click(dlg, IDOK); });
  CDlgVideoLinkSet none;
  EXPECT_EQ(none.DoModal(), IDOK);
}

TEST(Holidays, RowsNewSlotsAndDeletion) {
  HolidayPeriod date{};
  date.mode = kHolidayByDate;
  date.bydate = {2024, 10, 1, 2024, 10, 7};
  HolidayPeriod week{};
  week.mode = kHolidayByWeek;
  week.byweek = {5, 1, 1, 5, 2, 5};
  HolidayPeriod month{};
  month.mode = 7;  // any other kind reads by month
  month.bymonth = {1, 1, 1, 3};
  const struct {
    HolidayPeriod period;
    const char* type;
    const char* start;
    const char* end;
  } rows[] = {{date, "按日期", "2024年10月1日", "2024年10月7日"},
              {week, "按星期", "5月第1周第1天", "5月第2周第5天"},
              {month, "按月份", "1月1日", "1月3日"}};
  for (const auto& row : rows) {
    const HolidayRowText text = HolidayRow(row.period);
    EXPECT_EQ(text.type, QString::fromUtf8(row.type));
    EXPECT_EQ(text.start, QString::fromUtf8(row.start));
    EXPECT_EQ(text.end, QString::fromUtf8(row.end));
  }

  CommonCfg common{};
  common.holidayCount = 2;
  common.holidays[0] = date;
  common.holidays[1] = week;
  common.holidays[2] = month;  // left over past the count
  HolidayPeriod* slot = NewHolidaySlot(common);
  ASSERT_EQ(slot, &common.holidays[2]);
  EXPECT_EQ(slot->mode, 0u);
  EXPECT_EQ(slot->bymonth.frommonth, 0) << "the slot is cleared before the editor sees it";

  common.holidays[2] = month;
  common.holidayCount = 3;
  EXPECT_FALSE(DeleteHoliday(common, 3));
  EXPECT_TRUE(DeleteHoliday(common, 0));
  EXPECT_EQ(common.holidayCount, 2u);
  EXPECT_EQ(common.holidays[0].mode, kHolidayByWeek);
  EXPECT_EQ(common.holidays[1].mode, 7u);

  common.holidayCount = kHolidayPeriods;
  EXPECT_EQ(NewHolidaySlot(common), nullptr);
}

// The dates of the list and the items of the editor come from the string
// table: Chinese as the NVR's own pages give them, English with the library.
TEST(Holidays, DateFormsAndEditorItemsInBothLanguages) {
  HolidayPeriod date{};
  date.mode = kHolidayByDate;
  date.bydate = {2024, 10, 1, 2024, 12, 31};
  HolidayPeriod week{};
  week.mode = kHolidayByWeek;
  week.byweek = {5, 2, 1, 11, 5, 7};
  HolidayPeriod month{};
  month.mode = kHolidayByMonth;
  month.bymonth = {1, 1, 2, 28};
  struct Language {
    bool english;
    const char* texts[6];  // date, week and month rows (start, end)
    const char* items[6];  // by week: first week, last day, unit; by date: last month, first day, unit
  };
  const Language languages[] = {
      {false,
       {"2024年10月1日", "2024年12月31日", "5月第2周第1天", "11月第5周第7天", "1月1日", "2月28日"},
       {"第1周", "第7天", "月", "12月", "1日", "年"}},
      {true,
       {"2024-10-1", "2024-12-31", "Month 5, Week 2, Day 1", "Month 11, Week 5, Day 7", "Month 1, Day 1",
        "Month 2, Day 28"},
       {"Week 1", "Day 7", "Month", "Month 12", "Day 1", "Year"}},
  };
  struct FreeLibrary {
    ~FreeLibrary() { harlenres::FreeLanguageLibrary(); }
  } freed;
  for (const Language& l : languages) {
    if (l.english) {
      ASSERT_TRUE(harlenres::LoadLanguageLibrary("Lorvan_En.dll"));
    }
    const HolidayRowText rows[] = {HolidayRow(date), HolidayRow(week), HolidayRow(month)};
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(rows[i].start, QString::fromUtf8(l.texts[2 * i])) << l.english << " row " << i;
      EXPECT_EQ(rows[i].end, QString::fromUtf8(l.texts[2 * i + 1])) << l.english << " row " << i;
    }
    QStringList items;
    OnNextModal<CDlgHolidaySet>([&items](CDlgHolidaySet* dlg) {
      const auto item = [dlg](int id, int index) { return DlgItem<QComboBox>(dlg, id)->itemText(index); };
      const auto unit = [dlg] { return DlgItem<QLabel>(dlg, CDlgHolidaySet::IDC_STATIC_FROM)->text(); };
      items << item(CDlgHolidaySet::IDC_COMBO_FROM_A, 0) << item(CDlgHolidaySet::IDC_COMBO_TO_B, 6) << unit();
      SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_KIND, kHolidayByDate);
      items << item(CDlgHolidaySet::IDC_COMBO_TO_A, 11) << item(CDlgHolidaySet::IDC_COMBO_FROM_B, 0) << unit();
      Click(dlg, IDCANCEL);
    });
    CDlgHolidaySet dlg;
    dlg.SetPeriod(&week);
    dlg.DoModal();
    ASSERT_EQ(items.size(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(items[i], QString::fromUtf8(l.items[i])) << l.english << " item " << i;
  }
}

TEST(Holidays, EditorShowsAndStoresEachKind) {
  HolidayPeriod period{};
  period.mode = kHolidayByWeek;
  period.byweek = {5, 2, 3, 6, 4, 7};
  OnNextModal<CDlgHolidaySet>([](CDlgHolidaySet* dlg) {
    EXPECT_EQ(DlgItem<QLineEdit>(dlg, CDlgHolidaySet::IDC_EDIT_FROM)->text(), QStringLiteral("5"));
    EXPECT_EQ(DlgItem<QComboBox>(dlg, CDlgHolidaySet::IDC_COMBO_FROM_A)->currentText(), QStringLiteral("第2周"));
    EXPECT_EQ(DlgItem<QComboBox>(dlg, CDlgHolidaySet::IDC_COMBO_TO_B)->currentText(), QStringLiteral("第7天"));
    // To by date: the lists become months and days, the edits keep their text.
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_KIND, kHolidayByDate);
    EXPECT_EQ(DlgItem<QComboBox>(dlg, CDlgHolidaySet::IDC_COMBO_FROM_B)->count(), 31);
    DlgItem<QLineEdit>(dlg, CDlgHolidaySet::IDC_EDIT_FROM)->setText(QStringLiteral("2025"));
    DlgItem<QLineEdit>(dlg, CDlgHolidaySet::IDC_EDIT_TO)->clear();
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_FROM_A, 11);
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_TO_B, 30);
    Click(dlg, IDOK);
  });
  CDlgHolidaySet dlg;
  dlg.SetPeriod(&period);
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(period.mode, kHolidayByDate);
  EXPECT_EQ(period.bydate.fromyear, 2025);
  EXPECT_EQ(period.bydate.toyear, 0) << "an empty year is 0";
  EXPECT_EQ(period.bydate.frommonth, 12);
  EXPECT_EQ(period.bydate.fromday, 1);
  EXPECT_EQ(period.bydate.today, 31);

  // By month: the year edits are disabled.
  OnNextModal<CDlgHolidaySet>([](CDlgHolidaySet* dlg) {
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_KIND, kHolidayByMonth);
    EXPECT_FALSE(dlg->GetDlgItem(CDlgHolidaySet::IDC_EDIT_FROM)->isEnabled());
    SetCurSel(dlg, CDlgHolidaySet::IDC_COMBO_TO_A, 2);
    Click(dlg, IDOK);
  });
  CDlgHolidaySet again;
  again.SetPeriod(&period);
  again.DoModal();
  EXPECT_EQ(period.mode, kHolidayByMonth);
  EXPECT_EQ(period.bymonth.tomonth, 3);
}

TEST(SetTime, ZonesAndTimesThatCannotBeSent) {
  const QDateTime when(QDate(2024, 3, 5), QTime(6, 7, 8));
  const struct {
    int index;
    const char* zone;
  } zones[] = {{0, "timezone=\"-12\""}, {12, "timezone=\"0\""}, {24, "timezone=\"12\""}, {20, "timezone=\"8\""}};
  for (const auto& z : zones) {
    std::string text;
    ASSERT_TRUE(BuildSetTimeText(when, z.index, text));
    EXPECT_NE(text.find(z.zone), std::string::npos) << text;
    EXPECT_NE(text.find("year=\"2024\" month=\"3\" day=\"5\" hour=\"6\" minute=\"7\" second=\"8\""), std::string::npos)
        << text;
  }
  std::string text = "kept";
  EXPECT_FALSE(BuildSetTimeText(QDateTime(), 12, text)) << "no time: nothing to send";
  EXPECT_FALSE(BuildSetTimeText(when, -1, text)) << "no zone chosen";
  EXPECT_FALSE(BuildSetTimeText(when, 25, text));
  EXPECT_EQ(text, "kept");
}
