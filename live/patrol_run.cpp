#include "live/patrol_run.h"

#include <cstdlib>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/fixed_text.h"
#include "platform/post_message.h"

namespace {

bool ValidPane(int pane) { return pane >= 0 && pane < kPatrolSlotCount; }

void ResetSlot(PatrolSlot& slot) {
  slot.active = false;
  slot.currentPoint = -1;
  slot.dwellTime = 0;
  slot.dwellCounter = 0;
  slot.points.clear();
}

}  // namespace

CPatrolRun::CPatrolRun() { m_patrolLock.Init(); }

CPatrolRun::~CPatrolRun() { m_timer.Kill(); }

void CPatrolRun::Init(HWND grid, std::chrono::milliseconds period) {
  m_timer.Kill();
  {
    JMutexAutoLock lock(m_patrolLock);
    for (int i = 0; i < kPatrolSlotCount; ++i) {
      ResetSlot(m_slots[i]);
      m_slots[i].paneNumber = i + 1;
    }
    m_hGrid = grid;
    m_bInit = true;
  }
  if (period.count() > 0) m_timer.Start(period, [this] { CB_Patrol(); });
}

void CPatrolRun::Release() { m_timer.Kill(); }

void CPatrolRun::SetRelayKeyState(RelayKeyStateFn relayState) {
  JMutexAutoLock lock(m_patrolLock);
  m_relayState = std::move(relayState);
}

void CPatrolRun::SetOnlineTest(OnlineTest online) {
  JMutexAutoLock lock(m_patrolLock);
  m_online = std::move(online);
}

// The slot of a pane for Start/StopPatrol (the caller holds the patrol lock):
// null before Init (logged) or for a pane outside 0-63.
PatrolSlot* CPatrolRun::OperableSlot(int pane) {
  if (!m_bInit) {
    WriteLog(5, "Error , Function Interface Not Init");
    return nullptr;
  }
  return ValidPane(pane) ? &m_slots[pane] : nullptr;
}

int CPatrolRun::StartPatrol(int pane) {
  JMutexAutoLock lock(m_patrolLock);
  PatrolSlot* slot = OperableSlot(pane);
  if (!slot || slot->active || slot->points.empty()) return -1;
  WriteLog(6, "Start Patrol %d", pane);
  slot->active = true;
  return 0;
}

int CPatrolRun::StopPatrol(int pane) {
  JMutexAutoLock lock(m_patrolLock);
  PatrolSlot* slot = OperableSlot(pane);
  if (!slot) return -1;
  if (slot->active) {
    WriteLog(6, "Stop Patrol %d", pane);
    ResetSlot(*slot);
  }
  return 0;
}

bool CPatrolRun::FindPatrolWnd(const std::string& key, int* pane) {
  JMutexAutoLock lock(m_patrolLock);
  for (int i = 0; i < kPatrolSlotCount; ++i) {
    const PatrolSlot& slot = m_slots[i];
    if (!slot.active || slot.currentPoint < 0) continue;
    if (FixedTextView(slot.points[slot.currentPoint].DevName) != key) continue;
    if (pane) *pane = i;
    return true;
  }
  return false;
}

bool CPatrolRun::IsActive(int pane) {
  JMutexAutoLock lock(m_patrolLock);
  return ValidPane(pane) && m_slots[pane].active;
}

PatrolSlot CPatrolRun::GetSlot(int pane) {
  JMutexAutoLock lock(m_patrolLock);
  return ValidPane(pane) ? m_slots[pane] : PatrolSlot{};
}

int CPatrolRun::AppendPlanPoints(int pane, const std::vector<PatrolPlan>& plans, const std::string& prefix) {
  JMutexAutoLock lock(m_patrolLock);
  if (!ValidPane(pane)) return 0;
  int appended = 0;
  for (const PatrolPlan& plan : plans) {
    if (!PatrolPlanIsForPane(plan.DecodeName, prefix, pane + 1)) continue;
    for (const PatrolPoint& point : plan.points) {
      PatrolRunPoint run;
      CopyFixedText(run.DevName, point.DevName1);
      run.StayTime = std::atoi(point.StayTime);
      m_slots[pane].points.push_back(run);
      ++appended;
    }
  }
  return appended;
}

PatrolToggle CPatrolRun::TogglePane(int pane, const std::vector<PatrolPlan>& plans, const std::string& prefix) {
  if (IsActive(pane)) {
    StopPatrol(pane);
    return PatrolToggle::kStopped;
  }
  if (!m_bInit) {
    WriteLog(5, "Error , Function Interface Not Init");
    return PatrolToggle::kNotStarted;
  }
  const int appended = AppendPlanPoints(pane, plans, prefix);
  return StartPatrol(pane) == 0 && appended > 0 ? PatrolToggle::kStarted : PatrolToggle::kNotStarted;
}

std::vector<PatrolToggle> CPatrolRun::OnPatrol(int shownCount, const std::vector<PatrolPlan>& plans,
                                               const std::string& prefix) {
  std::vector<PatrolToggle> done;
  for (int pane = 0; pane < shownCount && pane < kPatrolSlotCount; ++pane) {
    done.push_back(TogglePane(pane, plans, prefix));
  }
  return done;
}

bool CPatrolRun::IsOnline(const std::string& key) const {
  if (m_online) return m_online(key);
  return PatrolKeyOnline(key, m_relayState);
}

// Moves one active slot on by one tick; true when it is to show a point.
bool CPatrolRun::Advance(PatrolSlot& slot, PatrolPost& post) const {
  const int count = static_cast<int>(slot.points.size());
  if (count == 0) return false;
  int chosen = -1;
  if (slot.currentPoint < 0) {
    for (int i = 0; i < count && chosen < 0; ++i) {
      if (IsOnline(FixedText(slot.points[i].DevName))) chosen = i;
    }
    if (chosen < 0) return false;
    slot.currentPoint = chosen;
  } else {
    if (++slot.dwellCounter < slot.dwellTime) return false;
    for (int tries = 0; tries < count; ++tries) {
      slot.currentPoint = (slot.currentPoint + 1) % count;
      slot.dwellCounter = 0;
      if (IsOnline(FixedText(slot.points[slot.currentPoint].DevName))) {
        chosen = slot.currentPoint;
        break;
      }
    }
    if (chosen < 0) return false;
  }
  const PatrolRunPoint& point = slot.points[chosen];
  slot.dwellTime = point.StayTime;
  post.key = FixedText(point.DevName);
  post.stayTime = point.StayTime;
  return !post.key.empty();
}

std::vector<PatrolPost> CPatrolRun::Advance() {
  std::vector<PatrolPost> posts;
  // The online test reads g_lstDevInfo, which the device editor and the
  // workers change under g_csAppData: hold it for the walk, taken before the
  // patrol lock (see the header).
  CsLock appLock(&g_csAppData);
  JMutexAutoLock lock(m_patrolLock);
  for (int i = 0; i < kPatrolSlotCount; ++i) {
    if (!m_slots[i].active) continue;
    PatrolPost post;
    post.pane = i;
    if (Advance(m_slots[i], post)) posts.push_back(std::move(post));
  }
  return posts;
}

void CPatrolRun::CB_Patrol() {
  for (const PatrolPost& post : Advance()) {
    PostText(m_hGrid, WM_PATROL_POINT, static_cast<WPARAM>(post.pane), post.key.c_str());
    WriteLog(6, "CB_Patrol:Add a patrol point watch, DevName = %s, staytime = %d", post.key.c_str(),
             post.stayTime);
  }
}
