// CVideoManagerDlg: what the toolbar and the pane menu do to the selected
// pane: talk, sound, stream switch, snapshot, manual recording, PTZ and the
// display settings.
#include <chrono>
#include <cstring>
#include <ctime>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/res_msg_dlg.h"
#include "core/user_settings.h"
#include "live/grid/capture_paths.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "platform/paths.h"
#include "platform/string_table.h"

namespace {

constexpr unsigned kLog = 6;
constexpr int kStringSavePath = 440;
constexpr int kStringCaptureFailure = 441;

DevInfo* FindDevById(const char* devId) {
  for (DevInfo& dev : g_lstDevInfo) {
    if (std::strcmp(dev.DevId, devId) == 0) return &dev;
  }
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Talk and sound

int CVideoManagerDlg::OnSpeak() {
  CVideoWnd* pane = SelectedPane();
  if (const DevInfo* dev = FindDevById(pane->WatchedDev().DevId); dev && pane->IsWatching() && !dev->nOnline) {
    WriteLog(kLog, "CVideoManagerDlg::OnSpeak: the DevName=%s  offline, speak refuse!", dev->DevName);
    return -1;
  }
  for (CVideoWnd* other : m_pWnds) {
    if (other != pane && other->IsTalking()) {
      WriteLog(kLog, "CVideoManagerDlg::OnSpeak: The speak windows is not the focus window");
      return -1;
    }
  }
  if (pane->IsSoundOn()) {
    pane->OpenSound();
    m_bSoundOpen = false;
    SetSoundButton(false);
  }
  const int result = static_cast<int>(pane->RequestSpeak());
  m_bTalkOpen = pane->IsTalking();
  SetTalkButton(m_bTalkOpen);
  return result;
}

int CVideoManagerDlg::OnStopSpeak(const char* devName) {
  WriteLog(kLog, "CVideoManagerDlg::OnStopSpeak(): DevName=%s", devName);
  for (CVideoWnd* pane : m_pWnds) {
    if (pane->IsTalking() && std::strcmp(pane->WatchedDev().DevName, devName) == 0) {
      pane->RequestSpeak();
      m_bTalkOpen = false;
      SetTalkButton(false);
      WriteLog(kLog, "CVideoManagerDlg::OnStopSpeak(): End.");
      return 0;
    }
  }
  return -1;
}

int CVideoManagerDlg::SetSpeakStatus(const char* devKey, BOOL on) {
  for (CVideoWnd* pane : m_pWnds) {
    if (!pane->IsWatching() || pane->SpeakKey() != devKey) continue;
    if (pane->IsTalkRequested()) pane->SetSpeakStatus(on);
    if (on) {
      m_bTalkOpen = true;
      SetTalkButton(true);
    } else if (m_bTalkOpen) {
      m_bTalkOpen = false;
      SetTalkButton(false);
    }
    return 0;
  }
  return -1;
}

int CVideoManagerDlg::OnOpenSound() {
  CVideoWnd* pane = SelectedPane();
  if (const DevInfo* dev = FindDevById(pane->WatchedDev().DevId); dev && pane->IsWatching() && !dev->nOnline) {
    WriteLog(kLog, "CVideoManagerDlg::OnSpeak: the DevName=%s  offline, open sound refuse!", dev->DevName);
    return -1;
  }
  for (CVideoWnd* other : m_pWnds) {
    if (other->IsTalking()) {
      other->RequestSpeak();
      m_bTalkOpen = false;
      SetTalkButton(false);
      break;
    }
  }
  const int result = static_cast<int>(pane->OpenSound());
  m_bSoundOpen = pane->IsSoundOn();
  SetSoundButton(m_bSoundOpen);
  return result;
}

int CVideoManagerDlg::SwitchCifD1() {
  WriteLog(kLog, "CVideoManagerDlg: Begin switch stream.");
  CVideoWnd* pane = SelectedPane();
  if (pane->IsTalking()) {
    WriteLog(kLog, "SwitchCifD1(): Stop the speak, DevName=%s", pane->WatchedDev().DevName);
    pane->RequestSpeak();
    m_bTalkOpen = false;
    SetTalkButton(false);
  }
  if (pane->IsSoundOn()) {
    WriteLog(kLog, "SwitchCifD1(): Close the sound, DevName=%s", pane->WatchedDev().DevName);
    pane->OpenSound();
    m_bSoundOpen = false;
    SetSoundButton(false);
  }
  if (pane->IsManualRecording()) {
    WriteLog(kLog, "SwitchCifD1(): Stop the manual record, DevName=%s", pane->WatchedDev().DevName);
    pane->StopManualRec();
    SetRecordButton(false);
  }
  const int result = static_cast<int>(pane->SwitchCifD1());
  WriteLog(kLog, "CVideoManagerDlg: End switch stream. ret=%d", result);
  return result;
}

// ---------------------------------------------------------------------------
// Snapshot and manual recording

void CVideoManagerDlg::ShowSaved(const std::string& path) {
  m_strLastSaved = path;
  // The folder a person can open, as the file system names it.
  const QString shown = QString::fromStdString(paths::NativePath(path));
  if (m_pMsgDlg) m_pMsgDlg->ShowMsg((LoadStringW(kStringSavePath) + shown).toStdWString(), 2);
}

void CVideoManagerDlg::OnSnapShot() {
  CVideoWnd* pane = SelectedPane();
  const std::string folder = capturepaths::PictureFolder(VideoHost().PictureFolder());
  const std::string name = pane->IsRelaying() ? pane->RelayDev().DevName : pane->WatchedDev().DevName;
  const auto now = std::chrono::system_clock::now();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::string file = capturepaths::SnapshotFile(folder, name, g_nCapturePicFmt,
                                                      std::chrono::system_clock::to_time_t(now), static_cast<int>(ms));
  if (pane->SnapShot(file) != 0) {
    m_strLastSaved.clear();
    if (m_pMsgDlg) m_pMsgDlg->ShowMsgA(LoadStringA(kStringCaptureFailure), 2);
    return;
  }
  ShowSaved(file);
}

void CVideoManagerDlg::OnManualRecord() {
  CVideoWnd* pane = SelectedPane();
  if (pane->IsManualRecording()) {
    pane->StopManualRec();
    SetRecordButton(false);
    ShowSaved(pane->ManualRecordFolder());
    return;
  }
  if (!pane->IsWatching()) return;
  const std::string folder = capturepaths::ManualRecordFolder(capturepaths::VideoFolder(VideoHost().VideoFolder()),
                                                              pane->WatchedDev().DevName, std::time(nullptr));
  if (pane->StartManualRec(folder) > 0) SetRecordButton(true);
}

// ---------------------------------------------------------------------------
// PTZ and display settings

int CVideoManagerDlg::SendPtzCommand(const CString& text) { return static_cast<int>(SelectedPane()->SendPtzCommand(text)); }

void CVideoManagerDlg::SetRelayPtzDirection(int code, int panSpeed, int tiltSpeed) {
  SelectedPane()->SetRelayPtzDirection(code, panSpeed, tiltSpeed);
}

int CVideoManagerDlg::SetRelayPtzAdvance(int command) { return static_cast<int>(SelectedPane()->SetRelayPtzAdvance(command)); }

int CVideoManagerDlg::SendKeyboardPtz(const CString& text) {
  if (VideoHost().KeyboardAllPanes() == 1) {
    for (CVideoWnd* pane : m_pWnds) {
      if (pane->IsWatching()) pane->SendPtzCommand(text);
    }
  } else if (SelectedPane()->IsWatching()) {
    SelectedPane()->SendPtzCommand(text);
  }
  return 0;
}

int CVideoManagerDlg::GetSelectedPtzAddr() const {
  const CVideoWnd* pane = SelectedPane();
  return pane && pane->IsWatching() ? pane->WatchedDev().PtzAddr : 0;
}

int CVideoManagerDlg::SetMouseMode(int mode) {
  for (CVideoWnd* pane : m_pWnds) pane->SetMouseMode(mode);
  SelectedPane()->setFocus();
  return 0;
}

int CVideoManagerDlg::FlipSelectedVideo() {
  if (SelectedPane()->IsWatching()) SelectedPane()->OnVideoFlip();
  return 0;
}

int CVideoManagerDlg::ApplyFillScreen(BOOL fill) {
  for (CVideoWnd* pane : m_pWnds) {
    if (pane->IsBusy()) pane->SetFillScreen(fill);
  }
  return 0;
}

int CVideoManagerDlg::ApplyKeepLastFrame(BOOL on) {
  for (CVideoWnd* pane : m_pWnds) {
    if (pane->IsBusy()) pane->ApplyKeepLastFrame(on);
  }
  return 0;
}

