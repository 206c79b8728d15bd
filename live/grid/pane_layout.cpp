#include "live/grid/pane_layout.h"

#include <algorithm>

namespace {
constexpr int kGroupStarts[CVideoWndCoord::kLayoutCount] = {0,  1,  5,  11, 19,  28,
                                                            38, 51, 67, 92, 128, 177};
}  // namespace

CVideoWndCoord::CVideoWndCoord(int32_t left, int32_t top, int32_t right, int32_t bottom,
                               int32_t paneCount)
    : m_nLeft(left),
      m_nTop(top),
      m_nRight(right),
      m_nBottom(bottom),
      m_nCount(paneCount),
      m_nGroup(GroupStart(paneCount)) {
  if (m_nGroup >= 0) Fill();
}

int CVideoWndCoord::GroupStart(int32_t paneCount) {
  for (int i = 0; i < kLayoutCount; ++i) {
    if (kLayouts[i] == paneCount) return kGroupStarts[i];
  }
  return -1;
}

bool CVideoWndCoord::Pane(int32_t k, PaneRect* rect) const {
  if (!rect || k < 0 || k >= Count()) return false;
  *rect = m_Rects[m_nGroup + k];
  return true;
}

// The block of columns x rows cells whose top left cell is (column, row).
void CVideoWndCoord::Cell(int index, int32_t column, int32_t row, int32_t columns, int32_t rows) {
  m_Rects[m_nGroup + index] = PaneRect{m_nLeft + column * m_nCellW, m_nTop + row * m_nCellH,
                                       columns * m_nCellW, rows * m_nCellH};
}

// k x k cells row by row, left to right, from pane `first` on.
void CVideoWndCoord::Grid(int first, int32_t k) {
  for (int32_t row = 0; row < k; ++row) {
    for (int32_t column = 0; column < k; ++column) Cell(first + row * k + column, column, row);
  }
}

void CVideoWndCoord::Fill() {
  // Sizes are computed in 64 bits so that extreme edges cannot overflow (a
  // size beyond the 32-bit range is cut to it); an inverted rectangle counts
  // as empty.
  constexpr int64_t kMax = INT32_MAX;
  const int64_t width = std::clamp<int64_t>(int64_t{m_nRight} - m_nLeft, 0, kMax);
  const int64_t height = std::clamp<int64_t>(int64_t{m_nBottom} - m_nTop, 0, kMax);
  // Columns and rows of the layout's cell grid; the cell size truncates, so a
  // remainder stays empty at the right and bottom edge.
  int32_t columns = 1;
  int32_t rows = 1;
  switch (m_nCount) {
    case 1: break;
    case 4: columns = rows = 2; break;
    case 6: columns = rows = 3; break;
    case 8: case 13: columns = rows = 4; break;
    case 10: columns = 4; rows = 3; break;
    default:  // 9, 16, 25, 36, 49, 64: k x k
      columns = rows = m_nCount == 9 ? 3 : m_nCount == 16 ? 4 : m_nCount == 25 ? 5
                     : m_nCount == 36 ? 6 : m_nCount == 49 ? 7 : 8;
      break;
  }
  m_nCellW = static_cast<int32_t>(width / columns);
  m_nCellH = static_cast<int32_t>(height / rows);

  switch (m_nCount) {
    case 6:
      Cell(0, 0, 0, 2, 2);
      Cell(1, 2, 0);
      Cell(2, 2, 1);
      Cell(3, 2, 2);
      Cell(4, 1, 2);
      Cell(5, 0, 2);
      break;
    case 8:
      Cell(0, 0, 0, 3, 3);
      for (int32_t row = 0; row < 4; ++row) Cell(1 + row, 3, row);
      for (int32_t i = 0; i < 3; ++i) Cell(5 + i, 2 - i, 3);
      break;
    case 10:
      Cell(0, 0, 0, 2, 1);
      Cell(1, 2, 0, 2, 1);
      for (int32_t column = 0; column < 4; ++column) {
        Cell(2 + column, column, 1);
        Cell(6 + column, column, 2);
      }
      break;
    case 13:
      for (int32_t column = 0; column < 4; ++column) {
        Cell(column, column, 0);
        Cell(9 + column, column, 3);
      }
      Cell(4, 0, 1);
      Cell(5, 1, 1, 2, 2);
      Cell(6, 3, 1);
      Cell(7, 0, 2);
      Cell(8, 3, 2);
      break;
    default:  // 1, 4 and the k x k layouts
      Grid(0, columns);
      break;
  }
}
