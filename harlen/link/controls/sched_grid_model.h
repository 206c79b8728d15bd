// The cells of the schedule grid and the rules by which the mouse paints them.
//
// A grid has rows (days) and columns; column 0 holds the row's label and is
// never painted, columns 1 and up are cells holding a schedule value
// (SchedCell: 0 empty, 1 to 5 the five kinds).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win_types.h"

// Posted (wParam 0, lParam 0) to the grid's notify window after cells changed.
constexpr UINT WM_SCHEDULE_CHANGED = WM_USER + 1001;

// A row may hold at most this many runs before a click may add a cell.
constexpr int kSchedMaxRunsForNewCell = 7;

// The colour of a cell of `value`; 0 and unknown values take `background`.
COLORREF SchedCellColour(int32_t value, COLORREF background);

class SchedGridModel {
 public:
  // Keeps the cells that still fit; new cells are 0.
  void Resize(int rows, int columns);
  int Rows() const { return static_cast<int>(cells_.size()); }
  int Columns() const { return columns_; }
  bool IsCell(int row, int column) const;  // a paintable cell (column 1 and up)

  int32_t Cell(int row, int column) const;  // 0 outside the grid
  void SetCell(int row, int column, int32_t value);

  // Runs of a row: scanning columns 1 to the last, a run starts at a non-zero
  // value that follows a 0 or differs from the value before it.
  int CountRuns(int row) const;

  // A click on a cell: a painted cell becomes 0; an empty one takes `paint`
  // when its row holds at most 7 runs, else stays 0. True when it changed.
  bool Toggle(int row, int column, int32_t paint);

  // Every cell from (row0, column0) to (row1, column1), both inclusive, takes
  // `paint`, without the runs rule; nothing when the end lies above or left of
  // the start. Column 0 is left alone. True when a cell changed.
  bool FillBand(int row0, int column0, int row1, int column1, int32_t paint);

 private:
  int columns_ = 0;
  std::vector<std::vector<int32_t>> cells_;
};
