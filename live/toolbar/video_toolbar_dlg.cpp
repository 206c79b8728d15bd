#include "live/toolbar/video_toolbar_dlg.h"

#include <QFrame>
#include <QPainter>
#include <QPaintEvent>
#include <cstdio>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme.h"
#include "core/res_msg_dlg.h"
#include "core/sur_status_store.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "live/audio/broadcast_run.h"
#include "live/toolbar/video_toolbar_host.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "ui/image_button.h"

using namespace vtb;

namespace {

constexpr int kRightRecord = 2;  // g_nCurRights: SurPTZ, Alarm, Record, ...
constexpr int kClockRightMargin = 35;
constexpr int kClockTop = 10;

// The toolbar whose StopAllWatch the message box's stop-all answer runs.
CVideoToolbarDlg* g_pStopAllOwner = nullptr;

}  // namespace

CVideoToolbarDlg::CVideoToolbarDlg(QWidget* parent, int pageKind, CVideoToolbarHost* host)
    : CDialog(IDD, parent), m_nPageKind(pageKind), m_pHost(host) {}

CVideoToolbarDlg::~CVideoToolbarDlg() {
  if (g_pStopAllOwner == this) {
    g_pStopAllOwner = nullptr;
    CResMsgDlg::SetStopAllVideoAction(nullptr);
  }
}

BOOL CVideoToolbarDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMsgDlg = new CResMsgDlg(this);
  m_pMsgDlg->Create(CResMsgDlg::IDD, this);

  int allRecording = 0;
  {
    CsLock lock(&g_csAppData);
    allRecording = AllSchemesOn(g_lstRecSchemeInfo);
  }
  if (m_pHost) m_pHost->SetAllRecordFlag(allRecording);

  for (int id : AllControls()) {
    if (IsSeparator(id)) {
      if (auto* line = qobject_cast<QFrame*>(GetDlgItem(id))) line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
      continue;
    }
    CImageButton* button = ReplaceDlgItem(id, new CImageButton(this));
    button->setText(QString());
    button->setAutoDefault(false);  // Enter never presses a toolbar button
    button->setFocusPolicy(Qt::NoFocus);  // the grids keep the keyboard
    m_buttons[id] = button;
    SetFace(id, InitialFace(id, allRecording != 0, g_nFullDisp != 0));
  }
  ApplyButtonSet();

  // The live view's toolbar is the one whose stop-all the message box runs.
  if (m_nPageKind == kPageLive) {
    g_pStopAllOwner = this;
    CResMsgDlg::SetStopAllVideoAction([this] { StopAllWatch(); });
  }
  m_strClock = ClockTextNow();
  SetTimer(kClockTimer, kClockPeriodMs);
  return TRUE;
}

CImageButton* CVideoToolbarDlg::Button(int id) const {
  auto it = m_buttons.find(id);
  return it == m_buttons.end() ? nullptr : it->second;
}

UINT CVideoToolbarDlg::ButtonPicture(int id) const {
  auto it = m_pictures.find(id);
  return it == m_pictures.end() ? 0 : it->second;
}

void CVideoToolbarDlg::SetFace(int id, const ButtonFace& face) {
  CImageButton* button = Button(id);
  if (!button) return;
  if (face.picture != 0) {
    SetPicture(id, face.picture);
  } else if (!face.name.empty()) {
    button->SetImageResourceByName(face.name.c_str(), "PNG");
  }
  if (face.toolTip != 0) SetToolTip(id, face.toolTip);
}

void CVideoToolbarDlg::SetPicture(int id, UINT picture) {
  CImageButton* button = Button(id);
  if (!button) return;
  m_pictures[id] = picture;
  button->SetImageResource(picture, "PNG");
}

void CVideoToolbarDlg::SetToolTip(int id, UINT stringId) {
  if (CImageButton* button = Button(id)) button->SetToolTipTextW(LoadStringW(stringId).toStdWString());
}

void CVideoToolbarDlg::ShowMessage(UINT stringId) {
  if (m_pMsgDlg) m_pMsgDlg->ShowMsg(LoadStringW(stringId).toStdWString(), 2);
}

void CVideoToolbarDlg::ApplyButtonSet() {
  for (int id : AllControls()) {
    QWidget* control = GetDlgItem(id);
    if (!control) continue;
    control->setGeometry(m_buttonSet.X(id), CToolbarButtonSet::kTop, m_buttonSet.Width(id), CToolbarButtonSet::kSize);
    control->setVisible(m_buttonSet.IsVisible(id));
  }
}

void CVideoToolbarDlg::ShowLiveButtons(BOOL tvWall, BOOL hide) {
  const int module = m_pHost ? m_pHost->GetCurModule() : kModuleLive;
  m_buttonSet.ShowLiveButtons(tvWall != FALSE, hide != FALSE, module);
  ApplyButtonSet();
  SetPatrolButton(FALSE);
  update();
}

void CVideoToolbarDlg::ShowPlaybackButtons(BOOL on) {
  m_buttonSet.ShowPlaybackButtons(on != FALSE);
  ApplyButtonSet();
  update();
}

void CVideoToolbarDlg::SetTalkButton(BOOL on) { SetPicture(IDC_TALK, TalkPicture(on)); }
void CVideoToolbarDlg::SetSoundButton(BOOL on) { SetPicture(IDC_SOUND, SoundPicture(on)); }
void CVideoToolbarDlg::SetPatrolButton(BOOL on) { SetPicture(IDC_PATROL, PatrolPicture(on)); }
void CVideoToolbarDlg::SetManualRecordButton(BOOL recording) { SetFace(IDC_MANUAL_RECORD, ManualRecordFace(recording)); }
void CVideoToolbarDlg::SetAlarmActionButton(BOOL on) { SetPicture(IDC_ALARM_ACTION, AlarmActionPicture(on)); }
void CVideoToolbarDlg::SetFillScreenButton(BOOL on) { SetPicture(IDC_FILL_SCREEN, FillScreenPicture(on)); }
void CVideoToolbarDlg::SetRecordAllButton(BOOL allRecording) { SetFace(IDC_RECORD_ALL, RecordAllFace(allRecording)); }

void CVideoToolbarDlg::OnTimer(UINT_PTR id) {
  if (id != kClockTimer) return;
  // Runs while the toolbar is hidden too, so the clock is right when it shows again.
  m_strClock = ClockTextNow();
  update();
}

void CVideoToolbarDlg::paintEvent(QPaintEvent* event) {
  CDialog::paintEvent(event);
  QPainter painter(this);
  m_skin.DrawImageFile(paths::ProgramFolder() + "Images\\VideoTablebk.png", GetClientRect(), &painter);
  QRect clock(0, kClockTop, width() - kClockRightMargin, height() - kClockTop);
  painter.drawText(clock, Qt::AlignRight | Qt::AlignTop, codepage::ToQString(m_strClock));
}

BOOL CVideoToolbarDlg::OnCommand(int id) {
  if (!m_pHost || !Button(id)) return CDialog::OnCommand(id);
  if (int mode = GridLayoutOfButton(id)) {
    m_pHost->SetDisplayMode(mode);
    return TRUE;
  }
  if (int count = PlaybackWindowsOfButton(id)) {
    m_pHost->PlaybackSetWindowCount(count);
    return TRUE;
  }
  if (int mode = MouseModeOfButton(id); mode >= 0) {
    OnMouseMode(mode);
    return TRUE;
  }
  switch (id) {
    case IDC_FULL_SCREEN: OnFullScreen(); break;
    case IDC_STREAM: m_pHost->SwitchCifD1(); break;
    case IDC_STOP: m_pHost->StopSelectedWatch(); break;
    case IDC_CAPTURE: m_pHost->OnSnapShot(); break;
    case IDC_TALK: OnBnClickedTalk(); break;
    case IDC_SOUND: OnBnClickedSound(); break;
    case IDC_STOP_ALL: OnBnClickedStopAll(); break;
    case IDC_ALARM_ACTION: SetAlarmActionButton(m_pHost->ToggleSoundSwitch() != 0); break;
    case IDC_FILL_SCREEN: OnBnClickedFillScreen(); break;
    case IDC_PATROL:
      if (m_nPageKind == kPageTVWall) {
        m_pHost->TVWallPatrol();
      } else {
        m_pHost->OnPatrol();
      }
      break;
    case IDC_DRAW_TVWALL: m_pHost->PopupTVWallLayout(); break;
    case IDC_MANUAL_RECORD: m_pHost->OnManualRecord(); break;
    case IDC_FLIP: m_pHost->FlipSelectedVideo(); break;
    case IDC_LOCK: OnBnClickedLock(); break;
    case IDC_RECORD_ALL: OnBnClickedRecordAll(); break;
    case IDC_BROADCAST: OnBnClickedBroadcast(); break;
    case IDC_HIDE_SHOW: m_pHost->PlaybackHideShow(); break;
    default: return CDialog::OnCommand(id);
  }
  return TRUE;
}

void CVideoToolbarDlg::OnMouseMode(int mode) {
  if (m_nPageKind == kPageMap) {
    m_pHost->SetMapCursorMode(mode);
    return;
  }
  m_pHost->SetZoomMode(mode);
  m_pHost->PlaybackSetMouseMode(mode);
}

void CVideoToolbarDlg::OnFullScreen() {
  if (m_nPageKind == kPagePlayback || m_pHost->GetCurModule() == kModulePlayback) {
    m_pHost->PlaybackFullScreen();
  } else {
    m_pHost->ToggleFullScreen();
  }
}

// Talk and sound wait while a broadcast runs or another pane talks.
bool CVideoToolbarDlg::TalkOrSoundRefused() {
  if (IsBroadcastRunning()) {
    ShowMessage(1079);
    return true;
  }
  if (m_pHost->IsOtherPaneTalking()) {
    ShowMessage(443);
    return true;
  }
  return false;
}

void CVideoToolbarDlg::OnBnClickedTalk() {
  if (m_pHost && !TalkOrSoundRefused()) m_pHost->OnSpeak();
}

void CVideoToolbarDlg::OnBnClickedSound() {
  if (m_pHost && !TalkOrSoundRefused()) m_pHost->OnOpenSound();
}

void CVideoToolbarDlg::OnBnClickedStopAll() {
  if (!m_pHost || !m_pHost->MainGridHasBusyPane() || !m_pMsgDlg) return;
  // Type 9: OK runs the installed stop-all action (StopAllWatch).
  m_pMsgDlg->ShowMsg(LoadStringW(319).toStdWString(), 9);
}

void CVideoToolbarDlg::StopAllWatch() {
  if (m_pHost) m_pHost->RemoveAllWatchAndSave();
  SaveRecoverInfo();
  SetTalkButton(FALSE);
  SetSoundButton(FALSE);
  SetPatrolButton(FALSE);
  SetManualRecordButton(FALSE);
}

void CVideoToolbarDlg::OnBnClickedFillScreen() {
  g_nFullDisp = g_nFullDisp ? 0 : 1;
  const BOOL on = g_nFullDisp;
  SetFillScreenButton(on);
  if (!m_pHost) return;
  m_pHost->FillAllWnd();
  m_pHost->PlaybackSetFillScreen(on);
  m_pHost->ShowFillScreenOnToolbars(on);
}

void CVideoToolbarDlg::EnableOtherButtons(bool enable) {
  for (const auto& [id, button] : m_buttons) {
    if (id == IDC_LOCK) continue;
    button->setEnabled(enable);
    button->SetButtonMode(enable ? 0 : 2);
  }
}

void CVideoToolbarDlg::OnBnClickedLock() {
  if (!m_pHost) return;
  if (m_bLocked) {
    if (!m_pHost->ConfirmUnlock()) return;
    m_bLocked = FALSE;
    m_pHost->EnableGrids(TRUE);
    EnableOtherButtons(true);
    return;
  }
  m_bLocked = TRUE;
  m_pHost->EnableGrids(FALSE);
  EnableOtherButtons(false);
}

void CVideoToolbarDlg::OnBnClickedRecordAll() {
  if (!m_pHost) return;
  if (g_nCurRights[kRightRecord] == 0) return ShowMessage(285);
  m_pHost->OnDefaultRec();
  SetRecordAllButton(m_pHost->GetAllRecordFlag() != 0);
}

// A broadcast is refused while any talk runs or sound plays in the main grid
// or the alarm linkage window, and without devices to broadcast to.
bool CVideoToolbarDlg::BroadcastRefused() {
  // The active grid's talk is left out of IsTalkOpen; it conflicts all the same.
  if (m_pHost->IsTalkOpen() != 0 || m_pHost->IsActiveGridTalkOpen()) {
    ShowMessage(443);
    return true;
  }
  if (m_pHost->IsMainGridSoundOpen() || m_pHost->IsAlarmActSoundOpen()) {
    ShowMessage(1088);
    return true;
  }
  return false;
}

void CVideoToolbarDlg::OnBnClickedBroadcast() {
  if (!m_pHost || BroadcastRefused()) return;
  const BroadcastSettings* settings = m_pHost->GetBroadcastSettings();
  if (!settings || settings->devices.empty()) return ShowMessage(1081);
  if (!m_pBroadcastRun) {
    CGimbroCtrl* ctrl = m_pHost->GetGimbroCtrl();
    if (!ctrl) {
      WriteLog(-2, "CVideoToolbarDlg::OnBnClickedBroadcast(): no device-messaging control");
      return;
    }
    m_pBroadcastRun = std::make_unique<CBroadcastRun>(ControlBroadcastCalls(ctrl));
  }
  // A start the control refuses leaves the run, and so the button, idle.
  m_pBroadcastRun->Toggle(*settings);
  SetPicture(IDC_BROADCAST, BroadcastPicture(m_pBroadcastRun->IsRunning()));
}

BOOL CVideoToolbarDlg::IsBroadcastRunning() const { return m_pBroadcastRun && m_pBroadcastRun->IsRunning(); }

void CVideoToolbarDlg::ResetBroadcast() { SetPicture(IDC_BROADCAST, BroadcastPicture(false)); }
