// CVideoManagerDlg: layout, selection, full screen, adding and stopping
// cameras, moving them between panes, and the screen state.
#include "live/grid/video_manager_dlg.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <cstring>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/res_msg_dlg.h"
#include "core/sur_status_store.h"
#include "core/user_settings.h"
#include "live/grid/grid_rules.h"
#include "live/live_messages.h"
#include "live/grid/pane_layout.h"
#include "live/grid/video_wnd.h"
#include "platform/codepage.h"
#include "platform/string_table.h"

namespace {

constexpr unsigned kLog = 6;
constexpr int kStringOtherTalks = 443;

bool SameDevice(const DevInfo& a, const DevInfo& b) {
  return std::strcmp(a.DevName, b.DevName) == 0 && std::strcmp(a.DevId, b.DevId) == 0;
}

}  // namespace

CVideoManagerDlg::CVideoManagerDlg(int left, int top, int right, int bottom, QWidget* parent)
    : CDialog(IDD, parent), m_rcNormal{left, top, right, bottom}, m_rcCurrent{left, top, right, bottom} {}

CVideoManagerDlg::~CVideoManagerDlg() {
  StopPatrolTimer();
  for (CVideoWnd*& pane : m_pWnds) {
    if (!pane) continue;
    pane->CloseRelayVideo();
    if (pane->IsWatching()) pane->StopWatch(TRUE);
    delete pane;
    pane = nullptr;
  }
  m_pMsgDlg.reset();
}

BOOL CVideoManagerDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMsgDlg = std::make_unique<CResMsgDlg>(this);
  for (int i = 0; i < kPaneCount; ++i) {
    auto* pane = new CVideoWnd(this, FALSE, FALSE);
    pane->SetOwnerGrid(this, i);
    pane->Create(CVideoWnd::IDD, this);
    pane->hide();
    m_pWnds[i] = pane;
  }
  SetDisplayMode(g_nDefDisplayMode, FALSE);
  MoveWindow(m_rcNormal);
  m_PatrolSlots.assign(kPaneCount, PatrolSlot{});
  for (int i = 0; i < kPaneCount; ++i) m_PatrolSlots[i].nWndNo = i + 1;
  m_bTimerStop = false;
  m_PatrolTimer = std::thread([this] { PatrolTimerLoop(); });
  m_bInited = true;
  Relayout();  // the panes follow the grid's rectangle, not the template's size
  return TRUE;
}

CVideoWnd* CVideoManagerDlg::Pane(int index) const {
  return index >= 0 && index < kPaneCount ? m_pWnds[index] : nullptr;
}

int CVideoManagerDlg::IndexOf(const CVideoWnd* pane) const {
  for (int i = 0; i < kPaneCount; ++i) {
    if (m_pWnds[i] == pane) return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Toolbar

void CVideoManagerDlg::SetTalkButton(bool on) {
  VideoHost().SetToolButtonPicture(toolbar::kTalkButton, on ? toolbar::kTalkOn : toolbar::kTalkOff, 0);
}
void CVideoManagerDlg::SetSoundButton(bool on) {
  VideoHost().SetToolButtonPicture(toolbar::kSoundButton, on ? toolbar::kSoundOn : toolbar::kSoundOff, 0);
}
void CVideoManagerDlg::SetRecordButton(bool on) {
  VideoHost().SetToolButtonPicture(toolbar::kRecordButton, on ? toolbar::kRecordOn : toolbar::kRecordOff,
                                   on ? toolbar::kRecordOnTip : toolbar::kRecordOffTip);
}
void CVideoManagerDlg::SetPatrolButton(bool on) {
  VideoHost().SetToolButtonPicture(toolbar::kPatrolButton, on ? toolbar::kPatrolOn : toolbar::kPatrolOff, 0);
}

// ---------------------------------------------------------------------------
// Layout

void CVideoManagerDlg::LayOut(int count) {
  const RECT client = GetClientRect();
  if (count == 13 || count == 16) {
    for (CVideoWnd* pane : m_pWnds) pane->hide();
  }
  CVideoWndCoord coord(client.left, client.top, client.right, client.bottom, count);
  for (int i = 0; i < kPaneCount; ++i) {
    CVideoWnd* pane = m_pWnds[i];
    PaneRect rect;
    if (i < count && coord.Pane(i, &rect)) {
      pane->m_bVisible = true;
      pane->SetWndPos(rect.x, rect.y, rect.width, rect.height);
      pane->show();
    } else {
      pane->m_bVisible = false;
      pane->hide();
    }
    if (count != 64 && m_nSelectWnd > count - 1) m_nSelectWnd = 0;
  }
}

void CVideoManagerDlg::StopPaneExtras(CVideoWnd* pane) {
  if (pane->IsTalking()) {
    pane->RequestSpeak();
    m_bTalkOpen = false;
    SetTalkButton(false);
  }
  if (pane->IsSoundOn()) {
    pane->OpenSound();
    m_bSoundOpen = false;
    SetSoundButton(false);
  }
  if (pane->IsManualRecording()) {
    pane->StopManualRec();
    SetRecordButton(false);
  }
}

void CVideoManagerDlg::SwitchStreamsAfterLayout(int count, int previousShown) {
  if (!g_bAutoSwitchStream) return;
  const gridrules::StreamSwitch change = gridrules::AfterLayout(count, previousShown);
  if (change == gridrules::StreamSwitch::kNone) return;
  const int last = count == 1 ? 1 : count;
  for (int i = 0; i < last; ++i) {
    CVideoWnd* pane = count == 1 ? SelectedPane() : m_pWnds[i];
    if (pane->IsRelaying()) {
      const bool onSub = pane->RelayDev().Stream != 1;
      if (change == gridrules::StreamSwitch::kToMain && onSub) pane->InviteRelayMainStream();
      if (change == gridrules::StreamSwitch::kToSub && !onSub) pane->InviteRelaySubStream();
      continue;
    }
    if (!pane->IsWatching() || pane->WatchedDev().bNoAutoSwitch) continue;
    if (change == gridrules::StreamSwitch::kToMain && pane->ShowsSubStream()) {
      StopPaneExtras(pane);
      pane->AutoSwitchMainStream();
    } else if (change == gridrules::StreamSwitch::kToSub && !pane->ShowsSubStream()) {
      StopPaneExtras(pane);
      pane->AutoSwitchCIF();
    }
  }
}

int CVideoManagerDlg::SetDisplayMode(int mode, BOOL fullScreen) {
  WriteLog(kLog, "CVideoManagerDlg: display mode. mode=%d", mode);
  if (!CVideoWndCoord::IsLayout(mode)) {
    m_nDisplayMode = mode;
    return 0;
  }
  if (mode == m_nShownCount && mode == m_nDisplayMode && !m_bLayoutChanging && !m_bMaximised) return 0;
  const int previousShown = m_nShownCount;
  m_bFullScreen = fullScreen != 0;
  if (CVideoWnd* selected = SelectedPane()) selected->DrawSelectFrame(FALSE);
  if (mode == 1) {
    const RECT client = GetClientRect();
    for (CVideoWnd* pane : m_pWnds) {
      if (pane != SelectedPane()) {
        pane->m_bVisible = false;
        pane->hide();
      }
    }
    CVideoWnd* pane = SelectedPane();
    pane->m_bVisible = true;
    pane->SetWndPos(0, 0, client.right, client.bottom);
    pane->show();
  } else {
    LayOut(mode);
  }
  SelectedPane()->DrawSelectFrame(TRUE);
  m_nShownCount = mode;
  m_nDisplayMode = mode;
  m_bMaximised = false;
  SwitchStreamsAfterLayout(mode, previousShown);
  return 0;
}

void CVideoManagerDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  if (!m_bInited) return;
  const RECT r = m_rcCurrent;
  if (geometry() != QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)) {
    MoveWindow(r);  // the grid keeps its rectangle; the move comes back here
    return;
  }
  Relayout();
}

void CVideoManagerDlg::moveEvent(QMoveEvent* event) {
  CDialog::moveEvent(event);
  const RECT r = m_rcCurrent;
  if (m_bInited && pos() != QPoint(r.left, r.top)) MoveWindow(r);
}

void CVideoManagerDlg::Relayout() {
  if (m_bMaximised || m_nShownCount == 1) {
    const RECT client = GetClientRect();
    SelectedPane()->SetWndPos(0, 0, client.right, client.bottom);
  } else if (CVideoWndCoord::IsLayout(m_nShownCount)) {
    LayOut(m_nShownCount);
  }
}

void CVideoManagerDlg::ToggleFullScreen() {
  m_bLayoutChanging = true;
  if (m_bFullScreen) {
    m_rcCurrent = m_rcNormal;
  } else {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(1024, 768);
    m_rcCurrent = RECT{0, 0, size.width(), size.height()};
  }
  MoveWindow(m_rcCurrent);
  SetDisplayMode(m_bMaximised ? 1 : m_nDisplayMode, m_bFullScreen ? FALSE : TRUE);
  VideoHost().FocusMainWindow();
  m_bLayoutChanging = false;
}

void CVideoManagerDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && m_bFullScreen) {
    ToggleFullScreen();
    return;
  }
  if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
  CDialog::keyPressEvent(event);
}

int CVideoManagerDlg::PreTranslateKeyDown(UINT msg, WPARAM key) {
  if (msg == kWmKeyDown && key == kVkEscape && m_bFullScreen) {
    ToggleFullScreen();
    VideoHost().FocusMainWindow();
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Selection and mouse

void CVideoManagerDlg::MakeSelected(int index) {
  if (CVideoWnd* old = SelectedPane()) old->DrawSelectFrame(FALSE);
  m_nSelectWnd = index;
  SelectedPane()->DrawSelectFrame(TRUE);
  VideoHost().SetActiveVideoManager(this);
}

void CVideoManagerDlg::ToggleSoundOff() {
  if (!m_bSoundOpen) return;
  for (CVideoWnd* pane : m_pWnds) {
    if (pane->IsSoundOn()) pane->OpenSound();
  }
  m_bSoundOpen = false;
  SetSoundButton(false);
}

void CVideoManagerDlg::StopTalkIfOpen() {
  if (!m_bTalkOpen) return;
  for (CVideoWnd* pane : m_pWnds) {
    if (pane->IsTalking()) pane->RequestSpeak();
  }
  m_bTalkOpen = false;
  SetTalkButton(false);
}

int CVideoManagerDlg::SetSelectWnd(int index) {
  if (!Pane(index)) return -1;
  if (index != m_nSelectWnd && m_bSoundOpen) {
    SelectedPane()->OpenSound();
    m_bSoundOpen = false;
    SetSoundButton(false);
    WriteLog(kLog, "Change the video sound. close=%d, open=%d", m_nSelectWnd, index);
  }
  MakeSelected(index);
  return 0;
}

void CVideoManagerDlg::FollowToolbar(CVideoWnd* pane) {
  SetTalkButton(pane->IsTalking());
  SetRecordButton(pane->IsManualRecording());
  SetPatrolButton(IsPatrolActive(IndexOf(pane)));
  if (pane->IsWatching()) VideoHost().SelectDevItem(pane->WatchedDev());
  else if (pane->IsRelaying()) VideoHost().SelectVssChannelItem(pane->RelayDev());
}

int CVideoManagerDlg::OnWndMouseMsg(UINT msg, int index) {
  CVideoWnd* pane = Pane(index);
  if (!pane) return 0;
  if (msg == kWmLButtonDown || msg == kWmRButtonDown) {
    SelectedPane()->DrawSelectFrame(FALSE);
    if (index != m_nSelectWnd && m_bSoundOpen) {
      const int old = m_nSelectWnd;
      SelectedPane()->OpenSound();
      MakeSelected(index);
      const long ret = pane->OpenSound();
      m_bSoundOpen = ret == 0 && pane->IsSoundOn();
      SetSoundButton(m_bSoundOpen);
      WriteLog(kLog, "Change the video sound. close=%d, open=%d", old, index);
    }
    MakeSelected(index);
    FollowToolbar(pane);
    pane->setFocus();
    return 0;
  }
  if (msg != kWmLButtonDblClk) return 0;
  if (m_bFullScreen) {
    ToggleFullScreen();
  } else if (m_nShownCount == 1 && !m_bMaximised) {
    ToggleFullScreen();
  } else if (m_bMaximised) {
    CVideoWnd* maximised = SelectedPane();
    if (maximised->IsRelaying() && maximised->RelayDev().Stream == 1 && g_bAutoSwitchStream) {
      maximised->InviteRelaySubStream();
      if (VideoHost().ExtendedPosition(this) > 0) VideoHost().SetExtGridRelayFlag(1);
    } else if (maximised->IsTempMainStream()) {
      StopPaneExtras(maximised);
      maximised->OnRecoverSubStream();
    }
    int shown = 0;
    for (CVideoWnd* p : m_pWnds) {
      if (p->m_bVisible) {
        p->show();
        ++shown;
      }
    }
    m_nShownCount = shown;
    const RECT r = m_rcMaximised;
    maximised->SetWndPos(r.left, r.top, r.right, r.bottom);
    maximised->DrawSelectFrame(TRUE);
    m_bMaximised = false;
  } else {
    MakeSelected(index);
    m_bMaximised = true;
    for (CVideoWnd* p : m_pWnds) p->hide();
    m_rcMaximised = pane->GetWndPos();
    const RECT client = GetClientRect();
    pane->SetWndPos(0, 0, client.right, client.bottom);
    pane->show();
    pane->DrawSelectFrame(TRUE);
    if (g_bAutoSwitchStream && gridrules::MaximiseToMain(m_nShownCount)) {
      if (pane->IsWatching() && pane->ShowsSubStream() && !pane->WatchedDev().bNoAutoSwitch) {
        StopPaneExtras(pane);
        pane->AutoSwitchMainStreamTemporary();
      } else if (pane->IsRelaying() && pane->RelayDev().Stream != 1) {
        pane->InviteRelayMainStream();
        if (VideoHost().ExtendedPosition(this) > 0) VideoHost().SetExtGridRelayFlag(1);
      }
    }
    m_nShownCount = 1;
  }
  return 0;
}

bool CVideoManagerDlg::HasFreeWnd() const {
  if (SelectedPane() && !SelectedPane()->IsBusy()) return true;
  for (int i = 0; i < m_nShownCount && i < kPaneCount; ++i) {
    if (!m_pWnds[i]->IsBusy()) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Adding and stopping

int CVideoManagerDlg::AddWatch(int index, DevInfo* dev, BOOL save, BOOL findFree, int streamKind, int, BOOL rangeCheck,
                               BOOL layoutStream) {
  (void)streamKind;
  if (!dev || index < 0 || index >= kPaneCount) return -1;
  if (rangeCheck && index > m_nShownCount - 1) return kRangeError;
  if (layoutStream && !dev->bNoAutoSwitch &&
      (m_nShownCount == 1 || m_nShownCount == 4 || m_nShownCount == 6 || m_nShownCount == 8)) {
    for (CVideoWnd* pane : m_pWnds) {
      if (pane->IsWatching() && std::strcmp(pane->WatchedDev().DevName, dev->DevName) == 0) {
        pane->ClearWatchInfo();
        break;
      }
    }
    if (g_bAutoSwitchStream) std::memset(dev->Resolution, 0, 20);
  }
  if (m_nShownCount != 1 && findFree && index == m_nSelectWnd) {
    std::vector<bool> busy(kPaneCount);
    for (int i = 0; i < kPaneCount; ++i) busy[i] = m_pWnds[i]->IsBusy();
    index = gridrules::FindFreePane(busy, index, m_nShownCount);
  }
  CVideoWnd* target = m_pWnds[index];
  ToggleSoundOff();
  if (target->IsManualRecording()) target->StopManualRec();
  for (CVideoWnd* pane : m_pWnds) {
    if (!pane->IsWatching() || !SameDevice(pane->WatchedDev(), *dev)) continue;
    if (pane != target && pane->IsManualRecording()) {
      pane->StopManualRec();
      break;
    }
    if (findFree) pane->StopWatch(TRUE);
  }
  SetRecordButton(false);
  if (IsPatrolActive(index)) StopPatrol(index);
  SetPatrolButton(false);
  MakeSelected(index);
  StopTalkIfOpen();
  const DevInfo request = *dev;
  const int result = static_cast<int>(target->AddWatch(const_cast<DevInfo*>(&request), FALSE));
  if (result == 0 && save) SaveScreenState();
  return result;
}

int CVideoManagerDlg::StopWatch(int index, BOOL flag) {
  CVideoWnd* pane = Pane(index);
  if (!pane) return -1;
  const int result = static_cast<int>(pane->StopWatch(flag));
  if (result == 0) SaveScreenState();
  return result;
}

void CVideoManagerDlg::StopWatchUntilOnline(const DevInfo& dev) {
  for (CVideoWnd* pane : m_pWnds) {
    if (pane->IsWatching() && std::strcmp(pane->WatchedDev().DevName, dev.DevName) == 0) pane->StopWatchUntilOnline();
  }
}

void CVideoManagerDlg::ReopenWaitingPanes(const DevInfo& dev, bool shownElsewhere) {
  for (CVideoWnd* pane : m_pWnds) {
    if (!pane->WaitsFor(dev)) continue;
    if (shownElsewhere) {
      pane->ForgetWaiting();
    } else {
      pane->ReopenWaiting();
    }
  }
}

bool CVideoManagerDlg::ShowsDevice(const DevInfo& dev) const {
  for (const CVideoWnd* pane : m_pWnds) {
    if (pane->IsWatching() && SameDevice(pane->WatchedDev(), dev)) return true;
  }
  return false;
}

int CVideoManagerDlg::StopSelectedWatch() {
  CVideoWnd* pane = SelectedPane();
  StopTalkIfOpen();
  ToggleSoundOff();
  if (IsPatrolActive(m_nSelectWnd)) StopPatrol(m_nSelectWnd);
  SetPatrolButton(false);
  pane->StopManualRec();
  SetRecordButton(false);
  pane->CloseRelayVideo();
  const int result = static_cast<int>(pane->StopWatch(TRUE));
  if (result == 0) SaveScreenState();
  return result;
}

int CVideoManagerDlg::RemoveAllWatch() {
  WriteLog(kLog, "CVideoManagerDlg: Begin remove all watch.");
  if (m_bTalkOpen) {
    for (CVideoWnd* pane : m_pWnds) {
      if (!pane->IsTalking()) continue;
      WriteLog(kLog, "RemoveAllWatch(): Stop the speak, DevName=%s", pane->WatchedDev().DevName);
      pane->RequestSpeak();
      break;
    }
    m_bTalkOpen = false;
    SetTalkButton(false);
  }
  if (m_bSoundOpen) {
    for (CVideoWnd* pane : m_pWnds) {
      if (!pane->IsSoundOn()) continue;
      WriteLog(kLog, "RemoveAllWatch(): Close the sound, DevName=%s", pane->WatchedDev().DevName);
      pane->OpenSound();
      break;
    }
    m_bSoundOpen = false;
    SetSoundButton(false);
  }
  for (CVideoWnd* pane : m_pWnds) pane->ReleaseWithoutWait();
  for (int i = 0; i < kPaneCount; ++i) {
    if (IsPatrolActive(i)) StopPatrol(i);
    m_pWnds[i]->StopWatch(TRUE);
    m_pWnds[i]->CloseRelayVideo();
  }
  SetPatrolButton(false);
  SetRecordButton(false);
  WriteLog(kLog, "CVideoManagerDlg: End remove all watch.");
  return 0;
}

int CVideoManagerDlg::OpenRelayVideoInWnd(int index, const PaneRelayDevice& dev, long mainId, long subId,
                                          const BYTE* video, long videoLength, const BYTE* audio, long audioLength) {
  CVideoWnd* pane = Pane(index);
  if (!pane) return -1;
  pane->CloseRelayVideo();
  pane->StopWatch(TRUE);
  pane->StopManualRec();
  return static_cast<int>(pane->OpenRelayVideo(dev, mainId, subId, video, videoLength, audio, audioLength));
}

int CVideoManagerDlg::AddRelayWatch(int index, const PaneRelayDevice& dev, long mainId, long subId, const BYTE* video,
                                    long videoLength, const BYTE* audio, long audioLength) {
  if (!Pane(index)) return -1;
  for (int i = 0; i < m_nShownCount && i < kPaneCount; ++i) {
    const CVideoWnd* pane = m_pWnds[i];
    if (pane->IsRelaying() && std::strcmp(pane->RelayDev().ServerName, dev.ServerName) == 0 &&
        std::strcmp(pane->RelayDev().DevName, dev.DevName) == 0 &&
        (pane->RelayMainSession() == mainId && pane->RelaySubSession() == subId)) {
      return 0;
    }
  }
  if (m_nShownCount != 1 && index == m_nSelectWnd) {
    std::vector<bool> busy(kPaneCount);
    for (int i = 0; i < kPaneCount; ++i) busy[i] = m_pWnds[i]->IsBusy();
    index = gridrules::FindFreePane(busy, index, m_nShownCount);
  }
  CVideoWnd* target = m_pWnds[index];
  ToggleSoundOff();
  if (m_nShownCount == 1) target->CloseRelayVideo();
  target->StopManualRec();
  if (IsPatrolActive(index)) StopPatrol(index);
  MakeSelected(index);
  return static_cast<int>(target->OpenRelayVideo(dev, mainId, subId, video, videoLength, audio, audioLength));
}

// ---------------------------------------------------------------------------
// Screen state

int CVideoManagerDlg::SaveSurveillanceStatus() {
  g_lstSurStatus.remove_if([this](const SurStatus& s) { return s.MonitorNum == m_nMonitorNum; });
  for (int i = 0; i < m_nDisplayMode && i < kPaneCount; ++i) {
    const CVideoWnd* pane = m_pWnds[i];
    // A pane that waits for its device to come back online keeps it.
    const auto& waiting = pane->Waiting();
    if (!pane->IsWatching() && !waiting) continue;
    SurStatus status;
    std::snprintf(status.DevId, sizeof(status.DevId), "%s",
                  pane->IsWatching() ? pane->WatchedDev().DevId : waiting->devId.c_str());
    std::snprintf(status.DevName, sizeof(status.DevName), "%s",
                  pane->IsWatching() ? pane->WatchedDev().DevName : waiting->devName.c_str());
    status.WndNo = i;
    status.MonitorNum = m_nMonitorNum;
    status.DispMode = m_nDisplayMode;
    g_lstSurStatus.push_back(status);
  }
  return 0;
}

void CVideoManagerDlg::SaveScreenState() {
  SaveSurveillanceStatus();
  SaveRecoverInfo();
}

int CVideoManagerDlg::RecoverSurveillanceStatus() {
  WriteLog(kLog, "CVideoManagerDlg: Recover recently surveillance status.");
  int mode = g_nDefDisplayMode;
  const std::list<SurStatus> saved = g_lstSurStatus;  // AddWatch does not save, but keep the walk safe
  for (const SurStatus& status : saved) {
    if (status.MonitorNum != m_nMonitorNum) continue;
    for (DevInfo& dev : g_lstDevInfo) {
      if (std::strcmp(dev.DevId, status.DevId) != 0 || std::strcmp(dev.DevName, status.DevName) != 0) continue;
      m_nShownCount = status.DispMode;
      mode = status.DispMode;
      if (dev.DevType == 1) std::memcpy(dev.Resolution, dev.DefRes, sizeof(dev.DefRes));
      AddWatch(status.WndNo, &dev, FALSE, FALSE, 0, 0, FALSE, TRUE);
      break;
    }
  }
  m_bLayoutChanging = true;  // lay the panes out even when the count was taken from the state
  SetDisplayMode(mode, FALSE);
  m_bLayoutChanging = false;
  return 0;
}

// ---------------------------------------------------------------------------
// Moving a watch between panes

void CVideoManagerDlg::ChangeDispWnd(CVideoWnd* target, CVideoWnd* source) {
  const int targetNo = IndexOf(target);
  if (targetNo < 0 || !source || source == target) return;
  CVideoManagerDlg* sourceGrid = source->OwnerGrid();
  if (!sourceGrid || sourceGrid->IndexOf(source) < 0) return;
  const int sourceNo = sourceGrid->IndexOf(source);
  WriteLog(kLog, "ChangeDispWnd: nDestNo=%d, DestDevName=%s, nSrcNo=%d, SrcDevName=%s", targetNo,
           target->WatchedDev().DevName, sourceNo, source->WatchedDev().DevName);
  ToggleSoundOff();
  sourceGrid->ToggleSoundOff();
  for (CVideoWnd* pane : {target, source}) {
    pane->StopManualRec();
    if (pane->IsTalking()) pane->RequestSpeak();
  }
  SetRecordButton(false);
  m_bTalkOpen = sourceGrid->m_bTalkOpen = false;
  SetTalkButton(false);

  struct Shown {
    bool local = false;
    DevInfo dev;
    CVideoWnd::RelayHandOver relay;
  };
  auto take = [](CVideoWnd* pane) {
    Shown shown;
    if (pane->IsWatching()) {
      shown.local = true;
      shown.dev = pane->WatchedDev();
      pane->ClearWatchInfo();
    } else if (pane->IsRelaying()) {
      shown.relay = pane->DetachRelayVideo();  // the relay session goes on in the other pane
    }
    return shown;
  };
  Shown fromSource = take(source);
  Shown fromTarget = take(target);
  auto put = [](CVideoManagerDlg* grid, int index, Shown& shown) {
    if (shown.local) {
      DevInfo dev = shown.dev;
      grid->AddWatch(index, &dev, TRUE, FALSE, 0, 0, FALSE, FALSE);
    } else if (shown.relay.player) {
      grid->Pane(index)->AttachRelayVideo(std::move(shown.relay));
    }
  };
  put(this, targetNo, fromSource);
  put(sourceGrid, sourceNo, fromTarget);
  if (sourceGrid != this) sourceGrid->SaveSurveillanceStatus();
  SaveScreenState();
}

// ---------------------------------------------------------------------------
// Messages

LRESULT CVideoManagerDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PATROL_POINT) {
    const char* key = reinterpret_cast<const char*>(lParam);
    OnPatrolPoint(static_cast<int>(wParam), key ? key : "");
    return 0;  // the key block is released with the message
  }
  return CDialog::OnMessage(msg, wParam, lParam);
}

void CVideoManagerDlg::OnPaneCommand(int command) {
  static const struct { int command; int panes; } kLayouts[] = {
      {32797, 1}, {32798, 4}, {32799, 6}, {32800, 8}, {32801, 9},  {32802, 16},
      {32803, 25}, {32804, 36}, {32873, 10}, {32874, 13}, {32875, 49}, {32876, 64},
  };
  for (const auto& layout : kLayouts) {
    if (layout.command == command) {
      SetDisplayMode(layout.panes, m_bFullScreen);
      return;
    }
  }
  switch (command) {
    case 32826: VideoHost().SetZoomMode(1); SetMouseMode(1); break;
    case 32827: VideoHost().SetZoomMode(2); SetMouseMode(2); break;
    case 32828: VideoHost().SetZoomMode(3); SetMouseMode(3); break;
    case 32829: VideoHost().SetZoomMode(0); SetMouseMode(0); break;
    case 32818:
      g_nFullDisp = !g_nFullDisp;
      ApplyFillScreen(g_nFullDisp);
      break;
    case 32831: ToggleFullScreen(); break;
    case 32813: SwitchCifD1(); break;
    case 32814:
    case 32815:
      for (CVideoWnd* pane : m_pWnds) {
        if (pane != SelectedPane() && pane->IsTalking()) {
          if (m_pMsgDlg) m_pMsgDlg->ShowMsgA(LoadStringA(kStringOtherTalks), 2);
          return;
        }
      }
      command == 32814 ? OnSpeak() : OnOpenSound();
      break;
    case 32816: OnManualRecord(); break;
    case 32820: OnSnapShot(); break;
    case 32807: StopSelectedWatch(); break;
    case 32808:
      RemoveAllWatch();
      SaveScreenState();
      break;
    default: break;
  }
}
