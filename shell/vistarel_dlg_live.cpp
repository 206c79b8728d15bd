// What the main window does for live video: the PTZ panel's and the keyboard's
// command texts, the grids' and panes' requests, the video toolbar's buttons,
// talk with an NVR and device alarms.
#include <QApplication>
#include <cstring>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "alarm_map_wall/tvwall/draw_tvwall_dlg.h"
#include "alarm_map_wall/emap/map_dlg.h"
#include "alarm_map_wall/emap/map_manager_dlg.h"
#include "alarm_map_wall/tvwall/tv_wall_manager.h"
#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme.h"
#include "core/user_settings.h"
#include "live/audio/audio_codec.h"
#include "live/audio/broadcast_dlg.h"
#include "live/grid/video_manager_dlg.h"
#include "live/toolbar/video_toolbar_dlg.h"
#include "live/grid/video_wnd.h"
#include "maker/gimbro/gimbro.h"
#include "platform/critical_section.h"
#include "platform/post_message.h"
#include "records/recording/rec_scheme_manager.h"
#include "records/search/search_rec_dlg.h"
#include "settings/local/sys_setting_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/device_list_dlg.h"
#include "shell/live_controls.h"
#include "shell/module_rights.h"
#include "shell/view_state.h"
#include "shell/vistarel_dlg.h"

namespace {

constexpr int kAlarmMotion = 14;
constexpr int kAlarmIoFirst = 15;
constexpr int kAlarmIoLast = 16;

}  // namespace

CVideoManagerDlg* CVistarelDlg::ActiveGrid() const {
  return m_pActiveVideoManager != nullptr ? m_pActiveVideoManager : m_pVideoManagerDlg;
}

bool CVistarelDlg::IsMultiScreen() { return g_bMultiScreen != 0; }

std::vector<CVideoManagerDlg*> CVistarelDlg::LiveGrids() {
  std::vector<CVideoManagerDlg*> grids;
  if (m_pVideoManagerDlg != nullptr) grids.push_back(m_pVideoManagerDlg);
  if (!g_bMultiScreen) return grids;
  for (ScreenInfo* screen : m_lstScreenInfo) {
    if (screen->pVideoManagerDlg != nullptr) grids.push_back(screen->pVideoManagerDlg);
  }
  return grids;
}

int CVistarelDlg::ExtendedPosition(CVideoManagerDlg* grid) {
  int position = 1;
  for (ScreenInfo* screen : m_lstScreenInfo) {
    if (screen->pVideoManagerDlg == grid) return position;
    ++position;
  }
  return 0;
}

// ---- PTZ ----------------------------------------------------------------------------

void CVistarelDlg::SendPtzXml(const std::string& text) {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->SendPtzCommand(text);
}

// Called on the keyboard's thread: the text crosses to the UI thread.
void CVistarelDlg::SendKeyboardPtzData(const CString& text) { PostText(GetSafeHwnd(), WM_KEYBOARD_PTZ, 0, text.c_str()); }

int CVistarelDlg::GetSelectedPtzAddr() {
  return m_pVideoManagerDlg != nullptr ? m_pVideoManagerDlg->GetSelectedPtzAddr() : 0;
}

void CVistarelDlg::SetRelayPtzDirection(int code, int panSpeed, int tiltSpeed) {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->SetRelayPtzDirection(code, panSpeed, tiltSpeed);
}

void CVistarelDlg::SetRelayPtzAdvance(int code) {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->SetRelayPtzAdvance(code);
}

bool CVistarelDlg::ActivePaneShowsRelay() {
  CVideoManagerDlg* grid = ActiveGrid();
  return grid != nullptr && grid->SelectedPane() != nullptr && grid->SelectedPane()->IsRelaying();
}

bool CVistarelDlg::MainPaneShowsRelay() {
  return m_pVideoManagerDlg != nullptr && m_pVideoManagerDlg->SelectedPane() != nullptr &&
         m_pVideoManagerDlg->SelectedPane()->IsRelaying();
}


// ---- grids and panes --------------------------------------------------------------

void CVistarelDlg::SelectDevItem(const DevInfo& dev) {
  if (m_pDeviceListDlg != nullptr) m_pDeviceListDlg->SelectDevItem(&dev);
}

void CVistarelDlg::SelectVssChannelItem(const PaneRelayDevice& dev) {
  if (m_pDeviceListDlg != nullptr) m_pDeviceListDlg->SelectVssChannelItem(dev.DevName, dev.MACAddr, dev.IPAddr);
}

void CVistarelDlg::SetToolButtonPicture(int buttonId, int pictureId, int) {
  if (m_pVideoToolbarDlg == nullptr) return;
  switch (buttonId) {
    case toolbar::kTalkButton: m_pVideoToolbarDlg->SetTalkButton(pictureId == toolbar::kTalkOn); break;
    case toolbar::kSoundButton: m_pVideoToolbarDlg->SetSoundButton(pictureId == toolbar::kSoundOn); break;
    case toolbar::kPatrolButton: m_pVideoToolbarDlg->SetPatrolButton(pictureId == toolbar::kPatrolOn); break;
    case toolbar::kRecordButton: m_pVideoToolbarDlg->SetManualRecordButton(pictureId == toolbar::kRecordOn); break;
    default: break;
  }
}

bool CVistarelDlg::IsLiveModuleShown() { return g_nCurModule == kModuleLive; }

void CVistarelDlg::FocusMainWindow() { activateWindow(); }

std::string CVistarelDlg::PictureFolder() { return {}; }
std::string CVistarelDlg::VideoFolder() { return {}; }
int CVistarelDlg::KeyboardAllPanes() { return g_nKbConfigMode; }

void CVistarelDlg::OnStopWatch(DevInfo* dev, int arg) {
  if (dev == nullptr) return;
  WriteLog(6, "CVistarelDlg::OnStopWatch(): Begin...");
  std::vector<CVideoManagerDlg*> grids{m_pVideoManagerDlg};
  for (ScreenInfo* screen : m_lstScreenInfo) grids.push_back(screen->pVideoManagerDlg);
  for (CVideoManagerDlg* grid : grids) {
    if (grid == nullptr) continue;
    for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
      CVideoWnd* pane = grid->Pane(i);
      if (pane != nullptr && pane->IsWatching() && strcmp(pane->WatchedDev().DevName, dev->DevName) == 0) {
        grid->StopWatch(i, arg);
        break;
      }
    }
  }
  WriteLog(6, "CVistarelDlg::OnStopWatch(): End.");
}

// An alarm of a local device goes to the alarm list (which starts the
// device's blink) and, for motion and IO alarms while recording runs, to the
// words the recording thread reads for alarm recording.
void CVistarelDlg::OnDevAlarm(DevInfo* dev, const GimbroAlarmRecord* alarm) {
  if (m_bClosing || dev == nullptr || alarm == nullptr) return;
  if (m_pAlarmListDlg != nullptr) m_pAlarmListDlg->AddAlarm(dev, alarm);
  const int type = alarm->type;
  if (m_pRecSchemeManager == nullptr) return;
  if (type != kAlarmMotion && (type < kAlarmIoFirst || type > kAlarmIoLast)) return;
  CsLock lock(&g_csAppData);
  const CString name = dev->DevName;
  for (DevInfo& each : g_lstDevInfo) {
    if (name != each.DevName) continue;
    if (type == kAlarmMotion) each.nMotionAlarm = type;
    else each.nIOAlarm = type;
  }
}

void CVistarelDlg::FillAllWnd() {
  for (CVideoManagerDlg* grid : LiveGrids()) grid->ApplyFillScreen(g_nFullDisp);
}

int CVistarelDlg::IsTalkOpen() {
  if (m_pVideoManagerDlg != nullptr && m_pVideoManagerDlg->IsTalkOpen()) return -1;
  for (ScreenInfo* screen : m_lstScreenInfo) {
    CVideoManagerDlg* grid = screen->pVideoManagerDlg;
    if (grid != nullptr && grid != m_pActiveVideoManager && grid->IsTalkOpen()) return -1;
  }
  if (m_pAlmActDlg != nullptr && m_pAlmActDlg->IsTalking()) return -1;
  return 0;
}

int CVistarelDlg::CloseAllSound() {
  int closed = -1;
  for (CVideoManagerDlg* grid : LiveGrids()) {
    if (grid->IsSoundOpen()) {
      grid->OnOpenSound();  // the sound button toggles it off
      closed = 0;
    }
  }
  CVideoWnd* alarmPane = m_pAlmActDlg != nullptr ? m_pAlmActDlg->Pane() : nullptr;
  if (alarmPane != nullptr && alarmPane->IsSoundOn() && alarmPane->OpenSound() == 0) closed = 0;
  return closed;
}

AlarmHost CVistarelDlg::MakeAlarmHost() {
  AlarmHost host;
  host.LocalMac = [this] { return std::string(m_szAdapterAddr); };
  host.FocusMainWindow = [this] { FocusMainWindow(); };
  host.IsMainMinimized = [this] { return m_bMinimized != 0; };
  host.IsBroadcastRunning = [this] { return m_pVideoToolbarDlg != nullptr && m_pVideoToolbarDlg->IsBroadcastRunning(); };
  host.IsTalkOpen = [this] { return IsTalkOpen(); };
  host.CloseAllSound = [this] { return CloseAllSound(); };
  return host;
}

void CVistarelDlg::SetZoomMode(int mode) {
  if (g_nCurModule == kModuleMap && m_pMapManagerDlg != nullptr && m_pMapManagerDlg->m_pMapDlg != nullptr) {
    m_pMapManagerDlg->m_pMapDlg->SetCursorMode(mode);
    return;
  }
  for (CVideoManagerDlg* grid : LiveGrids()) grid->SetMouseMode(mode);
}

void CVistarelDlg::SetDispInfo(const CString& text) {
  g_strDispInfo = text;
  m_nCaptionRight = 0;
  StartTimer(TIMER_CAPTION, 200);
}

void CVistarelDlg::OnDefaultRec() {
  if (g_lstRecSchemeInfo.empty()) {
    WriteLog(6, "CVistarelDlg::OnDefaultRec():g_lstRecSchemeInfo.size()==0");
    return;
  }
  WriteLog(6, "CVistarelDlg::OnDefaultRec(): Begin...");
  {
    CsLock lock(&g_csAppData);
    for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) {
      if (scheme == nullptr) continue;
      if (m_bAllRecord && scheme->OnOff) scheme->OnOff = 0;
      else if (!m_bAllRecord && !scheme->OnOff) scheme->OnOff = 1;
    }
  }
  m_bAllRecord = m_bAllRecord ? 0 : 1;
  if (m_pVideoToolbarDlg != nullptr) m_pVideoToolbarDlg->SetRecordAllButton(m_bAllRecord);
  if (m_pCfgManagerDlg != nullptr) m_pCfgManagerDlg->SetRecordButtonCaption(m_bAllRecord);
  WriteLog(6, "CVistarelDlg::OnDefaultRec(): End.");
}

void CVistarelDlg::PopupTVWallLayout() {
  if (m_pDrawTVwallDlg == nullptr) return;
  m_pDrawTVwallDlg->show();
  m_pDrawTVwallDlg->raise();
}

// ---- talk with an NVR -----------------------------------------------------------------

int CVistarelDlg::OnNVRSpeakParam(LONG, const std::string& answer) {
  const std::optional<talk::AudioParams> params = ReadTalkAnswer(answer);
  if (!params) return -1;
  ReleaseNVRSpeakCodec(0);  // the previous decoder goes first
  std::unique_ptr<CAudioCodec> codec;
  const int result = OpenTalkDecoder(*params, &codec);
  if (result == 0) {
    std::lock_guard<std::mutex> lock(m_talkLock);
    m_pAudioCodec = std::move(codec);
  }
  return result;
}

int CVistarelDlg::OnNVRSpeakMediaData(LONG, const BYTE* data, long length) {
  std::lock_guard<std::mutex> lock(m_talkLock);
  if (m_pAudioCodec == nullptr) {
    WriteLog(6, "OnNVRSpeakMediaData(): m_pAudioCodec is null,but recv nvr speak media data.");
    return 0;
  }
  m_pAudioCodec->InputData(data, length);
  return 0;
}

void CVistarelDlg::ReleaseNVRSpeakCodec(int flag) {
  if (flag != 0) return;
  std::unique_ptr<CAudioCodec> codec;
  {
    std::lock_guard<std::mutex> lock(m_talkLock);
    codec = std::move(m_pAudioCodec);
  }
  codec.reset();  // joins the decoder's thread outside the lock
}

int CVistarelDlg::ClearTalkByStreamId(long streamId) {
  for (const DevInfo& dev : g_lstDevInfo) {
    if (streamId == 0 || (dev.MainStreamId != streamId && dev.SubStreamId != streamId)) continue;
    if (m_pVideoManagerDlg == nullptr) return 0;
    // The grid knows a talking pane by its talk key: an NVR channel's address and name, else the name.
    const std::string key = dev.DevType == kDevTypeNvr ? std::string(dev.IPAddr) + "-" + dev.DevName : dev.DevName;
    return m_pVideoManagerDlg->SetSpeakStatus(key.c_str(), FALSE);
  }
  return 0;
}

// ---- video toolbar ----------------------------------------------------------------------

int CVistarelDlg::GetCurModule() { return g_nCurModule; }

void CVistarelDlg::SetDisplayMode(int mode) {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->SetDisplayMode(mode, grid->IsFullScreen());
}

void CVistarelDlg::ToggleFullScreen() {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->ToggleFullScreen();
}

void CVistarelDlg::SwitchCifD1() {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->SwitchCifD1();
}

void CVistarelDlg::StopSelectedWatch() {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->StopSelectedWatch();
}

void CVistarelDlg::OnSnapShot() {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->OnSnapShot();
}

void CVistarelDlg::OnSpeak() {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->OnSpeak();
}

void CVistarelDlg::OnOpenSound() {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->OnOpenSound();
}

void CVistarelDlg::OnManualRecord() {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->OnManualRecord();
}

void CVistarelDlg::OnPatrol() {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->OnPatrol();
}

void CVistarelDlg::FlipSelectedVideo() {
  if (CVideoManagerDlg* grid = ActiveGrid()) grid->FlipSelectedVideo();
}

bool CVistarelDlg::IsOtherPaneTalking() {
  CVideoManagerDlg* active = ActiveGrid();
  for (CVideoManagerDlg* grid : LiveGrids()) {
    for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
      CVideoWnd* pane = grid->Pane(i);
      if (pane == nullptr || !pane->IsTalking()) continue;
      if (grid != active || i != grid->GetSelectedIndex()) return true;
    }
  }
  return m_pAlmActDlg != nullptr && m_pAlmActDlg->IsTalking();
}

bool CVistarelDlg::IsActiveGridTalkOpen() {
  CVideoManagerDlg* grid = ActiveGrid();
  return grid != nullptr && grid->IsTalkOpen();
}

bool CVistarelDlg::IsMainGridSoundOpen() { return m_pVideoManagerDlg != nullptr && m_pVideoManagerDlg->IsSoundOpen(); }

bool CVistarelDlg::IsAlarmActSoundOpen() { return false; }

bool CVistarelDlg::MainGridHasBusyPane() {
  if (m_pVideoManagerDlg == nullptr) return false;
  for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
    CVideoWnd* pane = m_pVideoManagerDlg->Pane(i);
    if (pane != nullptr && pane->IsBusy()) return true;
  }
  return false;
}

void CVistarelDlg::RemoveAllWatchAndSave() {
  for (CVideoManagerDlg* grid : LiveGrids()) {
    grid->RemoveAllWatch();
    grid->SaveSurveillanceStatus();
  }
}

void CVistarelDlg::EnableGrids(BOOL enable) {
  if (m_pVideoManagerDlg != nullptr) m_pVideoManagerDlg->setEnabled(enable != 0);
  for (ScreenInfo* screen : m_lstScreenInfo) {
    if (screen->pVideoManagerDlg != nullptr) screen->pVideoManagerDlg->setEnabled(enable != 0);
  }
}

bool CVistarelDlg::ConfirmUnlock() { return m_env.askUnlockPassword ? m_env.askUnlockPassword(this) : false; }

int CVistarelDlg::ToggleSoundSwitch() { return m_pAlarmListDlg != nullptr ? m_pAlarmListDlg->ToggleSoundSwitch() : 0; }

void CVistarelDlg::ShowFillScreenOnToolbars(BOOL on) {
  if (m_pVideoToolbarDlg != nullptr) m_pVideoToolbarDlg->SetFillScreenButton(on);
}

void CVistarelDlg::PlaybackFullScreen() {
  if (m_pSearchRecDlg != nullptr) m_pSearchRecDlg->OnFullScreen();
}

void CVistarelDlg::PlaybackSetWindowCount(int count) {
  if (m_pSearchRecDlg != nullptr) m_pSearchRecDlg->SetWindowCount(count);
}

void CVistarelDlg::PlaybackHideShow() {
  if (m_pSearchRecDlg != nullptr) m_pSearchRecDlg->OnHideShow();
}

void CVistarelDlg::PlaybackSetMouseMode(int mode) {
  if (m_pSearchRecDlg != nullptr) m_pSearchRecDlg->SetMouseMode(mode);
}

void CVistarelDlg::PlaybackSetFillScreen(BOOL on) {
  if (m_pSearchRecDlg != nullptr) m_pSearchRecDlg->SetFillScreen(on);
}

void CVistarelDlg::TVWallPatrol() {
  if (m_pTVWallManager != nullptr) m_pTVWallManager->Patrol();
}

void CVistarelDlg::SetMapCursorMode(int mode) {
  if (m_pMapManagerDlg != nullptr && m_pMapManagerDlg->m_pMapDlg != nullptr) m_pMapManagerDlg->m_pMapDlg->SetCursorMode(mode);
}

const BroadcastSettings* CVistarelDlg::GetBroadcastSettings() {
  if (m_pSysSettingDlg == nullptr || m_pSysSettingDlg->BroadcastPage() == nullptr) return nullptr;
  return &m_pSysSettingDlg->BroadcastPage()->GetBroadcastSettings();
}

CGimbroCtrl* CVistarelDlg::GetGimbroCtrl() { return g_pGimbroCtrl; }
