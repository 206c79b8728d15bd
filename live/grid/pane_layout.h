// The split-screen layouts of the live-view grid: for the grid's client
// rectangle and a pane count, one rectangle per pane in pane order.
// Pure arithmetic, no windows: the grid moves each pane to its rectangle.
#pragma once

#include <cstdint>

// One pane's place: position and size, not right/bottom edges.
struct PaneRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

class CVideoWndCoord {
 public:
  static constexpr int kLayoutCount = 12;
  static constexpr int kRectCount = 241;
  // The pane counts of the twelve layouts, in table order.
  static constexpr int kLayouts[kLayoutCount] = {1, 4, 6, 8, 9, 10, 13, 16, 25, 36, 49, 64};

  // Fills the group of the layout with paneCount panes at once; a count that
  // is not one of the twelve leaves the table empty (Count() is then 0). An
  // inverted rectangle (right < left or bottom < top) is taken as empty, so
  // every pane then has no size instead of a negative one.
  CVideoWndCoord(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t paneCount);
  virtual ~CVideoWndCoord() = default;

  // Index of the layout's first rectangle in the table, -1 for an unknown count.
  static int GroupStart(int32_t paneCount);
  static bool IsLayout(int32_t paneCount) { return GroupStart(paneCount) >= 0; }

  int32_t PaneCount() const { return m_nCount; }
  // Number of rectangles that can be read: the pane count of a known layout, else 0.
  int32_t Count() const { return m_nGroup >= 0 ? m_nCount : 0; }
  // Rectangle k (0 .. Count()-1) of the layout; false leaves *rect alone.
  bool Pane(int32_t k, PaneRect* rect) const;

 private:
  void Fill();
  void Cell(int index, int32_t column, int32_t row, int32_t columns = 1, int32_t rows = 1);
  void Grid(int first, int32_t k);

  PaneRect m_Rects[kRectCount]{};
  int32_t m_nLeft;
  int32_t m_nTop;
  int32_t m_nRight;
  int32_t m_nBottom;
  int32_t m_nCount;
  int m_nGroup;
  int32_t m_nCellW = 0;
  int32_t m_nCellH = 0;
};
