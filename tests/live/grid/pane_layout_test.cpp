// The split-screen layouts: pane counts, exact rectangles with the truncating
// cell arithmetic, and the shape of every layout (no overlap, inside the area,
// the whole cell grid covered).
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "live/grid/pane_layout.h"

bool operator==(const PaneRect& a, const PaneRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
void PrintTo(const PaneRect& r, std::ostream* os) {
  *os << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}

namespace {

struct Area {
  int32_t left, top, right, bottom;
};

std::vector<PaneRect> Panes(const Area& a, int32_t count) {
  CVideoWndCoord coord(a.left, a.top, a.right, a.bottom, count);
  std::vector<PaneRect> panes;
  PaneRect r;
  for (int32_t k = 0; k < coord.Count(); ++k) {
    EXPECT_TRUE(coord.Pane(k, &r));
    panes.push_back(r);
  }
  return panes;
}

bool Overlap(const PaneRect& a, const PaneRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

struct LayoutCase {
  Area area;
  int32_t count;
  int32_t columns, rows;  // the layout's cell grid
  PaneRect first, last;
};

// 1203 x 907 at (10, 20) leaves remainders in most layouts; 1920 x 1080 at the origin.
constexpr Area kOdd{10, 20, 1213, 927};
constexpr Area kWide{0, 0, 1920, 1080};

const LayoutCase kLayoutCases[] = {
    {kOdd, 1, 1, 1, {10, 20, 1203, 907}, {10, 20, 1203, 907}},
    {kOdd, 4, 2, 2, {10, 20, 601, 453}, {611, 473, 601, 453}},
    {kOdd, 6, 3, 3, {10, 20, 802, 604}, {10, 624, 401, 302}},
    {kOdd, 8, 4, 4, {10, 20, 900, 678}, {10, 698, 300, 226}},
    {kOdd, 9, 3, 3, {10, 20, 401, 302}, {812, 624, 401, 302}},
    {kOdd, 10, 4, 3, {10, 20, 600, 302}, {910, 624, 300, 302}},
    {kOdd, 13, 4, 4, {10, 20, 300, 226}, {910, 698, 300, 226}},
    {kOdd, 16, 4, 4, {10, 20, 300, 226}, {910, 698, 300, 226}},
    {kOdd, 25, 5, 5, {10, 20, 240, 181}, {970, 744, 240, 181}},
    {kOdd, 36, 6, 6, {10, 20, 200, 151}, {1010, 775, 200, 151}},
    {kOdd, 49, 7, 7, {10, 20, 171, 129}, {1036, 794, 171, 129}},
    {kOdd, 64, 8, 8, {10, 20, 150, 113}, {1060, 811, 150, 113}},
    {kWide, 1, 1, 1, {0, 0, 1920, 1080}, {0, 0, 1920, 1080}},
    {kWide, 4, 2, 2, {0, 0, 960, 540}, {960, 540, 960, 540}},
    {kWide, 6, 3, 3, {0, 0, 1280, 720}, {0, 720, 640, 360}},
    {kWide, 8, 4, 4, {0, 0, 1440, 810}, {0, 810, 480, 270}},
    {kWide, 9, 3, 3, {0, 0, 640, 360}, {1280, 720, 640, 360}},
    {kWide, 10, 4, 3, {0, 0, 960, 360}, {1440, 720, 480, 360}},
    {kWide, 13, 4, 4, {0, 0, 480, 270}, {1440, 810, 480, 270}},
    {kWide, 16, 4, 4, {0, 0, 480, 270}, {1440, 810, 480, 270}},
    {kWide, 25, 5, 5, {0, 0, 384, 216}, {1536, 864, 384, 216}},
    {kWide, 36, 6, 6, {0, 0, 320, 180}, {1600, 900, 320, 180}},
    {kWide, 49, 7, 7, {0, 0, 274, 154}, {1644, 924, 274, 154}},
    {kWide, 64, 8, 8, {0, 0, 240, 135}, {1680, 945, 240, 135}},
};

TEST(PaneLayoutTest, EveryLayoutTilesItsCellGridInsideTheArea) {
  for (const LayoutCase& c : kLayoutCases) {
    SCOPED_TRACE(::testing::Message() << c.count << " panes in " << c.area.right - c.area.left
                                      << " x " << c.area.bottom - c.area.top);
    const std::vector<PaneRect> panes = Panes(c.area, c.count);
    ASSERT_EQ(panes.size(), static_cast<size_t>(c.count));
    EXPECT_EQ(panes.front(), c.first);
    EXPECT_EQ(panes.back(), c.last);

    const int64_t cellW = (c.area.right - c.area.left) / c.columns;
    const int64_t cellH = (c.area.bottom - c.area.top) / c.rows;
    int64_t covered = 0;
    for (size_t i = 0; i < panes.size(); ++i) {
      const PaneRect& p = panes[i];
      EXPECT_GT(p.width, 0) << "pane " << i;
      EXPECT_GT(p.height, 0) << "pane " << i;
      EXPECT_GE(p.x, c.area.left) << "pane " << i;
      EXPECT_GE(p.y, c.area.top) << "pane " << i;
      EXPECT_LE(p.x + p.width, c.area.right) << "pane " << i;
      EXPECT_LE(p.y + p.height, c.area.bottom) << "pane " << i;
      // Every edge lies on the cell grid.
      EXPECT_EQ((p.x - c.area.left) % cellW, 0) << "pane " << i;
      EXPECT_EQ((p.y - c.area.top) % cellH, 0) << "pane " << i;
      EXPECT_EQ(p.width % cellW, 0) << "pane " << i;
      EXPECT_EQ(p.height % cellH, 0) << "pane " << i;
      for (size_t j = i + 1; j < panes.size(); ++j) {
        EXPECT_FALSE(Overlap(p, panes[j])) << "panes " << i << " and " << j;
      }
      covered += int64_t{p.width} * p.height;
    }
    // No overlap and the same area as the grid: the panes cover it exactly,
    // leaving only the division remainder empty at the right and bottom.
    EXPECT_EQ(covered, cellW * c.columns * cellH * c.rows);
  }
}

// The irregular layouts pane by pane, as (column, row, columns wide, rows high)
// on a 1200 x 1200 area whose cells divide evenly.
struct Block {
  int32_t column, row, columns, rows;
};

struct IrregularCase {
  int32_t count;
  int32_t gridColumns, gridRows;
  std::vector<Block> blocks;
};

TEST(PaneLayoutTest, IrregularLayoutsKeepTheirPaneOrder) {
  const IrregularCase cases[] = {
      {6, 3, 3, {{0, 0, 2, 2}, {2, 0, 1, 1}, {2, 1, 1, 1}, {2, 2, 1, 1}, {1, 2, 1, 1}, {0, 2, 1, 1}}},
      {8, 4, 4, {{0, 0, 3, 3}, {3, 0, 1, 1}, {3, 1, 1, 1}, {3, 2, 1, 1}, {3, 3, 1, 1},
                 {2, 3, 1, 1}, {1, 3, 1, 1}, {0, 3, 1, 1}}},
      {10, 4, 3, {{0, 0, 2, 1}, {2, 0, 2, 1}, {0, 1, 1, 1}, {1, 1, 1, 1}, {2, 1, 1, 1},
                  {3, 1, 1, 1}, {0, 2, 1, 1}, {1, 2, 1, 1}, {2, 2, 1, 1}, {3, 2, 1, 1}}},
      {13, 4, 4, {{0, 0, 1, 1}, {1, 0, 1, 1}, {2, 0, 1, 1}, {3, 0, 1, 1}, {0, 1, 1, 1},
                  {1, 1, 2, 2}, {3, 1, 1, 1}, {0, 2, 1, 1}, {3, 2, 1, 1}, {0, 3, 1, 1},
                  {1, 3, 1, 1}, {2, 3, 1, 1}, {3, 3, 1, 1}}},
  };
  const Area area{100, 50, 1300, 1250};
  for (const IrregularCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.count << " panes");
    const std::vector<PaneRect> panes = Panes(area, c.count);
    ASSERT_EQ(panes.size(), c.blocks.size());
    const int32_t w = 1200 / c.gridColumns;
    const int32_t h = 1200 / c.gridRows;
    for (size_t i = 0; i < panes.size(); ++i) {
      const Block& b = c.blocks[i];
      EXPECT_EQ(panes[i], (PaneRect{100 + b.column * w, 50 + b.row * h, b.columns * w, b.rows * h}))
          << "pane " << i;
    }
  }
}

TEST(PaneLayoutTest, WorkedExamples) {
  EXPECT_EQ(Panes({0, 0, 1000, 1000}, 8).front(), (PaneRect{0, 0, 750, 750}));
  EXPECT_EQ(Panes({0, 0, 1000, 1000}, 8).back(), (PaneRect{0, 750, 250, 250}));
  // 1003 / 2 = 501: one pixel stays empty at the right and bottom.
  EXPECT_EQ(Panes({0, 0, 1003, 1003}, 4)[3], (PaneRect{501, 501, 501, 501}));
  EXPECT_EQ(Panes({0, 0, 1200, 900}, 10)[1], (PaneRect{600, 0, 600, 300}));
  EXPECT_EQ(Panes({0, 0, 1200, 900}, 10)[9], (PaneRect{900, 600, 300, 300}));
}

TEST(PaneLayoutTest, GroupsFollowEachOtherInTheTable) {
  int expected = 0;
  for (int count : CVideoWndCoord::kLayouts) {
    EXPECT_EQ(CVideoWndCoord::GroupStart(count), expected) << count << " panes";
    expected += count;
  }
  EXPECT_EQ(expected, CVideoWndCoord::kRectCount);
}

TEST(PaneLayoutTest, UnknownCountsAndIndicesReadNothing) {
  for (int32_t count : {0, -1, 2, 5, 12, 65, 241}) {
    CVideoWndCoord coord(0, 0, 800, 600, count);
    EXPECT_EQ(coord.PaneCount(), count);
    EXPECT_EQ(coord.Count(), 0) << count;
    PaneRect r{1, 2, 3, 4};
    EXPECT_FALSE(coord.Pane(0, &r)) << count;
    EXPECT_EQ(r, (PaneRect{1, 2, 3, 4}));
  }
  CVideoWndCoord coord(0, 0, 800, 600, 9);
  PaneRect r;
  EXPECT_FALSE(coord.Pane(-1, &r));
  EXPECT_FALSE(coord.Pane(9, &r));
  EXPECT_FALSE(coord.Pane(0, nullptr));
  EXPECT_TRUE(coord.Pane(8, &r));
}

TEST(PaneLayoutTest, DegenerateAreasGiveEmptyPanesNeverNegativeOnes) {
  const Area areas[] = {{0, 0, 0, 0},           // nothing
                        {500, 400, 100, 100},   // inverted
                        {0, 0, 3, 2},           // smaller than the cells
                        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};  // beyond 32 bits
  for (const Area& a : areas) {
    for (int count : CVideoWndCoord::kLayouts) {
      SCOPED_TRACE(::testing::Message() << count << " panes from " << a.left << ", " << a.top);
      const std::vector<PaneRect> panes = Panes(a, count);
      ASSERT_EQ(panes.size(), static_cast<size_t>(count));
      for (const PaneRect& p : panes) {
        EXPECT_GE(p.width, 0);
        EXPECT_GE(p.height, 0);
        EXPECT_GE(p.x, a.left);
        EXPECT_GE(p.y, a.top);
        if (a.right >= a.left) {
          EXPECT_LE(int64_t{p.x} + p.width, a.right);
        }
        if (a.bottom >= a.top) {
          EXPECT_LE(int64_t{p.y} + p.height, a.bottom);
        }
      }
    }
  }
}

}  // namespace
