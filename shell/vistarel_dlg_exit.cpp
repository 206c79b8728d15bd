// The main window's settings menu and its exit: the close button asks the
// password again, then every thread and control is stopped in order and the
// screen state is saved before the dialog ends.
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QMenu>
#include <QUrl>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "core/client_log.h"
#include "platform/paths.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/process_query.h"
#include "core/res_msg_dlg.h"
#include "core/start_thread.h"
#include "core/startup_settings.h"
#include "core/sur_status_store.h"
#include "core/user_info.h"
#include "live/streams/gimbro_events.h"
#include "live/streams/rtsp_events.h"
#include "live/grid/video_manager_dlg.h"
#include "live/toolbar/video_toolbar_dlg.h"
#include "maker/gimbro/gimbro.h"
#include "maker/pelk/pelk.h"
#include "maker/streva/streva_ctrl.h"
#include "platform/codepage.h"
#include "platform/post_message.h"
#include "platform/string_table.h"
#include "records/recording/rec_file_manager.h"
#include "records/recording/rec_scheme_manager.h"
#include "records/search/search_rec_dlg.h"
#include "relay/remote_dev_info.h"
#include "relay/sessions/remote_session_registry.h"
#include "relay/udp/udp_login.h"
#include "shell/cloud_devices/login_server_devices.h"
#include "relay/login/vemo2_login.h"
#include "relay/login/vss_info.h"
#include "relay/serving/relay_live_video.h"
#include "settings/local/sys_setting_dlg.h"
#include "shell/live_controls.h"
#include "shell/module_rights.h"
#include "shell/settings_menu.h"
#include "shell/vistarel_dlg.h"

// ---- settings menu --------------------------------------------------------------

void CVistarelDlg::OnBnClickedBtnSetting() {
  QMenu menu(this);
  for (const mainmenu::Item& item : mainmenu::Items(g_nCurRights[kRightUserManager] != 0)) {
    const QString text = LoadStringW(item.stringId);
    QAction* action = menu.addAction(text.isEmpty() ? QString::number(item.id) : text);
    action->setData(item.id);
    action->setCheckable(item.checked);
    action->setChecked(item.checked);
    action->setEnabled(item.enabled);
  }
  const QPoint cursor = QCursor::pos();
  QAction* chosen = menu.exec(cursor);
  const QPoint local = mapFromGlobal(cursor);
  update(QRect(local.x() - 120, 0, 130, m_layout.T + 49));
  if (chosen != nullptr) OnMenuCommand(chosen->data().toUInt());
}

void CVistarelDlg::OnMenuCommand(UINT id) {
  switch (id) {
    case mainmenu::kAutomaticLogin: mainmenu::ToggleAutomaticLogin(); break;
    case mainmenu::kBootAutomatically: mainmenu::ToggleBootAutomatically(); break;
    case mainmenu::kAbout:
      m_pResMsgDlg->ShowMsgA(mainmenu::AboutText(LoadStringA(259)), 2);
      break;
    case mainmenu::kHelp: OnHelp(); break;
    case mainmenu::kSystemConfig:
      if (!g_nCurRights[kRightUserManager]) break;
      m_pSysSettingDlg->show();
      m_pSysSettingDlg->raise();
      m_pSysSettingDlg->RebuildBroadcastTrees();
      break;
    case 32866:
    case 32867:
    case 32868:
      MoveModuleToScreen(static_cast<int>(id) - 32865);
      break;
    default: break;
  }
}

// Opens the help of the interface language, the first of its files that
// exists and that the desktop's viewer opens, and then minimises the window so
// that the viewer shows. Without a file or a viewer the window stays as it is.
void CVistarelDlg::OnHelp() {
  for (const CString& file : mainmenu::HelpFiles(g_nLanguage)) {
    const QString path = QString::fromStdString(paths::NativePath(file));
    if (!QFile::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path))) continue;
    m_bMinimized = 1;
    showMinimized();
    return;
  }
  WriteLog(6, "CVistarelDlg::OnHelp(): no help file of language %d could be opened", g_nLanguage);
}

// ---- exit -----------------------------------------------------------------------

void CVistarelDlg::SetAlarmLinkageOff() {
  if (m_pAlarmListDlg != nullptr) m_pAlarmListDlg->SetAlarmLink(0);
  if (m_pAlmActDlg != nullptr) m_pAlmActDlg->OnClose();
  if (m_pVideoToolbarDlg != nullptr) m_pVideoToolbarDlg->SetAlarmActionButton(FALSE);
}

// Message boxes that a web page of a device opened would hold the exit up.
void CVistarelDlg::CloseWebMessageBoxes() {
  static const char* const kTitles[] = {"来自网页的消息", "Windows Internet Explorer", "Microsoft Internet Explorer",
                                        "Message from webpage"};
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window == this || !window->isVisible()) continue;
    const QString title = window->windowTitle();
    for (const char* wanted : kTitles) {
      if (title == QString::fromUtf8(wanted)) {
        window->raise();
        window->close();
        break;
      }
    }
  }
}

void CVistarelDlg::OnBnClickedBtnClose() {
  SetAlarmLinkageOff();
  CloseWebMessageBoxes();
  m_bExitPrompt = 1;
  const bool confirmed = m_env.askExitPassword ? m_env.askExitPassword(this) : false;
  if (!confirmed) {
    m_bExitPrompt = 0;
    return;
  }
  StartTimer(TIMER_EXIT, 500);
}

void CVistarelDlg::ExitClient() {
  if (m_pRecSchemeManager != nullptr) {
    WriteLog(6, "CVistarelDlg::OnClose():Stop record thread.");
    m_pRecSchemeManager->StopThread();
    delete m_pRecSchemeManager;
    m_pRecSchemeManager = nullptr;
  }
  if (m_pRecFileManager != nullptr) {
    WriteLog(6, "CVistarelDlg::OnClose():Stop record file manager thread.");
    m_pRecFileManager->StopThread();
    delete m_pRecFileManager;
    m_pRecFileManager = nullptr;
  }
  m_bClosing = TRUE;
  KillProcessByName(WatchProgramPath().c_str());
  setProperty(m_env.appProperty, false);
  PostMessage(GetSafeHwnd(), WM_CLOSE, 0, 0);
}

void CVistarelDlg::closeEvent(QCloseEvent* event) {
  // The window's close button, the desktop's close and Alt+F4 do nothing: only
  // the exit with the password ends the program.
  event->ignore();
}

void CVistarelDlg::StopAllRtspEvents() {
  for (DevInfo& dev : g_lstDevInfo) {
    if (dev.pRtspEvent1 != nullptr && dev.pRtspEvent1->GetStreamId() != 0) dev.pRtspEvent1->StopAllThread();
    if (dev.pRtspEvent2 != nullptr && dev.pRtspEvent2->GetStreamId() != 0) dev.pRtspEvent2->StopAllThread();
    dev.MainStreamId = 0;
    dev.SubStreamId = 0;
  }
}

void CVistarelDlg::ReleaseControls() {
  WriteLog(6, "CVistarelDlg::OnClose():Release all com control.");
  if (g_pGimbroCtrl != nullptr) {
    g_pGimbroCtrl->Unadvise(g_pGimbroEvents);
    delete g_pGimbroCtrl;
    g_pGimbroCtrl = nullptr;
    delete g_pGimbroEvents;
    g_pGimbroEvents = nullptr;
  }
  WriteLog(6, "CVistarelDlg::OnClose(): RTSP pull control stop all.");
  if (g_pStrevaCtrl != nullptr) g_pStrevaCtrl->StopAll();
  WriteLog(6, "CVistarelDlg::OnClose(): Delete pRtspEvent1 && pRtspEvent2");
  for (DevInfo& dev : g_lstDevInfo) {
    for (CRtspEvents** stream : {&dev.pRtspEvent1, &dev.pRtspEvent2}) {
      if (*stream == nullptr) continue;
      if (g_pStrevaCtrl != nullptr) g_pStrevaCtrl->Unadvise(*stream);
      delete *stream;
      *stream = nullptr;
    }
  }
  delete g_pStrevaCtrl;
  g_pStrevaCtrl = nullptr;
}

void CVistarelDlg::OnClose() {
  if (!m_bClosing) return;
  SaveRemoteDevInfo();
  StopRelayServedStreams();
  if (m_pSearchRecDlg != nullptr) {
    m_pSearchRecDlg->StopAllReplay();
    m_pSearchRecDlg->ReleasePlayers();
  }
  m_pSessionRegistry->RemoveAll();
  // The alarm log worker ends now and writes what is queued, so the alarms of
  // the last seconds before the exit are kept.
  if (m_pAlarmListDlg != nullptr) m_pAlarmListDlg->StopLogWorker();
  KillTimer(TIMER_DEVTREE);
  KillTimer(TIMER_ALARM_BLINK);
  KillTimer(TIMER_ALARM_BUTTON);
  StopAllRtspEvents();
  WriteLog(6, "CVistarelDlg::OnClose():save the surveillance status");
  if (m_pVideoManagerDlg != nullptr) {
    m_pVideoManagerDlg->SaveSurveillanceStatus();
    SaveRecoverInfo();
    m_pVideoManagerDlg->RemoveAllWatch();
  }
  for (const Vemo2Node& server : g_lstVssInfo) Pelk_LoginOut(server.nLoginHandle);
  ReleaseControls();
  Pelk_StopTS();
  StopWorkerThreads();
  DestroyActiveDlg();
  done(IDOK);
}

void CVistarelDlg::StopWorkerThreads() {
  // Each stops in its destructor: deleting one waits for its thread.
  delete m_pVemo2Login;
  m_pVemo2Login = nullptr;
  delete m_pUdpLogin;
  m_pUdpLogin = nullptr;
  delete m_pLoginServerDevices;
  m_pLoginServerDevices = nullptr;
  delete m_pStartThread;
  m_pStartThread = nullptr;
}
