#include "live/patrol/grid_patrol_plans.h"

#include <cstdlib>

#include "core/fixed_text.h"

CPatrolPlanSource::CPatrolPlanSource(PlansFn plans) : m_plans(std::move(plans)) {}

std::vector<PatrolRunPoint> CPatrolPlanSource::PlanPoints(const std::string& prefix, int paneNumber) {
  std::vector<PatrolRunPoint> points;
  if (!m_plans) return points;
  for (const PatrolPlan& plan : m_plans()) {
    if (!PatrolPlanIsForPane(plan.DecodeName, prefix, paneNumber)) continue;
    for (const PatrolPoint& point : plan.points) {
      PatrolRunPoint run;
      CopyFixedText(run.szDevKey, point.DevName1);
      run.nStayTime = std::atoi(point.StayTime);
      points.push_back(run);
    }
  }
  return points;
}
