// The patrol slots of a live-view grid: one per pane, guarded by the grid's
// patrol lock, and the narrow interfaces through which the grid meets the
// patrol plans and the patrol run.
#pragma once

#include <functional>
#include <list>
#include <string>
#include <vector>

#include "platform/win_types.h"

// One point of a running patrol: the device key and its stay time.
struct PatrolRunPoint {
  char szDevKey[256] = {};
  int nStayTime = 0;  // seconds
};

struct PatrolSlot {
  int nWndNo = 0;          // pane number, 1-based
  bool bActive = false;
  int nDwellCount = 0;     // seconds spent on the current point
  int nDwellTime = 0;      // stay time of the current point
  int nCurPoint = -1;      // -1 before the first point was shown
  std::list<PatrolRunPoint> lstPoints;
};

constexpr int kGridPaneCount = 64;

// The plans the patrol button starts: the points of the plan named
// "<prefix>-<paneNumber>" ("Player-3", "PlayerEx1-12" ...), in plan order
// (CPatrolPlanSource, live/grid_patrol_plans.h).
class IPatrolPlanSource {
 public:
  virtual ~IPatrolPlanSource() = default;
  virtual std::vector<PatrolRunPoint> PlanPoints(const std::string& prefix, int paneNumber) = 0;
};

// The patrol run's step, called every second on the grid's timer thread with
// the grid's slots while the grid holds its patrol lock; it posts
// WM_PATROL_POINT to the grid window for every point to show
// (MakeGridPatrolTick, live/grid_patrol_step.h). Without one no patrol moves.
using PatrolTick = std::function<void(std::vector<PatrolSlot>& patrolSlots, HWND grid)>;
