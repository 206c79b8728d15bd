// The patrol plans a grid's patrol button starts, read from a plan list (the
// patrol settings page's, CConfigPatrol::GetPlans).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "live/patrol/grid_patrol.h"
#include "live/patrol/patrol_info.h"

class CPatrolPlanSource : public IPatrolPlanSource {
 public:
  using PlansFn = std::function<std::vector<PatrolPlan>()>;

  // `plans` is asked afresh on every patrol button press.
  explicit CPatrolPlanSource(PlansFn plans);

  // Every point of every plan named "<prefix>-<paneNumber>" (split at the
  // first '-'), in plan order: key DevName1, stay time the decimal StayTime.
  std::vector<PatrolRunPoint> PlanPoints(const std::string& prefix, int paneNumber) override;

 private:
  PlansFn m_plans;
};
