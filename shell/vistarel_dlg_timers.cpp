// The main window's timers, the messages of the worker threads, controls and
// the relay library, and the keys it swallows.
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/emap/map_dlg.h"
#include "alarm_map_wall/emap/map_manager_dlg.h"
#include "alarm_map_wall/tvwall/tv_wall_manager.h"
#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/res_msg_dlg.h"
#include "core/start_thread.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "live/streams/gimbro_events.h"
#include "live/live_messages.h"
#include "live/ptz/ptz_dlg.h"
#include "platform/thread_handoff.h"
#include "platform/window_registry.h"
#include "records/search/search_rec_dlg.h"
#include "live/streams/rtsp_events.h"
#include "live/grid/video_manager_dlg.h"
#include "maker/gimbro/gimbro.h"
#include "platform/codepage.h"
#include "platform/dialog_controls.h"
#include "platform/post_message.h"
#include "platform/string_table.h"
#include "records/recording/rec_file_manager.h"
#include "records/recording/rec_scheme_manager.h"
#include "records/recording/record_messages.h"
#include "relay/relay_message_handler.h"
#include "relay/remote_dev_info.h"
#include "relay/relay_messages.h"
#include "relay/udp/cloud_device_fetch.h"
#include "relay/udp/udp_login.h"
#include "relay/login/vemo2_login.h"
#include "relay/login/vss_info.h"
#include "core/login_logic.h"
#include "shell/alarm_blink.h"
#include "shell/arp_cache.h"
#include "settings/maintenance/setting_maint_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "settings/record/setting_record_dlg.h"
#include "shell/dev_tree.h"
#include "shell/live_controls.h"
#include "shell/device_list_dlg.h"
#include "shell/main_timers.h"
#include "shell/module_rights.h"
#include "shell/view_state.h"
#include "shell/vistarel_dlg.h"
#include "ui/image_button.h"

void CVistarelDlg::StartTimer(UINT_PTR id, UINT ms) { SetTimer(id, maintimers::Scaled(ms)); }

void CVistarelDlg::OnTimer(UINT_PTR id) {
  maintimers::Fired(id);
  switch (id) {
    case TIMER_DEVTREE: OnDevTreeTimer(); break;
    case TIMER_RECOVER: OnRecoverTimer(); break;
    case TIMER_ALARM_BLINK: OnAlarmBlinkTimer(); break;
    case TIMER_ALARM_BUTTON: OnAlarmButtonTimer(); break;
    case TIMER_CAPTION: OnCaptionTimer(); break;
    case TIMER_EXIT:
      KillTimer(TIMER_EXIT);
      ExitClient();
      break;
    case TIMER_VSS_LOGIN: OnVssLoginTimer(); break;
    case TIMER_CASCADE: OnCascadeTimer(); break;
    case TIMER_UDP_LOGIN: OnUdpLoginTimer(); break;
    case TIMER_START_THREAD: OnStartThreadTimer(); break;
    case TIMER_ARP: ClearArpCache(); break;
    default: break;
  }
}

void CVistarelDlg::OnDevTreeTimer() {
  KillTimer(TIMER_DEVTREE);
  // The messaging control's events reach this window from the first device
  // registration on: its sink is made and aimed here before the tree registers.
  CDevTree::CreateControls();
  g_pGimbroEvents->SetMainWindow(GetSafeHwnd());
  // NVR answers, replay parameters and frames go to the record search page.
  if (m_pSearchRecDlg != nullptr) m_pSearchRecDlg->ReceiveGimbroEvents(*g_pGimbroEvents);
  if (m_pPTZDlg != nullptr) g_pGimbroEvents->SetPtzPanel(m_pPTZDlg->GetSafeHwnd());
  // Maintenance answers and transfer failures go to the maintenance page.
  if (m_pCfgManagerDlg != nullptr && m_pCfgManagerDlg->GetMaintDlg() != nullptr) {
    g_pGimbroEvents->SetMaintenancePage(m_pCfgManagerDlg->GetMaintDlg()->GetSafeHwnd());
    m_pCfgManagerDlg->GetMaintDlg()->SetClosingCheck([this] { return m_bClosing != FALSE; });
  }
  const HWND self = GetSafeHwnd();
  g_pGimbroEvents->SetTalkHandlers(
      [self](LONG id, const BYTE* data, LONG length, const BYTE*) {
        // Talk audio comes on the messaging thread; the decoder is thread-safe.
        if (IsWindow(self) && g_pMainDlg != nullptr) g_pMainDlg->OnNVRSpeakMediaData(id, data, length);
      },
      [self](LONG id, std::string answer) {
        auto* text = new std::string(std::move(answer));
        PostObject(self, WM_TALK_ANSWER, static_cast<WPARAM>(id), text);
      });
  CDevTree::GetInstance()->Init();
  if (m_pDeviceListDlg != nullptr) m_pDeviceListDlg->ShowOriginalGroup();
  StartTimer(TIMER_RECOVER, 2000);
}

void CVistarelDlg::OnRecoverTimer() {
  KillTimer(TIMER_RECOVER);
  if (m_pVideoManagerDlg != nullptr) m_pVideoManagerDlg->RecoverSurveillanceStatus();
  if (g_bMultiScreen) {
    for (ScreenInfo* screen : m_lstScreenInfo) {
      if (screen->pVideoManagerDlg != nullptr) screen->pVideoManagerDlg->RecoverSurveillanceStatus();
    }
  }
  m_pRecSchemeManager = new CRecSchemeManager(GetSafeHwnd());
  m_pRecSchemeManager->SetLocalMac(m_szAdapterAddr);
  m_pRecSchemeManager->StartThread();
  m_pRecFileManager = new CRecFileManager(GetSafeHwnd());
  m_pRecFileManager->StartThread();
  StartTimer(TIMER_ALARM_BLINK, 1000);
}

// Every alarmed device's items blink for ten seconds, then show their state again.
void CVistarelDlg::OnAlarmBlinkTimer() {
  const bool mapShown = g_nCurModule == kModuleMap || IsOnExtScreen(kModuleMap);
  for (DevInfo& dev : g_lstDevInfo) {
    if (!dev.bAlarmFlag) continue;
    const int state = AlarmBlinkTick(dev.bAlarmFlag, dev.nAlarmBlinkCount, dev.bAlarmBlink);
    if (m_pDeviceListDlg != nullptr) m_pDeviceListDlg->SetAlarmImage(dev.DevName, state);
    if (mapShown && m_pMapManagerDlg != nullptr) {
      if (m_pMapManagerDlg->m_pDevListDlg != nullptr) m_pMapManagerDlg->m_pDevListDlg->SetAlarmImage(dev.DevName, state);
      if (m_pMapManagerDlg->m_pMapDlg != nullptr) m_pMapManagerDlg->m_pMapDlg->SetDeviceAlarm(dev.DevName, state);
    }
  }
  for (Vemo2Node& server : g_lstVssInfo) {
    for (RelayDevice& device : server.lstRelayDevice) {
      if (!device.bAlarmFlag) continue;
      const int state = AlarmBlinkTick(device.bAlarmFlag, device.nAlarmBlinkCount, device.bAlarmBlink);
      if (m_pDeviceListDlg != nullptr) m_pDeviceListDlg->SetVssAlarmImage(device.DevName, device.MACAddr, state);
    }
  }
}

// After the first alarm the caption of the alarm button flashes red until exit.
void CVistarelDlg::OnAlarmButtonTimer() {
  if (m_btnAlarmList == nullptr) return;
  m_bAlarmButtonRed = !m_bAlarmButtonRed;
  m_btnAlarmList->SetTextColor(m_bAlarmButtonRed ? 0x0000FF : 0x000000);
  m_btnAlarmList->update();
}

// The scrolling caption: the "DispInfo" text moves 5 pixels right per tick
// and starts again at the left. The window repaints its background under the
// strip on every tick, so a module switch (which asks for the background to
// be saved again) only needs the strip repainted whole.
void CVistarelDlg::OnCaptionTimer() {
  m_nCaptionRight += 5;
  m_bRedrawCaptionBk = FALSE;
  update(QRect(0, 10, m_layout.W - 100, fontMetrics().height()));
  if (m_nCaptionRight > m_layout.W - 105) m_nCaptionRight = 0;
}

void CVistarelDlg::OnVssLoginTimer() {
  KillTimer(TIMER_VSS_LOGIN);
  delete m_pVemo2Login;  // a previous one is stopped first
  m_pVemo2Login = new CVemo2Login();
  m_pVemo2Login->SetNotifyWnd(GetSafeHwnd());
  m_pVemo2Login->Start();
}

void CVistarelDlg::OnCascadeTimer() {
  KillTimer(TIMER_CASCADE);
  m_pCascade->Start(m_pVideoManagerDlg != nullptr ? m_pVideoManagerDlg->GetDisplayMode() : 0);
}

void CVistarelDlg::OnUdpLoginTimer() {
  KillTimer(TIMER_UDP_LOGIN);
  if (m_bClosing) return;
  delete m_pUdpLogin;  // a previous one is stopped first
  m_pUdpLogin = new CUdpLogin(g_szCurUser, g_szCurPassword, g_szLoginSvrIp, UdpLoginPort());
  m_pUdpLogin->SetNotifyWnd(GetSafeHwnd());
  m_pUdpLogin->Start();
}

void CVistarelDlg::OnStartThreadTimer() {
  KillTimer(TIMER_START_THREAD);
  if (m_pStartThread != nullptr) return;
  m_pStartThread = new CStartThread(GetSafeHwnd());
  m_pStartThread->Start();
}

// ---- messages -------------------------------------------------------------------

LRESULT CVistarelDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TALKPARAMCHANGED:
      OnTalkParamChanged(wParam);
      return 0;
    case WM_DEVALARM:
      OnDevAlarmMessage(wParam, lParam);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_RECORD_STATE_CHANGED:
      OnRecordStateChanged();
      return 0;
    case WM_UDP_LOGIN_STATUS:
      OnUdpLoginStatus(static_cast<int>(wParam));
      return 0;
    case WM_UDP_DEVICE_LIST:
      OnUdpDeviceList(wParam, lParam);
      return 0;
    case WM_CLOUD_DEVICE_ANSWER:
      OnCloudDeviceAnswer(wParam, lParam);
      return 0;
    default: break;
  }
  if (msg == WM_TALK_ANSWER) {
    if (lParam != 0) OnNVRSpeakParam(static_cast<LONG>(wParam), *reinterpret_cast<const std::string*>(lParam));
    return 0;
  }
  if (msg == WM_KEYBOARD_PTZ) {
    // A keyboard command text, handed over from the keyboard's thread.
    if (m_pVideoManagerDlg != nullptr && lParam != 0) m_pVideoManagerDlg->SendKeyboardPtz(reinterpret_cast<const char*>(lParam));
    return 0;
  }
  LRESULT result = 0;
  if (m_pRelayHandler->HandleMessage(msg, wParam, lParam, &result)) return result;
  return CDialog::OnMessage(msg, wParam, lParam);
}

// A device started or stopped recording (posted by the recording thread): its
// images change, and a shown record-scheme page hears of it.
void CVistarelDlg::OnRecordStateChanged() {
  UpdateDevIcons();
  CSettingRecordDlg* page = m_pCfgManagerDlg != nullptr ? m_pCfgManagerDlg->GetRecordDlg() : nullptr;
  if (page != nullptr && page->isVisible()) PostMessage(page->GetSafeHwnd(), WM_RECORD_STATE_CHANGED, 0, 0);
}

// An alarm of a device: the alarm list takes it, and the alarm button starts flashing.
void CVistarelDlg::OnDevAlarmMessage(WPARAM gimbroId, LPARAM alarm) {
  for (DevInfo& dev : g_lstDevInfo) {
    if (dev.GimbroId == static_cast<int>(gimbroId)) {
      OnDevAlarm(&dev, reinterpret_cast<const GimbroAlarmRecord*>(alarm));
      StartTimer(TIMER_ALARM_BUTTON, 1000);
      return;
    }
  }
  // The device went from the list while its alarm was on its way.
  WriteLog(6, "CVistarelDlg::OnDevAlarm(): no device with GimbroId=%d, the alarm is dropped", static_cast<int>(gimbroId));
}

// A talking device changed its audio parameters: the talk must be restarted.
void CVistarelDlg::OnTalkParamChanged(WPARAM streamId) {
  if (m_pVideoManagerDlg == nullptr || !m_pVideoManagerDlg->IsTalkOpen()) return;
  for (DevInfo& dev : g_lstDevInfo) {
    if (dev.MainStreamId != static_cast<int>(streamId) && dev.SubStreamId != static_cast<int>(streamId)) continue;
    if (m_pVideoManagerDlg->OnStopSpeak(dev.DevName) == 0) ShowResMsg(LoadStringW(276).toStdWString(), 2);
    break;
  }
}

// The relay's answer with the video of a requested channel. Until the relay
// delivers video, no grid takes it: the extended-grid flag is cleared and the
// relay handler gives the block back.

// ---- keys --------------------------------------------------------------------

// Enter and Space never press a default button; Escape takes the grid out of
// full screen; Alt+F4 never closes the window. Keys of the main window's
// children and of the grids come here first. Space and Enter typed into an
// edit box are the box's own: a search text, a scheme or a path may hold
// blanks, and Enter in a search box searches. What the box leaves of them
// (Enter once handled, Space in a read-only box) goes on to the box's parents
// and is swallowed there, so no page is closed by it.
bool CVistarelDlg::eventFilter(QObject* watched, QEvent* event) {
  TakeOver(event);  // filtering the whole program, it sees messages posted by other threads first
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
    return CDialog::eventFilter(watched, event);
  }
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) return CDialog::eventFilter(watched, event);
  QWidget* top = widget->window();
  bool ours = top == this || top == m_pVideoManagerDlg;
  for (const ScreenInfo* screen : m_lstScreenInfo) ours = ours || top == screen->pVideoManagerDlg;
  if (!ours || event->type() != QEvent::KeyPress) return CDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      return !IsTextBox(widget);
    case Qt::Key_Escape:
      if (m_pVideoManagerDlg != nullptr) m_pVideoManagerDlg->PreTranslateKeyDown(kWmKeyDown, kVkEscape);
      return true;
    case Qt::Key_F4:
      return (key->modifiers() & Qt::AltModifier) != 0;
    default:
      return CDialog::eventFilter(watched, event);
  }
}

void CVistarelDlg::keyPressEvent(QKeyEvent* event) {
  // Whatever reaches the window itself past the filter: no default button, no Escape close.
  event->accept();
}

void CVistarelDlg::mouseReleaseEvent(QMouseEvent* event) {
  if (g_nCurModule == kModuleWall && m_pTVWallManager != nullptr) m_pTVWallManager->EndDrawMonitor();
  CDialog::mouseReleaseEvent(event);
}
