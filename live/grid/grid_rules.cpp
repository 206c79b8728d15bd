#include "live/grid/grid_rules.h"

#include <algorithm>

namespace gridrules {

int FindFreePane(const std::vector<bool>& busy, int selected, int shownCount) {
  const int count = static_cast<int>(busy.size());
  if (selected < 0 || selected >= count || !busy[selected] || shownCount == 1) return selected;
  const int last = std::min(shownCount, count);
  for (int i = selected; i < last; ++i) {
    if (!busy[i]) return i;
  }
  for (int i = 0; i < last; ++i) {
    if (!busy[i]) return i;
  }
  return selected;
}

StreamSwitch AfterLayout(int newCount, int previousShownCount) {
  switch (newCount) {
    case 1:
    case 4:
    case 6:
    case 8:
      return StreamSwitch::kToMain;
    case 9:
    case 10:
    case 13:
    case 16:
    case 25:
    case 36:
    case 49:
    case 64:
      return previousShownCount < 9 ? StreamSwitch::kToSub : StreamSwitch::kNone;
    default:
      return StreamSwitch::kNone;
  }
}

bool MaximiseToMain(int previousShownCount) { return previousShownCount >= 9; }

}  // namespace gridrules
