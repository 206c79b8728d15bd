// The video toolbar window: every button reaches the host call it stands for,
// the visible sets follow the owner, the record-all and alarm-action buttons
// follow their flags, stop all asks first, and the talk, sound, lock and
// broadcast buttons refuse when they must.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "core/res_msg_dlg.h"
#include "core/sur_status.h"
#include "core/sur_status_store.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "gimbro/gimbro.h"
#include "live/audio/broadcast_info.h"
#include "live/audio/broadcast_run.h"
#include "live/toolbar/video_toolbar_dlg.h"
#include "live/toolbar/video_toolbar_host.h"
#include "platform/dialog_template.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "ui/image_button.h"

namespace {

// Records every call by name; the queries answer what the test sets.
class FakeHost : public CVideoToolbarHost {
 public:
  std::vector<std::string> calls;
  int module = 0;
  bool otherTalking = false, activeTalk = false, mainSound = false, alarmSound = false, busy = true;
  bool unlockOk = false, haveBroadcastPage = true;
  int talkOpen = 0, allRecordFlag = 0, soundSwitch = 0;
  BroadcastSettings broadcast;
  CGimbroCtrl* gimbro = nullptr;
  std::function<void()> onRemoveAll;

  void Call(const std::string& name) { calls.push_back(name); }
  std::string Last() const { return calls.empty() ? "" : calls.back(); }

  int GetCurModule() override { return module; }
  void SetDisplayMode(int mode) override { Call("SetDisplayMode " + std::to_string(mode)); }
  void ToggleFullScreen() override { Call("ToggleFullScreen"); }
  void SwitchCifD1() override { Call("SwitchCifD1"); }
  void StopSelectedWatch() override { Call("StopSelectedWatch"); }
  void OnSnapShot() override { Call("OnSnapShot"); }
  void OnSpeak() override { Call("OnSpeak"); }
  void OnOpenSound() override { Call("OnOpenSound"); }
  void OnManualRecord() override { Call("OnManualRecord"); }
  void OnPatrol() override { Call("OnPatrol"); }
  void FlipSelectedVideo() override { Call("FlipSelectedVideo"); }
  bool IsOtherPaneTalking() override { return otherTalking; }
  int IsTalkOpen() override { return talkOpen; }
  bool IsActiveGridTalkOpen() override { return activeTalk; }
  bool IsMainGridSoundOpen() override { return mainSound; }
  bool IsAlarmActSoundOpen() override { return alarmSound; }
  bool MainGridHasBusyPane() override { return busy; }
  void RemoveAllWatchAndSave() override {
    Call("RemoveAllWatchAndSave");
    if (onRemoveAll) onRemoveAll();
  }
  void EnableGrids(BOOL enable) override { Call("EnableGrids " + std::to_string(enable)); }
  bool ConfirmUnlock() override {
    Call("ConfirmUnlock");
    return unlockOk;
  }
  void SetZoomMode(int mode) override { Call("SetZoomMode " + std::to_string(mode)); }
  void FillAllWnd() override { Call("FillAllWnd"); }
  void OnDefaultRec() override {
    Call("OnDefaultRec");
    allRecordFlag = !allRecordFlag;
  }
  void SetAllRecordFlag(int flag) override { allRecordFlag = flag; }
  int GetAllRecordFlag() override { return allRecordFlag; }
  void PopupTVWallLayout() override { Call("PopupTVWallLayout"); }
  int ToggleSoundSwitch() override {
    Call("ToggleSoundSwitch");
    return soundSwitch = !soundSwitch;
  }
  void ShowFillScreenOnToolbars(BOOL on) override { Call("ShowFillScreenOnToolbars " + std::to_string(on)); }
  void PlaybackFullScreen() override { Call("PlaybackFullScreen"); }
  void PlaybackSetWindowCount(int count) override { Call("PlaybackSetWindowCount " + std::to_string(count)); }
  void PlaybackHideShow() override { Call("PlaybackHideShow"); }
  void PlaybackSetMouseMode(int mode) override { Call("PlaybackSetMouseMode " + std::to_string(mode)); }
  void PlaybackSetFillScreen(BOOL on) override { Call("PlaybackSetFillScreen " + std::to_string(on)); }
  void TVWallPatrol() override { Call("TVWallPatrol"); }
  void SetMapCursorMode(int mode) override { Call("SetMapCursorMode " + std::to_string(mode)); }
  const BroadcastSettings* GetBroadcastSettings() override { return haveBroadcastPage ? &broadcast : nullptr; }
  CGimbroCtrl* GetGimbroCtrl() override { return gimbro; }
};

class VideoToolbarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string bin = paths::ProgramFolder();  // where the build put the resources
    dlgtemplate::SetFolder(bin + "Resources/dialogs/");
    stringtable::SetFolder(bin + "Lang/");
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    paths::SetProgramFolder(folder.Path());
    g_nCurRights[2] = 1;
    g_nFullDisp = 0;
  }
  void TearDown() override {
    toolbars.clear();
    for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) delete scheme;
    g_lstRecSchemeInfo.clear();
    g_lstSurStatus.clear();
    g_lstDevInfo.clear();
    g_nFullDisp = 0;
    paths::SetProgramFolder("");
    dlgtemplate::SetFolder("");
    stringtable::SetFolder("");
    FreeLanguageLibrary();
  }

  CVideoToolbarDlg& Make(int pageKind) {
    toolbars.push_back(std::make_unique<CVideoToolbarDlg>(&mainWindow, pageKind, &host));
    CVideoToolbarDlg& toolbar = *toolbars.back();
    EXPECT_TRUE(toolbar.Create(CVideoToolbarDlg::IDD, &mainWindow));
    return toolbar;
  }
  // An online "Gate" record with `gimbro` as its wrapper and as the host's
  // control, and a broadcast list of just that device.
  const DevInfo& ListGate(CGimbroCtrl* gimbro) {
    DevInfo dev;
    CopyFixedText(dev.DevName, "Gate");
    dev.nOnline = 1;
    dev.pGimbroCtrl = gimbro;
    g_lstDevInfo.push_back(dev);
    host.gimbro = gimbro;
    host.broadcast.devices = {ToBroadcastDevice(dev)};
    return g_lstDevInfo.back();
  }
  static void Press(CVideoToolbarDlg& toolbar, int id) {
    CImageButton* button = toolbar.Button(id);
    ASSERT_NE(button, nullptr) << id;
    button->click();
  }
  static QString Message(CVideoToolbarDlg& toolbar) {
    CResMsgDlg* box = toolbar.GetMsgDlg();
    if (!box || !box->isVisible()) return QString();
    return static_cast<QLabel*>(box->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text();
  }

  TempFolder folder;
  QWidget mainWindow;
  FakeHost host;
  std::vector<std::unique_ptr<CVideoToolbarDlg>> toolbars;
};

}  // namespace

TEST_F(VideoToolbarTest, EveryButtonReachesItsHostCall) {
  struct Row {
    int page, module, id;
    std::vector<std::string> calls;
  };
  const int layouts[] = {1, 4, 6, 9, 8, 16, 25, 36, 10, 13, 49, 64};
  std::vector<Row> rows;
  for (int i = 0; i < 12; ++i) rows.push_back({0, 0, 1023 + i, {"SetDisplayMode " + std::to_string(layouts[i])}});
  const std::vector<Row> more = {
      {0, 0, 1380, {"PlaybackSetWindowCount 1"}},
      {0, 0, 1381, {"PlaybackSetWindowCount 2"}},
      {0, 0, 1382, {"PlaybackSetWindowCount 4"}},
      {0, 0, 1017, {"ToggleFullScreen"}},
      {0, 1, 1017, {"PlaybackFullScreen"}},  // main toolbar in the record module
      {1, 0, 1017, {"PlaybackFullScreen"}},  // the playback page's toolbar
      {0, 0, 1018, {"SwitchCifD1"}},
      {0, 0, 1019, {"StopSelectedWatch"}},
      {0, 0, 1020, {"OnSnapShot"}},
      {0, 0, 1021, {"OnSpeak"}},
      {0, 0, 1022, {"OnOpenSound"}},
      {0, 0, 1282, {"ToggleSoundSwitch"}},
      {0, 0, 1283, {"FillAllWnd", "PlaybackSetFillScreen 1", "ShowFillScreenOnToolbars 1"}},
      {0, 0, 1284, {"OnPatrol"}},
      {4, 4, 1284, {"TVWallPatrol"}},
      {0, 4, 1285, {"PopupTVWallLayout"}},
      {0, 0, 1286, {"OnManualRecord"}},
      {0, 0, 1287, {"FlipSelectedVideo"}},
      {0, 0, 1288, {"EnableGrids 0"}},
      {0, 0, 1289, {"OnDefaultRec"}},
      {0, 0, 1352, {"SetZoomMode 0", "PlaybackSetMouseMode 0"}},
      {0, 0, 1353, {"SetZoomMode 3", "PlaybackSetMouseMode 3"}},
      {0, 0, 1354, {"SetZoomMode 1", "PlaybackSetMouseMode 1"}},
      {0, 0, 1355, {"SetZoomMode 2", "PlaybackSetMouseMode 2"}},
      {5, 5, 1352, {"SetMapCursorMode 0"}},
      {5, 5, 1354, {"SetMapCursorMode 1"}},
      {1, 1, 1383, {"PlaybackHideShow"}},
  };
  rows.insert(rows.end(), more.begin(), more.end());
  for (const Row& row : rows) {
    host.module = row.module;
    CVideoToolbarDlg& toolbar = Make(row.page);
    host.calls.clear();
    Press(toolbar, row.id);
    EXPECT_EQ(host.calls, row.calls) << "button " << row.id << " page " << row.page;
    toolbars.clear();
  }
}

TEST_F(VideoToolbarTest, ShowLiveAndPlaybackButtonsSetTheWidgets) {
  CVideoToolbarDlg& toolbar = Make(0);
  host.module = 1;  // record query
  toolbar.ShowLiveButtons(FALSE, FALSE);
  toolbar.ShowPlaybackButtons(TRUE);
  for (int id : vtb::AllControls()) {
    QWidget* control = toolbar.GetDlgItem(id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_EQ(control->isVisibleTo(&toolbar), toolbar.ButtonSet().IsVisible(id)) << id;
    EXPECT_EQ(control->geometry(), QRect(toolbar.ButtonSet().X(id), 10, toolbar.ButtonSet().Width(id), 22)) << id;
  }
  EXPECT_TRUE(toolbar.GetDlgItem(1380)->isVisibleTo(&toolbar));
  EXPECT_FALSE(toolbar.GetDlgItem(1023)->isVisibleTo(&toolbar));
  EXPECT_EQ(toolbar.GetDlgItem(1283)->x(), 233);

  // Switching to the TV wall shows patrol at 200 with its idle picture.
  toolbar.SetPatrolButton(TRUE);
  host.module = 4;
  toolbar.ShowLiveButtons(TRUE, FALSE);
  toolbar.ShowPlaybackButtons(FALSE);
  EXPECT_TRUE(toolbar.GetDlgItem(1284)->isVisibleTo(&toolbar));
  EXPECT_EQ(toolbar.GetDlgItem(1284)->x(), 200);
  EXPECT_TRUE(toolbar.GetDlgItem(1285)->isVisibleTo(&toolbar));
  EXPECT_FALSE(toolbar.GetDlgItem(1352)->isVisibleTo(&toolbar));
  EXPECT_EQ(toolbar.ButtonPicture(1284), 240u);
}

TEST_F(VideoToolbarTest, RecordAllButtonFollowsTheAllRecordingFlag) {
  // Initialisation recomputes the flag from the schemes.
  for (int onOff : {1, 1}) {
    auto* scheme = new RecSchemeInfo;
    scheme->OnOff = onOff;
    g_lstRecSchemeInfo.push_back(scheme);
  }
  CVideoToolbarDlg& toolbar = Make(0);
  EXPECT_EQ(host.allRecordFlag, 1);
  EXPECT_EQ(toolbar.ButtonPicture(1289), 330u);
  EXPECT_EQ(toolbar.Button(1289)->toolTip(), "Stop All Record");

  Press(toolbar, 1289);  // the main window flips the flag
  EXPECT_EQ(host.Last(), "OnDefaultRec");
  EXPECT_EQ(toolbar.ButtonPicture(1289), 331u);
  EXPECT_EQ(toolbar.Button(1289)->toolTip(), "Start All Record");

  toolbar.SetRecordAllButton(TRUE);  // as the main window and the configuration manager set it
  EXPECT_EQ(toolbar.ButtonPicture(1289), 330u);
  EXPECT_EQ(toolbar.Button(1289)->toolTip(), "Stop All Record");

  g_lstRecSchemeInfo.front()->OnOff = 0;
  CVideoToolbarDlg& second = Make(0);
  EXPECT_EQ(host.allRecordFlag, 0);
  EXPECT_EQ(second.ButtonPicture(1289), 331u);
}

TEST_F(VideoToolbarTest, RecordAllWithoutTheRecordRightIsRefused) {
  CVideoToolbarDlg& toolbar = Make(0);
  g_nCurRights[2] = 0;
  host.calls.clear();
  Press(toolbar, 1289);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(Message(toolbar), LoadStringW(285));
  g_nCurRights[2] = 1;
}

TEST_F(VideoToolbarTest, AlarmActionPictureFollowsTheSoundSwitch) {
  CVideoToolbarDlg& toolbar = Make(0);
  EXPECT_EQ(toolbar.ButtonPicture(1282), 230u);
  Press(toolbar, 1282);
  EXPECT_EQ(toolbar.ButtonPicture(1282), 229u);
  Press(toolbar, 1282);
  EXPECT_EQ(toolbar.ButtonPicture(1282), 230u);
}

TEST_F(VideoToolbarTest, StopAllAsksFirstAndOkStopsEveryGrid) {
  // Recover.xml of the user, so that the save has a file to update.
  g_szCurUser[0] = 0;
  CopyFixedText(g_szCurUser, 256, "admin");
  std::filesystem::create_directories(folder.File("Config"));
  LoadRecoverInfo();  // writes the default file
  LoadRecoverInfo();
  ASSERT_TRUE(g_lstSurStatus.empty());

  CVideoToolbarDlg& toolbar = Make(0);
  toolbar.SetTalkButton(TRUE);
  toolbar.SetSoundButton(TRUE);
  toolbar.SetPatrolButton(TRUE);
  toolbar.SetManualRecordButton(TRUE);

  host.busy = false;  // no pane watches: nothing is asked
  host.calls.clear();
  Press(toolbar, 1281);
  EXPECT_TRUE(Message(toolbar).isEmpty());

  host.busy = true;
  Press(toolbar, 1281);
  EXPECT_EQ(Message(toolbar), "Are you sure to close all surveillance video?");
  auto* box = toolbar.GetMsgDlg();
  static_cast<QPushButton*>(box->GetDlgItem(CResMsgDlg::IDC_MSG_CANCEL))->click();
  EXPECT_TRUE(host.calls.empty());

  host.onRemoveAll = [] {
    SurStatus status;
    CopyFixedText(status.DevName, "Gate camera");
    g_lstSurStatus.push_back(status);
  };
  Press(toolbar, 1281);
  static_cast<QPushButton*>(box->GetDlgItem(CResMsgDlg::IDC_MSG_OK))->click();
  EXPECT_EQ(host.calls, std::vector<std::string>{"RemoveAllWatchAndSave"});
  EXPECT_EQ(toolbar.ButtonPicture(1021), 177u);
  EXPECT_EQ(toolbar.ButtonPicture(1022), 176u);
  EXPECT_EQ(toolbar.ButtonPicture(1284), 240u);
  EXPECT_EQ(toolbar.ButtonPicture(1286), 276u);
  EXPECT_EQ(toolbar.Button(1286)->toolTip(), LoadStringW(311));

  g_lstSurStatus.clear();  // the file now holds the state saved by the grids
  LoadRecoverInfo();
  ASSERT_EQ(g_lstSurStatus.size(), 1u);
  EXPECT_EQ(FixedText(g_lstSurStatus.front().DevName), "Gate camera");
}

TEST_F(VideoToolbarTest, StopAllActionBelongsToTheLiveToolbarOnly) {
  {
    CVideoToolbarDlg& live = Make(0);
    (void)live;
    CVideoToolbarDlg& map = Make(5);
    (void)map;
  }
  CResMsgDlg box;
  box.Create(CResMsgDlg::IDD, nullptr);
  box.ShowMsg(L"stop?", 9);
  host.calls.clear();
  box.OnBnClickedOk();
  EXPECT_EQ(host.calls, std::vector<std::string>{"RemoveAllWatchAndSave"});

  toolbars.clear();  // the live toolbar gone: OK stops nothing and does not crash
  box.ShowMsg(L"stop?", 9);
  host.calls.clear();
  box.OnBnClickedOk();
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(VideoToolbarTest, TalkAndSoundRefusals) {
  struct Row {
    bool broadcasting, otherTalking;
    const char* message;
  };
  const Row rows[] = {
      {false, false, nullptr},
      {false, true, "There is a device in speaking, please comfirm it's on stop!"},
  };
  for (int id : {1021, 1022}) {
    for (const Row& row : rows) {
      CVideoToolbarDlg& toolbar = Make(0);
      host.otherTalking = row.otherTalking;
      host.calls.clear();
      Press(toolbar, id);
      if (row.message) {
        EXPECT_TRUE(host.calls.empty()) << id;
        EXPECT_EQ(Message(toolbar), row.message) << id;
      } else {
        EXPECT_EQ(host.calls.size(), 1u) << id;
      }
      toolbars.clear();
    }
  }
  host.otherTalking = false;
}

TEST_F(VideoToolbarTest, FillScreenInvertsTheSettingAndSwapsThePicture) {
  CVideoToolbarDlg& toolbar = Make(0);
  EXPECT_EQ(toolbar.ButtonPicture(1283), 232u);
  Press(toolbar, 1283);
  EXPECT_EQ(g_nFullDisp, 1);
  EXPECT_EQ(toolbar.ButtonPicture(1283), 233u);
  host.calls.clear();
  Press(toolbar, 1283);
  EXPECT_EQ(g_nFullDisp, 0);
  EXPECT_EQ(toolbar.ButtonPicture(1283), 232u);
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"FillAllWnd", "PlaybackSetFillScreen 0", "ShowFillScreenOnToolbars 0"}));
}

TEST_F(VideoToolbarTest, LockDisablesTheOtherButtonsUntilUnlockIsConfirmed) {
  CVideoToolbarDlg& toolbar = Make(0);
  Press(toolbar, 1288);
  EXPECT_TRUE(toolbar.IsLocked());
  EXPECT_FALSE(toolbar.Button(1019)->isEnabled());
  EXPECT_TRUE(toolbar.Button(1288)->isEnabled());

  host.calls.clear();
  host.unlockOk = false;
  Press(toolbar, 1288);
  EXPECT_EQ(host.calls, std::vector<std::string>{"ConfirmUnlock"});
  EXPECT_TRUE(toolbar.IsLocked());

  host.calls.clear();
  host.unlockOk = true;
  Press(toolbar, 1288);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"ConfirmUnlock", "EnableGrids 1"}));
  EXPECT_FALSE(toolbar.IsLocked());
  EXPECT_TRUE(toolbar.Button(1019)->isEnabled());
}

TEST_F(VideoToolbarTest, ClockRunsWhileHidden) {
  CVideoToolbarDlg& toolbar = Make(0);
  EXPECT_EQ(toolbar.GetClockText().size(), 19u);
  toolbar.hide();
  const CString before = toolbar.GetClockText();
  QApplication::processEvents();
  for (int i = 0; i < 30 && toolbar.GetClockText() == before; ++i) {
    QThread::msleep(100);
    QApplication::processEvents();
  }
  EXPECT_NE(toolbar.GetClockText(), before);
}

TEST_F(VideoToolbarTest, BroadcastRefusals) {
  DevInfo listed;
  CopyFixedText(listed.DevName, "Gate");
  struct Row {
    std::function<void(FakeHost&)> set;
    const char* message;
  };
  const Row rows[] = {
      {[](FakeHost& h) { h.talkOpen = -1; }, "There is a device in speaking, please comfirm it's on stop!"},
      {[](FakeHost& h) { h.activeTalk = true; }, "There is a device in speaking, please comfirm it's on stop!"},
      {[](FakeHost& h) { h.talkOpen = -1; h.mainSound = true; },  // talk is checked first
       "There is a device in speaking, please comfirm it's on stop!"},
      {[](FakeHost& h) { h.mainSound = true; }, "Current equipment turned on the sound, please stop"},
      {[](FakeHost& h) { h.alarmSound = true; }, "Current equipment turned on the sound, please stop"},
      {[](FakeHost& h) { h.broadcast.devices.clear(); }, "Please add the equipment to be broadcast"},
      {[](FakeHost& h) { h.haveBroadcastPage = false; }, "Please add the equipment to be broadcast"},
  };
  CGimbroCtrl gimbro;
  for (const Row& row : rows) {
    FakeHost fresh;
    fresh.broadcast.devices = {ToBroadcastDevice(listed)};
    fresh.gimbro = &gimbro;
    row.set(fresh);
    CVideoToolbarDlg toolbar(&mainWindow, 0, &fresh);
    ASSERT_TRUE(toolbar.Create(CVideoToolbarDlg::IDD, &mainWindow));
    Press(toolbar, 1374);
    EXPECT_EQ(Message(toolbar), row.message);
    EXPECT_FALSE(toolbar.IsBroadcastRunning());
    EXPECT_EQ(toolbar.ButtonPicture(1374), 967u);
  }
}

TEST_F(VideoToolbarTest, BroadcastStartsOnOnlineDevicesAndStops) {
  CGimbroCtrl gimbro;
  auto add = [&](const char* id, const char* name, int type, int online) {
    DevInfo dev;
    CopyFixedText(dev.DevId, id);
    CopyFixedText(dev.DevName, name);
    dev.DevType = type;
    dev.nOnline = online;
    dev.pGimbroCtrl = &gimbro;
    g_lstDevInfo.push_back(dev);
    return &g_lstDevInfo.back();
  };
  DevInfo* gate = add("1", "Gate", 1, 1);
  DevInfo* yard = add("2", "Yard", 1, 0);        // offline: not added
  DevInfo* plainHall = add("8", "Hall", 1, 1);   // named like the NVR channel's name only
  DevInfo* hall = add("7", "Hall", 4, 1);        // NVR channel: named "7-Hall"
  DevInfo* roof = add("3", "Roof", 1, 1);
  roof->pGimbroCtrl = nullptr;  // no device-messaging wrapper: not added
  host.gimbro = &gimbro;
  for (const DevInfo* dev : {gate, yard, hall, roof}) host.broadcast.devices.push_back(ToBroadcastDevice(*dev));

  CVideoToolbarDlg& toolbar = Make(0);
  EXPECT_EQ(toolbar.BroadcastRun(), nullptr);  // nothing to stop before the first press
  Press(toolbar, 1374);
  EXPECT_TRUE(toolbar.IsBroadcastRunning());
  EXPECT_EQ(toolbar.ButtonPicture(1374), 968u);
  CBroadcastRun* run = toolbar.BroadcastRun();
  ASSERT_NE(run, nullptr);
  const struct {
    const DevInfo* dev;
    bool marked;
  } marks[] = {{gate, true}, {yard, false}, {plainHall, false}, {hall, true}, {roof, false}};
  for (const auto& row : marks) EXPECT_EQ(run->IsBroadcasting(*row.dev), row.marked) << row.dev->DevName;

  // While it runs, talk and sound are refused.
  host.calls.clear();
  Press(toolbar, 1021);
  EXPECT_EQ(Message(toolbar), "Ongoing radio, turn off and then operate");
  Press(toolbar, 1022);
  EXPECT_TRUE(host.calls.empty());

  Press(toolbar, 1374);
  EXPECT_FALSE(toolbar.IsBroadcastRunning());
  EXPECT_EQ(toolbar.ButtonPicture(1374), 967u);
  for (const auto& row : marks) EXPECT_FALSE(run->IsBroadcasting(*row.dev)) << row.dev->DevName;
  EXPECT_EQ(toolbar.BroadcastRun(), run);  // one run for the toolbar's life
}

// The broadcast page stops the toolbar's own run when its list is replaced;
// the toolbar's next press starts again.
TEST_F(VideoToolbarTest, BroadcastStoppedByThePageLeavesTheButtonIdle) {
  CGimbroCtrl gimbro;
  const DevInfo& gate = ListGate(&gimbro);
  CVideoToolbarDlg& toolbar = Make(0);
  Press(toolbar, 1374);
  ASSERT_TRUE(toolbar.IsBroadcastRunning());

  toolbar.BroadcastRun()->Stop(host.broadcast);
  toolbar.ResetBroadcast();
  EXPECT_FALSE(toolbar.IsBroadcastRunning());
  EXPECT_EQ(toolbar.ButtonPicture(1374), 967u);
  EXPECT_FALSE(toolbar.BroadcastRun()->IsBroadcasting(gate));

  Press(toolbar, 1374);
  EXPECT_TRUE(toolbar.IsBroadcastRunning());
  EXPECT_EQ(toolbar.ButtonPicture(1374), 968u);
}

TEST_F(VideoToolbarTest, BroadcastThatCannotStartLeavesTheButtonIdle) {
  CGimbroCtrl gimbro;
  gimbro.Release();  // every call now fails
  const DevInfo& gate = ListGate(&gimbro);
  CVideoToolbarDlg& toolbar = Make(0);
  for (int press = 0; press < 2; ++press) {  // a second press tries to start again, not to stop
    Press(toolbar, 1374);
    EXPECT_FALSE(toolbar.IsBroadcastRunning());
    EXPECT_EQ(toolbar.ButtonPicture(1374), 967u);
    ASSERT_NE(toolbar.BroadcastRun(), nullptr);
    EXPECT_FALSE(toolbar.BroadcastRun()->IsBroadcasting(gate));
  }
  // Talk is not refused by a broadcast that never started.
  host.calls.clear();
  Press(toolbar, 1021);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"OnSpeak"}));
}

TEST_F(VideoToolbarTest, BroadcastWithoutTheControlDoesNothing) {
  ListGate(nullptr);
  CVideoToolbarDlg& toolbar = Make(0);
  Press(toolbar, 1374);
  EXPECT_FALSE(toolbar.IsBroadcastRunning());
  EXPECT_EQ(toolbar.BroadcastRun(), nullptr);
  EXPECT_EQ(toolbar.ButtonPicture(1374), 967u);
}

TEST_F(VideoToolbarTest, EnterAndEscapeNeitherCloseTheStripNorPressAButton) {
  CVideoToolbarDlg& toolbar = Make(0);
  mainWindow.show();
  toolbar.show();
  host.calls.clear();
  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&toolbar, &press);
  }
  EXPECT_TRUE(toolbar.isVisible());
  EXPECT_TRUE(host.calls.empty());
  mainWindow.hide();
}
