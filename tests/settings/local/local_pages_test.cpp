// The switch stream page and the alarm sound and time page.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "fake_local_settings_host.h"
#include "settings/local/set_switch_stream_dlg.h"
#include "settings/local/setting_alarm_audio.h"
#include "settings/settings_test_env.h"

namespace {

bool Checked(CDialog& page, int id) { return qobject_cast<QAbstractButton*>(page.GetDlgItem(id))->isChecked(); }
void Click(CDialog& page, int id) { qobject_cast<QAbstractButton*>(page.GetDlgItem(id))->click(); }

class LocalPagesTest : public SettingsTest {
 protected:
  void TearDown() override {
    g_nCapturePicFmt = 1;
    g_nDefDisplayMode = 9;
    g_bAutoSwitchStream = 1;
    g_bShowLastFrame = 0;
    g_nMonitorMode = 1;
    g_bAlarmAudio = 0;
    g_bFilterAlarm = 0;
    g_SyncTime = {0, 60, 10};
    SettingsTest::TearDown();
  }
  FakeLocalSettingsHost host_;
};

}  // namespace

// Values the page has no control for show the fallback and stay stored
// until the user picks another.
TEST_F(LocalPagesTest, SwitchStreamPageShowsFallbacksAndChangesAtTheClick) {
  const struct {
    int format, panes;
    int checkedRadio;
    const char* shownPanes;
  } cases[] = {
      {0, 1, CSetSwitchStreamDlg::IDC_FMT_RAW, "1"},
      {1, 64, CSetSwitchStreamDlg::IDC_FMT_JPG, "64"},
      {2, 13, CSetSwitchStreamDlg::IDC_FMT_BMP, "13"},
      {3, 5, CSetSwitchStreamDlg::IDC_FMT_BMP, "4"},
  };
  for (const auto& c : cases) {
    g_nCapturePicFmt = c.format;
    g_nDefDisplayMode = c.panes;
    CSetSwitchStreamDlg page;
    page.SetHost(&host_);
    ASSERT_TRUE(page.Create(CSetSwitchStreamDlg::IDD));
    EXPECT_TRUE(Checked(page, c.checkedRadio)) << c.format;
    auto* list = qobject_cast<QComboBox*>(page.GetDlgItem(CSetSwitchStreamDlg::IDC_DISPLAY_MODE));
    EXPECT_EQ(list->count(), 12);
    EXPECT_EQ(list->currentText().toStdString(), c.shownPanes);
    EXPECT_EQ(g_nCapturePicFmt, c.format);
    EXPECT_EQ(g_nDefDisplayMode, c.panes);
  }

  CSetSwitchStreamDlg page;
  page.SetHost(&host_);
  ASSERT_TRUE(page.Create(CSetSwitchStreamDlg::IDD));
  page.show();
  Click(page, CSetSwitchStreamDlg::IDC_FMT_RAW);
  EXPECT_EQ(g_nCapturePicFmt, 0);
  Click(page, CSetSwitchStreamDlg::IDC_FMT_JPG);
  EXPECT_EQ(g_nCapturePicFmt, 1);
  auto* list = qobject_cast<QComboBox*>(page.GetDlgItem(CSetSwitchStreamDlg::IDC_DISPLAY_MODE));
  list->setCurrentIndex(7);
  page.OnCbnSelchangeDefDisplayMode();
  EXPECT_EQ(g_nDefDisplayMode, 16);
  list->setCurrentIndex(-1);
  page.OnCbnSelchangeDefDisplayMode();
  EXPECT_EQ(g_nDefDisplayMode, 4);

  g_bAutoSwitchStream = 1;
  g_nMonitorMode = 1;
  Click(page, CSetSwitchStreamDlg::IDC_AUTO_SWITCH);
  Click(page, CSetSwitchStreamDlg::IDC_SHOW_LAST_FRAME);
  Click(page, CSetSwitchStreamDlg::IDC_MONITOR_MODE);
  Click(page, CSetSwitchStreamDlg::IDC_MONITOR_MODE);
  EXPECT_EQ(g_bAutoSwitchStream, 0);
  EXPECT_EQ(g_bShowLastFrame, 1);
  EXPECT_EQ(g_nMonitorMode, 1);
  EXPECT_EQ(host_.calls,
            (std::vector<std::string>{"ApplyKeepLastFrame", "ApplyMonitorMode off", "ApplyMonitorMode on"}));
}

// The ring choice and the offline filter take effect at the click.
TEST_F(LocalPagesTest, AlarmSoundChoicesTakeEffectAtTheClick) {
  g_bAlarmAudio = 1;
  CSettingAlarmAudio page;
  ASSERT_TRUE(page.Create(CSettingAlarmAudio::IDD));
  page.show();
  EXPECT_TRUE(Checked(page, CSettingAlarmAudio::IDC_RING_ALWAYS));
  Click(page, CSettingAlarmAudio::IDC_RING_LINKED);
  EXPECT_EQ(g_bAlarmAudio, 0);
  EXPECT_FALSE(Checked(page, CSettingAlarmAudio::IDC_RING_ALWAYS));
  Click(page, CSettingAlarmAudio::IDC_RING_ALWAYS);
  EXPECT_EQ(g_bAlarmAudio, 1);
  EXPECT_FALSE(Checked(page, CSettingAlarmAudio::IDC_RING_LINKED));
  Click(page, CSettingAlarmAudio::IDC_FILTER_OFFLINE);
  EXPECT_EQ(g_bFilterAlarm, 1);
  Click(page, CSettingAlarmAudio::IDC_FILTER_OFFLINE);
  EXPECT_EQ(g_bFilterAlarm, 0);
}

// OK applies the box and the typed figures: every device record is sent
// (id, enable, difference, interval) when anything changed, offline ones
// included; figures that are no whole seconds in range are refused.
TEST_F(LocalPagesTest, TimeSyncOkSendsEveryDeviceItsNewSettings) {
  for (int id : {5, 0, 9}) {  // 0: not logged in
    DevInfo dev;
    dev.GimbroId = id;
    g_lstDevInfo.push_back(dev);
  }
  g_SyncTime = {0, 60, 10};
  const struct {
    bool clickSync;
    const char* interval;
    const char* diff;
    const char* sent;     // what the devices were sent
    const char* message;  // "" for none
    SyncTimeInfo after;
  } cases[] = {
      {false, "60", "10", "", "", {0, 60, 10}},  // nothing changed: nothing sent
      {true, "60", "10", "5:1,10,60 0:1,10,60 9:1,10,60 ", "", {1, 60, 10}},
      {false, " 30 ", "5", "5:1,5,30 0:1,5,30 9:1,5,30 ", "", {1, 30, 5}},  // figures alone
      {false, "3O", "5", "", "Please enter the seconds as whole numbers: the interval from 1 to 999, the "
                             "difference from 0 to 999.", {1, 30, 5}},
      {false, "0", "5", "", "x", {1, 30, 5}},
      {false, "", "5", "", "x", {1, 30, 5}},
      {false, "-1", "5", "", "x", {1, 30, 5}},
      {false, "30", "0", "5:1,0,30 0:1,0,30 9:1,0,30 ", "", {1, 30, 0}},
      {true, "30", "0", "5:0,0,30 0:0,0,30 9:0,0,30 ", "", {0, 30, 0}},
  };
  CSettingAlarmAudio page;
  page.SetHost(&host_);
  std::string sent;
  page.SetSyncSender([&](const DevInfo& dev, const SyncTimeInfo& sync) {
    sent += std::to_string(dev.GimbroId) + ":" + std::to_string(sync.enable) + "," + std::to_string(sync.diff) +
            "," + std::to_string(sync.interval) + " ";
  });
  ASSERT_TRUE(page.Create(CSettingAlarmAudio::IDD));
  page.show();
  EXPECT_FALSE(page.GetDlgItem(CSettingAlarmAudio::IDC_INTERVAL)->isEnabled());
  for (const auto& c : cases) {
    sent.clear();
    host_.messages.clear();
    if (c.clickSync) Click(page, CSettingAlarmAudio::IDC_SYNC);
    qobject_cast<QLineEdit*>(page.GetDlgItem(CSettingAlarmAudio::IDC_INTERVAL))->setText(c.interval);
    qobject_cast<QLineEdit*>(page.GetDlgItem(CSettingAlarmAudio::IDC_DIFF))->setText(c.diff);
    page.OnCommand(CSettingAlarmAudio::IDC_OK);
    EXPECT_EQ(sent, c.sent) << c.interval;
    if (std::string(c.message).empty()) {
      EXPECT_TRUE(host_.messages.empty()) << c.interval;
    } else if (std::string(c.message) != "x") {
      EXPECT_EQ(host_.LastMessage(), c.message);
    } else {
      EXPECT_EQ(host_.messages.size(), 1u) << c.interval;
    }
    EXPECT_EQ(g_SyncTime.enable, c.after.enable) << c.interval;
    EXPECT_EQ(g_SyncTime.interval, c.after.interval) << c.interval;
    EXPECT_EQ(g_SyncTime.diff, c.after.diff) << c.interval;
    EXPECT_EQ(page.GetDlgItem(CSettingAlarmAudio::IDC_INTERVAL)->isEnabled(),
              Checked(page, CSettingAlarmAudio::IDC_SYNC));
  }
}
