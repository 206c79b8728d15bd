#include <gtest/gtest.h>

#include <QListWidget>
#include <QWidget>
#include <cstdio>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"

namespace {

GimbroAlarmRecord Alarm(int type) {
  GimbroAlarmRecord alarm;
  alarm.year = 2026;
  alarm.month = 12;
  alarm.day = 10;
  alarm.hour = 8;
  alarm.minute = 5;
  alarm.second = 9;
  alarm.type = type;
  return alarm;
}

}  // namespace

TEST(AlarmListDlg, AddAlarmListsItAndStartsTheDeviceBlink) {
  QWidget main;
  CAlarmListDlg dlg(&main);
  ASSERT_TRUE(dlg.Create(CAlarmListDlg::IDD, &main));
  DevInfo dev;
  std::snprintf(dev.DevName, sizeof dev.DevName, "Gate");
  dev.nAlarmBlinkCount = 7;  // a blink still running
  dev.bAlarmBlink = 1;
  const GimbroAlarmRecord alarm = Alarm(14);
  dlg.AddAlarm(&dev, &alarm);
  EXPECT_EQ(dev.bAlarmFlag, 1);
  EXPECT_EQ(dev.nAlarmBlinkCount, 0);
  ASSERT_EQ(dlg.GetAlarms().size(), 1u);
  EXPECT_EQ(dlg.GetAlarms()[0].DevName, "Gate");
  EXPECT_EQ(dlg.GetAlarms()[0].Time, "2026-12-10 08:05:09");
  EXPECT_EQ(dlg.GetAlarms()[0].nType, 14);
  auto* list = qobject_cast<QListWidget*>(dlg.GetDlgItem(CAlarmListDlg::IDC_ALARM_LIST));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 1);
}

TEST(AlarmListDlg, NoDeviceOrNoAlarmIsIgnored) {
  CAlarmListDlg dlg;
  DevInfo dev;
  const GimbroAlarmRecord alarm = Alarm(15);
  dlg.AddAlarm(nullptr, &alarm);
  dlg.AddAlarm(&dev, nullptr);
  EXPECT_TRUE(dlg.GetAlarms().empty());
  EXPECT_EQ(dev.bAlarmFlag, 0);
}

TEST(AlarmListDlg, SoundSwitchTogglesAndCloseClearsLinkage) {
  CAlarmListDlg dlg;
  const int first = dlg.ToggleSoundSwitch();
  EXPECT_EQ(dlg.ToggleSoundSwitch(), first ? 0 : 1);
  dlg.SetAlarmLink(1);
  dlg.OnBnClickedClose();
  EXPECT_EQ(dlg.GetAlarmLink(), 0);
}
