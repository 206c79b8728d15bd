#include "harlen/link/controls/sched_grid_model.h"

#include <algorithm>

COLORREF SchedCellColour(int32_t value, COLORREF background) {
  switch (value) {
    case 1: return RGB(32, 109, 223);
    case 2: return RGB(213, 205, 98);
    case 3: return RGB(180, 75, 29);
    case 4: return RGB(172, 219, 245);
    case 5: return RGB(215, 129, 190);
    default: return background;
  }
}

void SchedGridModel::Resize(int rows, int columns) {
  columns_ = std::max(columns, 0);
  cells_.resize(static_cast<size_t>(std::max(rows, 0)));
  for (auto& row : cells_) row.resize(static_cast<size_t>(columns_), 0);
}

bool SchedGridModel::IsCell(int row, int column) const {
  return row >= 0 && row < Rows() && column >= 1 && column < columns_;
}

int32_t SchedGridModel::Cell(int row, int column) const {
  if (row < 0 || row >= Rows() || column < 0 || column >= columns_) return 0;
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void SchedGridModel::SetCell(int row, int column, int32_t value) {
  if (row < 0 || row >= Rows() || column < 0 || column >= columns_) return;
  cells_[static_cast<size_t>(row)][static_cast<size_t>(column)] = value;
}

int SchedGridModel::CountRuns(int row) const {
  int runs = 0;
  int32_t before = 0;
  for (int column = 1; column < columns_; ++column) {
    const int32_t value = Cell(row, column);
    if (value != 0 && value != before) ++runs;
    before = value;
  }
  return runs;
}

bool SchedGridModel::Toggle(int row, int column, int32_t paint) {
  if (!IsCell(row, column)) return false;
  const int32_t old = Cell(row, column);
  int32_t value = 0;
  if (old == 0 && CountRuns(row) <= kSchedMaxRunsForNewCell) value = paint;
  SetCell(row, column, value);
  return value != old;
}

bool SchedGridModel::FillBand(int row0, int column0, int row1, int column1, int32_t paint) {
  if (row1 < row0 || column1 < column0) return false;
  bool changed = false;
  for (int row = std::max(row0, 0); row <= std::min(row1, Rows() - 1); ++row) {
    for (int column = std::max(column0, 1); column <= std::min(column1, columns_ - 1); ++column) {
      if (Cell(row, column) != paint) changed = true;
      SetCell(row, column, paint);
    }
  }
  return changed;
}
