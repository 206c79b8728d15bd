// The alarm panel: its rows, its sounds by class and switch, the blink, the log
// lines it queues and the reports to relay peers, for local and relay alarms.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/alarm/log/alarm_log_reader.h"
#include "alarm_test_env.h"
#include "common/text_fit.h"
#include "common/wait_for.h"
#include "core/dev_info_store.h"
#include "core/user_settings.h"
#include "pelk/pelk_testing.h"
#include "platform/paths.h"
#include "ui/draw_text.h"
#include "ui/sort_list_ctrl.h"

namespace {

class AlarmListDlgTest : public AlarmTest {
 protected:
  void SetUp() override {
    AlarmTest::SetUp();
    CopyAlarmSounds();
    PelkTestReset();
    AlarmLogQueue::Options options;
    options.programFolder = paths::ProgramFolder();
    options.intervalMs = 3600 * 1000;  // written by the stop
    options.clock = [] { return LocalTime(2026, 1, 5, 12); };
    AlarmHost host;
    host.LocalMac = [] { return std::string("00-AA-BB-CC-DD-EE"); };
    host.FocusMainWindow = [this] { ++focused_; };
    dlg_ = std::make_unique<CAlarmListDlg>(&main_);
    dlg_->SetHost(host);
    dlg_->SetLogOptions(options);
    ASSERT_TRUE(dlg_->Create(CAlarmListDlg::IDD, &main_));
  }
  void TearDown() override {
    dlg_.reset();
    AlarmTest::TearDown();
  }
  CSortListCtrl& List() { return *dlg_->GetList(); }
  std::vector<AlarmLogRecord> Logged(const std::string& name) {
    dlg_->StopLogWorker();
    std::vector<AlarmLogRecord> records;
    ReadAlarmDayFile(paths::FromNativePath(File("Alarm/2026-1-5/" + name + ".xml")), records);
    return records;
  }
  void Add(DevInfo& dev, const GimbroAlarmRecord& alarm) { dlg_->AddAlarm(&dev, &alarm); }
  void AddRemote(const char* key, const RelayAlarmRecord& alarm) { dlg_->AddRemoteAlarm(key, &alarm); }

  QWidget main_;
  std::unique_ptr<CAlarmListDlg> dlg_;
  int focused_ = 0;
};

}  // namespace

TEST_F(AlarmListDlgTest, TheSeventeenthAlarmPushesTheOldestRowOut) {
  DevInfo& gate = AddDevice("Gate");
  ASSERT_EQ(List().GetColumnCount(), 3);
  for (int i = 0; i < 17; ++i) Add(gate, Alarm(14, 2026, 1, 5, 10, 0, i));
  ASSERT_EQ(List().GetItemCount(), 16);
  EXPECT_EQ(List().GetItemText(0, 2), "10:00:16");
  EXPECT_EQ(List().GetItemText(15, 2), "10:00:01");
  EXPECT_EQ(List().GetItemText(0, 0), "Gate");
  EXPECT_EQ(List().GetItemText(0, 1), "Motion Detect");
  EXPECT_EQ(Logged("Gate").size(), 17u) << "every alarm is logged";
}

// In the left column's 219 pixels, in the program's font, the three columns
// share the width so that their titles show whole inside the list; a full
// list beside its vertical scroll bar cuts no text either, and a device name
// longer than the list is wide widens its column and the list scrolls sideways.
TEST_F(AlarmListDlgTest, TheColumnsShowTheirTitlesAndTextsWhole) {
  const QFont font = QApplication::font();
  QApplication::setFont(DialogFont());
  QCoreApplication::processEvents();  // the panel takes the font
  main_.resize(1024, 768);
  main_.show();
  dlg_->setGeometry(10, 400, 219, 277);
  dlg_->show();
  auto sideways = [&] {
    QCoreApplication::processEvents();
    return List().horizontalScrollBar()->maximum();
  };
  EXPECT_EQ(Describe(TextsThatDoNotFit(dlg_.get())), "");
  EXPECT_EQ(sideways(), 0);

  DevInfo& gate = AddDevice("Gate");
  for (int i = 0; i < 16; ++i) Add(gate, Alarm(12, 2026, 1, 5, 10, 0, i));
  EXPECT_TRUE(WaitFor([&] { return List().verticalScrollBar()->isVisible(); }));
  EXPECT_EQ(Describe(TextsThatDoNotFit(dlg_.get())), "");

  DevInfo& bay = AddDevice("North loading bay gate camera");
  Add(bay, Alarm(14));
  EXPECT_EQ(Describe(TextsThatDoNotFit(dlg_.get())), "");
  EXPECT_GT(List().columnWidth(0), List().viewport()->width() / 2);
  EXPECT_TRUE(WaitFor([&] { return sideways() > 0; }));
  QApplication::setFont(font);
}

// Without the bell switch an alarm rings only while g_bAlarmAudio is 1; with
// it, a device of that name in the list rings, blinks, raises the main
// window's focus, whatever g_bAlarmAudio says.
TEST_F(AlarmListDlgTest, TheBellSwitchAndTheAudioSettingDecideTheSoundAndTheBlink) {
  struct Case {
    int bell;
    int audio;
    bool listed;
    bool rings;
    bool blinks;
  } cases[] = {
      {0, 0, true, false, false}, {0, 1, true, true, false}, {1, 0, true, true, true}, {1, 1, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.bell) + std::to_string(c.audio) + (c.listed ? " listed" : ""));
    g_lstDevInfo.clear();
    DevInfo stranger;  // a record whose name is not in the list
    std::snprintf(stranger.DevName, sizeof stranger.DevName, "Stranger");
    DevInfo& dev = c.listed ? AddDevice("Gate") : stranger;
    dev.nAlarmBlinkCount = 7;
    dlg_->SetAlarmLink(c.bell);
    g_bAlarmAudio = c.audio;
    const int starts = dlg_->Sounds().Starts();
    const int focused = focused_;
    Add(dev, Alarm(14));
    EXPECT_EQ(dlg_->Sounds().Starts() > starts, c.rings);
    EXPECT_EQ(dlg_->SoundTicks(100) > 0, c.rings);
    EXPECT_EQ(dev.bAlarmFlag == 1 && dev.nAlarmBlinkCount == 0, c.blinks);
    EXPECT_EQ(focused_ > focused, c.blinks);
    for (UINT timer : kAlarmSoundTimers) {
      while (dlg_->SoundTicks(timer) != 0) dlg_->OnTimer(timer);  // let it ring out
    }
  }
  EXPECT_EQ(List().GetItemCount(), 4) << "listed in every case";
  EXPECT_EQ(dlg_->ToggleSoundSwitch(), 0);
  EXPECT_EQ(dlg_->ToggleSoundSwitch(), 1);
}

TEST_F(AlarmListDlgTest, DroppedCodesLeaveNoTraceAndOldDatesBecome1990) {
  DevInfo& camera = AddDevice("Cam");
  DevInfo& nvr = AddDevice("Nvr", 4);
  g_bAlarmAudio = 1;
  LogCapture log(Folder());
  Add(nvr, Alarm(9));
  Add(camera, Alarm(0));
  Add(camera, Alarm(26));
  Add(camera, Alarm(27));
  Add(camera, Alarm(-7));
  EXPECT_EQ(List().GetItemCount(), 0);
  EXPECT_EQ(log.Count("dropped"), 5);
  EXPECT_EQ(dlg_->Sounds().Starts(), 0);
  EXPECT_TRUE(PelkTestAlarmReports().empty());

  Add(nvr, Alarm(15));
  ASSERT_EQ(List().GetItemCount(), 1);
  EXPECT_EQ(List().GetItemText(0, 1), "");
  EXPECT_EQ(dlg_->SoundTicks(500), 1) << "an NVR code past 14 has class 0";

  Add(camera, Alarm(25, 2026, 1, 5, 10, 30, 0, 1));
  EXPECT_EQ(List().GetItemText(0, 1), "IP address conflict");
  Add(camera, Alarm(25, 2026, 1, 5, 10, 30, 0, 0));
  EXPECT_EQ(List().GetItemText(0, 1), "IP address conflict disappears");

  Add(camera, Alarm(14, 1980, 3, 4, 5, 6, 7));
  EXPECT_EQ(List().GetItemText(0, 2), "05:06:07");
  const auto reports = PelkTestAlarmReports();
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_EQ(reports.back().alarm.nYear, 1990);
  EXPECT_EQ(reports.back().alarm.nMonth, 3);
  EXPECT_EQ(reports.back().deviceKey, "00-AA-BB-CC-DD-EE:192.168.1.20");
  EXPECT_EQ(reports[0].alarm.nType, 15);  // the NVR's own code
  const auto camLog = Logged("Cam");
  ASSERT_EQ(camLog.size(), 3u);
  EXPECT_EQ(camLog[2].DateTime, std::to_string(LocalTime(1990, 3, 4, 5, 6, 7)));
  const auto nvrLog = Logged("Nvr");
  ASSERT_EQ(nvrLog.size(), 1u);
  EXPECT_EQ(nvrLog[0].Type, "15");
  EXPECT_EQ(nvrLog[0].AlarmInfo, "");
}

// Classes 1, 6 and 12 start timers 400, 300 and 100; each plays its own file
// at its own tick, in place of what plays, ten times; then the sound stops.
TEST_F(AlarmListDlgTest, EachSoundClassRingsItsOwnFileForTenTicks) {
  DevInfo& gate = AddDevice("Gate");
  g_bAlarmAudio = 1;
  Add(gate, Alarm(1));
  Add(gate, Alarm(6));
  Add(gate, Alarm(12));
  const std::string folder = paths::ProgramFolder();
  EXPECT_EQ(dlg_->Sounds().Playing(), folder + "Alarm1.wav");  // the newest starts at once
  for (UINT timer : {400u, 300u, 100u}) EXPECT_EQ(dlg_->SoundTicks(timer), 1) << timer;
  EXPECT_EQ(dlg_->SoundTicks(200), 0);
  dlg_->OnTimer(400);
  EXPECT_EQ(dlg_->Sounds().Playing(), folder + "Alarm4.wav");
  dlg_->OnTimer(300);
  EXPECT_EQ(dlg_->Sounds().Playing(), folder + "Alarm3.wav");
  Add(gate, Alarm(6));  // a running sound restarts its period, not its count
  EXPECT_EQ(dlg_->SoundTicks(300), 2);
  while (dlg_->SoundTicks(400) < 10) dlg_->OnTimer(400);
  EXPECT_EQ(dlg_->Sounds().Playing(), folder + "Alarm4.wav");
  dlg_->OnTimer(400);  // the eleventh tick ends it
  EXPECT_EQ(dlg_->SoundTicks(400), 0);
  EXPECT_EQ(dlg_->Sounds().Playing(), "");
  // Silent classes ring nothing.
  const int starts = dlg_->Sounds().Starts();
  Add(gate, Alarm(23));
  Add(gate, Alarm(25, 2026, 1, 5, 10, 30, 0, 1));
  EXPECT_EQ(dlg_->Sounds().Starts(), starts);
}

TEST_F(AlarmListDlgTest, ARelayPeersAlarmIsListedUnderItsKeyAndLoggedUnderMacIp) {
  RelayDevice& peer = AddRelayDevice("00-11-22-33-44-55", "192.168.1.9");
  LogCapture log(Folder());
  AddRemote("00-11-22-33-44-55:192.168.1.9", RelayAlarm(14, 1980));
  ASSERT_EQ(List().GetItemCount(), 1);
  EXPECT_EQ(List().GetItemText(0, 0), "00-11-22-33-44-55:192.168.1.9");
  EXPECT_EQ(dlg_->Sounds().Starts(), 0);
  EXPECT_EQ(peer.bAlarmFlag, 0);

  dlg_->SetAlarmLink(1);
  peer.nAlarmBlinkCount = 5;
  AddRemote("00-11-22-33-44-55:192.168.1.9", RelayAlarm(15));
  EXPECT_EQ(peer.bAlarmFlag, 1);
  EXPECT_EQ(peer.nAlarmBlinkCount, 0);
  EXPECT_EQ(dlg_->SoundTicks(200), 1);

  // Unknown devices, keys that are not MAC:IP and filtered kinds leave no trace.
  g_bFilterAlarm = 1;
  for (const char* key : {"00-11-22-33-44-55:192.168.1.10", "no colon here", ":192.168.1.9", "", "00-11-22-33-44-55:"}) {
    AddRemote(key, RelayAlarm(14));
  }
  AddRemote("00-11-22-33-44-55:192.168.1.9", RelayAlarm(2));
  EXPECT_EQ(List().GetItemCount(), 2);
  EXPECT_EQ(log.Count("is not MAC:IP"), 4);
  EXPECT_TRUE(PelkTestAlarmReports().empty()) << "a peer's alarm is not reported on";

  const auto records = Logged("00-11-22-33-44-55_192.168.1.9");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].DevName, "00-11-22-33-44-55_192.168.1.9");
  EXPECT_EQ(records[0].DateTime, std::to_string(LocalTime(1980, 1, 5, 10, 30)));  // a peer's date is kept
}

// Without its files a sound is silent; its timer still runs its ten ticks.
TEST_F(AlarmListDlgTest, MissingSoundFilesAreSilentAndTheTimersRunOn) {
  for (int n = 1; n <= 5; ++n) std::remove(File("Alarm" + std::to_string(n) + ".wav").c_str());
  LogCapture log(Folder());
  DevInfo& gate = AddDevice("Gate");
  g_bAlarmAudio = 1;
  Add(gate, Alarm(14));
  EXPECT_EQ(dlg_->Sounds().Playing(), "");
  EXPECT_EQ(dlg_->SoundTicks(100), 1);
  while (dlg_->SoundTicks(100) != 0) dlg_->OnTimer(100);
  EXPECT_EQ(log.Count("cannot play"), 1) << "one log line per file";
  EXPECT_EQ(List().GetItemCount(), 1);
}

TEST_F(AlarmListDlgTest, NullRecordsAreIgnored) {
  DevInfo& gate = AddDevice("Gate");
  const GimbroAlarmRecord alarm = Alarm(14);
  dlg_->AddAlarm(nullptr, &alarm);
  dlg_->AddAlarm(&gate, nullptr);
  dlg_->AddRemoteAlarm(nullptr, nullptr);
  EXPECT_EQ(List().GetItemCount(), 0);
}
