// CVideoManagerDlg: the patrol slots of the panes, the patrol button, the
// one-second patrol timer and the points it posts.
#include <chrono>
#include <cstring>

#include "core/client_log.h"
#include "live/grid/grid_rules.h"
#include "live/patrol/patrol_info.h"
#include "live/patrol/patrol_keys.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"

namespace {

constexpr unsigned kLog = 6;

}  // namespace

void CVideoManagerDlg::SetPatrolTick(PatrolTick tick) {
  std::lock_guard<std::mutex> lock(m_PatrolLock);
  m_PatrolTick = std::move(tick);
}

void CVideoManagerDlg::PatrolTimerLoop() {
  std::unique_lock<std::mutex> timer(m_TimerMutex);
  auto next = std::chrono::steady_clock::now();
  while (!m_bTimerStop) {
    next += std::chrono::milliseconds(1000);
    if (m_TimerWake.wait_until(timer, next, [this] { return m_bTimerStop; })) break;
    std::lock_guard<std::mutex> lock(m_PatrolLock);
    if (m_PatrolTick) m_PatrolTick(m_PatrolSlots, GetSafeHwnd());
  }
}

void CVideoManagerDlg::StopPatrolTimer() {
  {
    std::lock_guard<std::mutex> timer(m_TimerMutex);
    m_bTimerStop = true;
  }
  m_TimerWake.notify_all();
  if (m_PatrolTimer.joinable()) m_PatrolTimer.join();
}

PatrolSlot* CVideoManagerDlg::SlotForChange(int pane) {
  if (!m_bInited) {
    WriteLog(5, "Error , Function Interface Not Init");
    return nullptr;
  }
  return pane >= 0 && pane < kPaneCount ? &m_PatrolSlots[pane] : nullptr;
}

int CVideoManagerDlg::StartPatrol(int pane) {
  std::lock_guard<std::mutex> lock(m_PatrolLock);
  PatrolSlot* slot = SlotForChange(pane);
  if (!slot || slot->bActive || slot->lstPoints.empty()) return -1;
  WriteLog(kLog, "Start Patrol %d", pane);
  slot->bActive = true;
  return 0;
}

int CVideoManagerDlg::StopPatrol(int pane) {
  std::lock_guard<std::mutex> lock(m_PatrolLock);
  PatrolSlot* found = SlotForChange(pane);
  if (!found) return -1;
  PatrolSlot& slot = *found;
  if (slot.bActive) WriteLog(kLog, "Stop Patrol %d", pane);
  slot.bActive = false;
  slot.nCurPoint = -1;
  slot.nDwellTime = 0;
  slot.nDwellCount = 0;
  slot.lstPoints.clear();
  return 0;
}

bool CVideoManagerDlg::IsPatrolActive(int pane) {
  if (pane < 0 || pane >= kPaneCount) return false;
  std::lock_guard<std::mutex> lock(m_PatrolLock);
  return !m_PatrolSlots.empty() && m_PatrolSlots[pane].bActive;
}

bool CVideoManagerDlg::FindPatrolWnd(const char* devKey, int* pane) {
  std::lock_guard<std::mutex> lock(m_PatrolLock);
  for (int i = 0; i < static_cast<int>(m_PatrolSlots.size()); ++i) {
    const PatrolSlot& slot = m_PatrolSlots[i];
    if (!slot.bActive || slot.nCurPoint < 0 || slot.nCurPoint >= static_cast<int>(slot.lstPoints.size())) continue;
    auto point = slot.lstPoints.begin();
    std::advance(point, slot.nCurPoint);
    if (std::strcmp(point->szDevKey, devKey) == 0) {
      if (pane) *pane = i;
      return true;
    }
  }
  return false;
}

void CVideoManagerDlg::AddPatrolPoint(int pane, const PatrolRunPoint& point) {
  if (pane < 0 || pane >= kPaneCount) return;
  std::lock_guard<std::mutex> lock(m_PatrolLock);
  m_PatrolSlots[pane].lstPoints.push_back(point);
}

void CVideoManagerDlg::OnPatrol() {
  const std::string prefix = PatrolPlanPrefix(VideoHost().ExtendedPosition(this));
  for (int pane = 0; pane < m_nShownCount && pane < kPaneCount; ++pane) {
    if (IsPatrolActive(pane)) {
      StopPatrol(pane);
      SetPatrolButton(false);
      continue;
    }
    bool appended = false;
    if (m_pPlanSource) {
      for (const PatrolRunPoint& point : m_pPlanSource->PlanPoints(prefix, pane + 1)) {
        AddPatrolPoint(pane, point);
        appended = true;
      }
    }
    StartPatrol(pane);
    if (appended) SetPatrolButton(true);
  }
}

void CVideoManagerDlg::OnPatrolPoint(int pane, const char* devKey) {
  CVideoWnd* target = Pane(pane);
  if (!target || !devKey) return;
  const std::string key = devKey;
  if (pane == m_nSelectWnd) {
    StopTalkIfOpen();
    ToggleSoundOff();
  }
  if (target->IsManualRecording()) {
    target->StopManualRec();
    if (pane == m_nSelectWnd) SetRecordButton(false);
  }
  for (CVideoWnd* other : m_pWnds) {
    if (other == target) continue;
    if (other->IsWatching() && key == other->WatchedDev().DevName) {
      StopPaneExtras(other);
      break;
    }
  }
  if (!PatrolKeyIsLocal(key)) {
    VideoHost().InvitePatrolRelayVideo(this, pane, key);
    return;
  }
  if (DevInfo* dev = FindLocalDeviceByKey(key)) {
    DevInfo request = *dev;
    target->AddWatch(&request, FALSE);
  }
}
