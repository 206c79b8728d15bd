#include "harlen/pages/alarm/arming_cells.h"

namespace {

constexpr int32_t kPainted = 1;
constexpr int32_t kEmpty = 0;

}  // namespace

void ArmingToEditor(const SchedCell (&record)[kSchedDays][kSchedHours], ArmingEditorCells& cells) {
  for (int day = 0; day < kSchedDays; ++day) {
    cells[day][0] = 0;
    for (int hour = 0; hour < kSchedHours; ++hour) {
      const SchedCell value = record[day][hour];
      cells[day][hour + 1] = value == kArmed ? kPainted : value == kNotArmed ? kEmpty : static_cast<int32_t>(value);
    }
  }
}

void EditorToArming(const ArmingEditorCells& cells, SchedCell (&record)[kSchedDays][kSchedHours]) {
  for (int day = 0; day < kSchedDays; ++day) {
    for (int hour = 0; hour < kSchedHours; ++hour) {
      const int32_t value = cells[day][hour + 1];
      record[day][hour] = value == kPainted ? kArmed : value == kEmpty ? kNotArmed : static_cast<SchedCell>(value);
    }
  }
}
