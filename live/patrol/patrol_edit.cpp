#include "live/patrol/patrol_edit.h"

#include <cstdio>
#include <cstdlib>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "platform/string_table.h"

namespace {

enum : int {
  IDS_PATROL_DUPLICATE = 893,
  IDS_PATROL_STAY_EMPTY = 907,
  IDS_PATROL_NAME_EMPTY = 908,
  IDS_PATROL_TEN_POINTS = 911,
  IDS_PATROL_STAY_SHORT = 912,
};

constexpr int kDevTypeDecoder = 2;
constexpr UINT kPaneLabel = 42002;     // "Player-%d"
constexpr UINT kExtPaneLabel = 42003;  // "PlayerEx%d-%d"

bool PlansHavePaneCamera(const std::vector<PatrolPlan>& plans, const std::string& key) {
  for (const PatrolPlan& plan : plans) {
    for (const PatrolPoint& point : plan.points) {
      if (point.DispMode[0] == '\0' && FixedTextView(point.DevName1) == key) return true;
    }
  }
  return false;
}

}  // namespace

std::vector<std::string> PatrolPaneNames(const std::string& prefix) {
  std::vector<std::string> names;
  for (int n = 1; n <= 64; ++n) names.push_back(PatrolPlanName(prefix, n));
  return names;
}

std::vector<std::string> PatrolDecoderNames() {
  std::vector<std::string> names;
  CsLock lock(&g_csAppData);
  for (const DevInfo& dev : g_lstDevInfo) {
    if (dev.DevType == kDevTypeDecoder) names.push_back(FixedText(dev.DevName));
  }
  return names;
}

std::string PatrolNameLabel(const std::string& name) {
  int screen = 0, pane = 0;
  char after = 0;
  if (std::sscanf(name.c_str(), "PlayerEx%d-%d%c", &screen, &pane, &after) == 2)
    return FormatStringA(kExtPaneLabel, "PlayerEx%d-%d", {screen, pane});
  if (std::sscanf(name.c_str(), "Player-%d%c", &pane, &after) == 1) return FormatStringA(kPaneLabel, "Player-%d", {pane});
  return name;
}

PatrolRow PatrolRowOf(const PatrolPoint& point, int tab) {
  if (tab == kPatrolTabPlayer) return {FixedText(point.DevName1), FixedText(point.StayTime)};
  return {FixedText(point.DispMode), FixedText(point.StayTime), FixedText(point.DevName1),
          FixedText(point.DevName2), FixedText(point.DevName3), FixedText(point.DevName4)};
}

PatrolPoint PatrolPointOf(const PatrolRow& row) {
  PatrolPoint point;
  auto column = [&row](size_t i) { return i < row.size() ? row[i].c_str() : ""; };
  if (row.size() < 6) {
    CopyFixedText(point.DevName1, column(0));
    CopyFixedText(point.StayTime, column(1));
    return point;
  }
  CopyFixedText(point.DispMode, column(0));
  CopyFixedText(point.StayTime, column(1));
  CopyFixedText(point.DevName1, column(2));
  CopyFixedText(point.DevName2, column(3));
  CopyFixedText(point.DevName3, column(4));
  CopyFixedText(point.DevName4, column(5));
  return point;
}

int CheckPatrolPoint(const PatrolPointInput& input, const std::vector<PatrolPlan>& plans) {
  if (input.stayTime.empty()) return IDS_PATROL_STAY_EMPTY;
  if (std::atoi(input.stayTime.c_str()) < kPatrolMinStayTime) return IDS_PATROL_STAY_SHORT;
  const std::string& name = input.devNames[0];
  if (name.empty()) return IDS_PATROL_NAME_EMPTY;
  if (input.tab == kPatrolTabPlayer && (!input.modify || name != input.oldName) &&
      PlansHavePaneCamera(plans, name)) {
    return IDS_PATROL_DUPLICATE;
  }
  if (!input.modify && input.rowCount >= kPatrolMaxPoints) return IDS_PATROL_TEN_POINTS;
  return 0;
}

PatrolRow PatrolRowOfInput(const PatrolPointInput& input) {
  if (input.tab == kPatrolTabPlayer) return {input.devNames[0], input.stayTime};
  if (!input.fourVideo) return {"0", input.stayTime, input.devNames[0], "", "", ""};
  return {"1", input.stayTime, input.devNames[0], input.devNames[1], input.devNames[2], input.devNames[3]};
}
