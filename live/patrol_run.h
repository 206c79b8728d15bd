// The patrol slots of one live-view grid: each of the grid's 64 panes can run
// a patrol plan, showing the plan's cameras in turn, each for its stay time.
//
// The grid owns one CPatrolRun. Init starts a 1000 ms periodic timer whose
// callback (CB_Patrol) moves the running slots on and posts WM_PATROL_POINT to
// the grid for every pane that is to show another camera; the grid handles it
// on the UI thread. StartPatrol, StopPatrol, FindPatrolWnd and the rest are
// called on the UI thread. The slots are guarded by the patrol lock.
//
// Locks: a timer step takes g_csAppData (it reads the device lists) and then
// the patrol lock, in this order; nothing here takes them the other way round,
// so a UI-thread caller may hold g_csAppData while it calls in. The relay
// state function is called with both held.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "live/patrol_info.h"
#include "live/patrol_keys.h"
#include "live/patrol_timer.h"
#include "platform/jmutex.h"
#include "platform/win_types.h"

// Posted by the patrol timer to its grid: wParam = pane index (0-63), lParam =
// a heap copy of the device key (owned by the message, released after delivery).
constexpr UINT WM_PATROL_POINT = WM_USER + 6000;

constexpr int kPatrolSlotCount = 64;

// One point of a running patrol: the camera's key and its stay in seconds.
struct PatrolRunPoint {
  char DevName[256] = {};
  int StayTime = 0;
};

struct PatrolSlot {
  int paneNumber = 0;    // 1-based
  bool active = false;
  int dwellCounter = 0;  // ticks spent on the current point
  int dwellTime = 0;     // stay time of the current point
  int currentPoint = -1; // -1 before the first point was shown
  std::vector<PatrolRunPoint> points;
};

// A pane that is to show the camera of `key` next.
struct PatrolPost {
  int pane = 0;  // index 0-63
  std::string key;
  int stayTime = 0;
};

// What the patrol button did to a pane.
enum class PatrolToggle {
  kStopped,     // the pane's patrol ran and was stopped: button off
  kStarted,     // the pane's plan was started: button on
  kNotStarted,  // no plan points for the pane (or refused): button left as it is
};

class CPatrolRun {
 public:
  using OnlineTest = std::function<bool(const std::string& key)>;

  CPatrolRun();
  ~CPatrolRun();  // the timer is killed first
  CPatrolRun(const CPatrolRun&) = delete;
  CPatrolRun& operator=(const CPatrolRun&) = delete;

  // Resets every slot, marks the run initialised and starts the timer that
  // posts to `grid` every `period`. A zero period starts no timer: the owner
  // calls CB_Patrol itself.
  void Init(HWND grid, std::chrono::milliseconds period = std::chrono::milliseconds(1000));
  // Stops the timer; the slots stay as they are.
  void Release();
  bool IsInitialised() const { return m_bInit; }

  // How the relay devices' state is read (the relay service provides it).
  void SetRelayKeyState(RelayKeyStateFn relayState);
  // Replaces the online test (default: PatrolKeyOnline with the relay state).
  void SetOnlineTest(OnlineTest online);

  // -1 before Init (logged), for a pane outside 0-63, an active slot or a slot
  // without points; otherwise the slot becomes active (the timer shows its
  // first point) and 0 is returned.
  int StartPatrol(int pane);
  // -1 before Init (logged) or for a pane outside 0-63; an active slot is
  // stopped and emptied. 0 otherwise.
  int StopPatrol(int pane);
  // The first active slot that shows `key` now: its pane index.
  bool FindPatrolWnd(const std::string& key, int* pane);
  bool IsActive(int pane);
  PatrolSlot GetSlot(int pane);  // a copy

  // Appends to the pane's slot every point of every plan for that pane
  // (PatrolPlanIsForPane with `prefix` and pane + 1); returns how many.
  int AppendPlanPoints(int pane, const std::vector<PatrolPlan>& plans, const std::string& prefix);
  // The patrol button for one pane: stops an active patrol, otherwise loads the
  // pane's plans and starts them.
  PatrolToggle TogglePane(int pane, const std::vector<PatrolPlan>& plans, const std::string& prefix);
  // The patrol button of the grid: TogglePane for the shown panes 0 ..
  // shownCount - 1, in order; what it did to each.
  std::vector<PatrolToggle> OnPatrol(int shownCount, const std::vector<PatrolPlan>& plans,
                                     const std::string& prefix);

  // One timer step over all slots, under g_csAppData and the patrol lock;
  // returns the panes that are to show another camera.
  std::vector<PatrolPost> Advance();
  // The timer callback: one step, each result posted to the grid.
  void CB_Patrol();

 private:
  PatrolSlot* OperableSlot(int pane);
  bool IsOnline(const std::string& key) const;
  bool Advance(PatrolSlot& slot, PatrolPost& post) const;

  HWND m_hGrid = nullptr;
  bool m_bInit = false;
  JMutex m_patrolLock;
  PatrolSlot m_slots[kPatrolSlotCount];
  RelayKeyStateFn m_relayState;
  OnlineTest m_online;
  CPeriodicTimer m_timer;
};
