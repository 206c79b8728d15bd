// The arming schedules of the alarm record as the arming time editor shows
// them. The record keeps kArmed (2) for an armed hour and kNotArmed (1) for
// one that is not; the editor paints 1 and clears to 0. The caller maps both
// ways, so that a painted hour is stored armed and a cleared one not armed;
// any other non-zero value is passed through unchanged.
#pragma once

#include <cstdint>

#include "harlen/link/xml/sched_cell.h"

// The editor's cell array: 8 days, column 0 unused (0), hours 0 to 23 in columns 1 to 24.
constexpr int kArmingColumns = kSchedHours + 1;
typedef int32_t ArmingEditorCells[kSchedDays][kArmingColumns];

void ArmingToEditor(const SchedCell (&record)[kSchedDays][kSchedHours], ArmingEditorCells& cells);
void EditorToArming(const ArmingEditorCells& cells, SchedCell (&record)[kSchedDays][kSchedHours]);
