// The schedule grid: the runs rule, the band, and what the mouse and keys do
// on the widget, including the messages its notify window receives.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include "harlen/link/controls/sched_grid_ctrl.h"
#include "harlen/link/controls/sched_grid_model.h"
#include "platform/wnd.h"

namespace {

// A row of 24 hours (columns 1 to 24) from a text: '.' is 0, digits are values.
std::vector<int32_t> Row(const std::string& hours) {
  std::vector<int32_t> row(25, 0);
  for (size_t i = 0; i < hours.size() && i < 24; ++i) row[i + 1] = hours[i] == '.' ? 0 : hours[i] - '0';
  return row;
}

SchedGridModel ModelWithRow(const std::string& hours) {
  SchedGridModel model;
  model.Resize(8, 25);
  const auto row = Row(hours);
  for (int c = 0; c < 25; ++c) model.SetCell(0, c, row[static_cast<size_t>(c)]);
  return model;
}

// Counts WM_SCHEDULE_CHANGED.
class NotifyWindow : public QWidget, public CWnd {
 public:
  NotifyWindow() : CWnd(this) {}
  LRESULT OnMessage(UINT msg, WPARAM, LPARAM) override {
    if (msg == WM_SCHEDULE_CHANGED) ++changes;
    return 0;
  }
  int changes = 0;
};

class SchedGridWidget : public ::testing::Test {
 protected:
  void SetUp() override {
    QStringList titles{QStringLiteral("      天/时")};
    std::vector<int> widths{80};
    for (int h = 0; h < 24; ++h) {
      titles << QString::number(h);
      widths.push_back(29);
    }
    grid.SetColumns(titles, widths);
    for (int r = 0; r < 8; ++r) grid.InsertRow(QStringLiteral("day %1").arg(r));
    grid.SetRowHeight(19);
    grid.SetPaintValue(2);
    grid.SetNotifyWindow(notify.GetSafeHwnd());
    grid.resize(80 + 24 * 29 + 10, 240);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  }

  QPoint Centre(int row, int column) const { return grid.CellRect(row, column).center(); }

  void Mouse(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at) {
    QMouseEvent event(type, at, grid.viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &event);
  }
  void Click(int row, int column) {
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Centre(row, column));
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Centre(row, column));
  }
  void Band(Qt::MouseButton button, QPoint from, QPoint to) {
    Mouse(QEvent::MouseButtonPress, button, button, from);
    Mouse(QEvent::MouseMove, Qt::NoButton, button, to);
    Mouse(QEvent::MouseButtonRelease, button, Qt::NoButton, to);
  }
  int Changes() {
    QApplication::processEvents();
    return notify.changes;
  }

  NotifyWindow notify;
  CSchedGridCtrl grid;
};

}  // namespace

TEST(SchedGridModel, RunsStartAtEachNewValue) {
  struct Case {
    const char* hours;
    int runs;
  } cases[] = {
      {"", 0},
      {"1111", 1},
      {"1.1.1", 3},
      {"112233", 3},  // a change of value starts a run without a gap
      {"1.2.3.4.5.1.2.3", 8},
      {"........................", 0},
      {"555555555555555555555555", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ModelWithRow(c.hours).CountRuns(0), c.runs) << c.hours;
}

TEST(SchedGridModel, ToggleFollowsTheRunsRule) {
  struct Case {
    const char* hours;
    int column;
    int32_t after;
  } cases[] = {
      {"", 5, 4},                     // an empty cell takes the paint value
      {"3", 1, 0},                    // a painted cell clears, whatever the paint value
      {"1.2.3.4.5.1.2", 20, 4},       // seven runs: one more is allowed
      {"1.2.3.4.5.1.2.3", 20, 0},     // eight runs: no new cell
      {"1.2.3.4.5.1.2.3", 3, 0},      // but a painted cell still clears
  };
  for (const Case& c : cases) {
    SchedGridModel model = ModelWithRow(c.hours);
    model.Toggle(0, c.column, 4);
    EXPECT_EQ(model.Cell(0, c.column), c.after) << c.hours << " column " << c.column;
  }
  SchedGridModel model = ModelWithRow("");
  EXPECT_FALSE(model.Toggle(0, 0, 4)) << "the label column is no cell";
  EXPECT_EQ(model.Cell(0, 0), 0);
}

TEST(SchedGridModel, BandFillsDownAndRightOnlyWithoutTheRunsRule) {
  SchedGridModel model = ModelWithRow("1.2.3.4.5.1.2.3");
  EXPECT_TRUE(model.FillBand(0, 0, 1, 24, 5));  // from the label column: the cells of two whole rows
  EXPECT_EQ(model.Cell(0, 0), 0);
  for (int c = 1; c <= 24; ++c) ASSERT_EQ(model.Cell(0, c), 5) << c;
  EXPECT_EQ(model.Cell(2, 1), 0);

  SchedGridModel other = ModelWithRow("");
  EXPECT_FALSE(other.FillBand(0, 11, 0, 6, 1)) << "hour 10 back to hour 5";
  EXPECT_FALSE(other.FillBand(3, 5, 1, 9, 1)) << "upwards";
  for (int c = 1; c <= 24; ++c) ASSERT_EQ(other.Cell(0, c), 0);
}

TEST(SchedGridModel, LegendColours) {
  const COLORREF back = RGB(1, 2, 3);
  EXPECT_EQ(SchedCellColour(0, back), back);
  EXPECT_EQ(SchedCellColour(1, back), RGB(32, 109, 223));
  EXPECT_EQ(SchedCellColour(2, back), RGB(213, 205, 98));
  EXPECT_EQ(SchedCellColour(3, back), RGB(180, 75, 29));
  EXPECT_EQ(SchedCellColour(4, back), RGB(172, 219, 245));
  EXPECT_EQ(SchedCellColour(5, back), RGB(215, 129, 190));
  EXPECT_EQ(SchedCellColour(6, back), back);
}

TEST_F(SchedGridWidget, ClickPaintsAndClearsAndTellsTheNotifyWindow) {
  Click(2, 5);
  EXPECT_EQ(grid.GetCell(2, 5), 2);
  EXPECT_EQ(Changes(), 1);
  grid.SetPaintValue(3);
  Click(2, 5);
  EXPECT_EQ(grid.GetCell(2, 5), 0) << "a painted cell clears whatever the paint value";
  EXPECT_EQ(Changes(), 2);
  EXPECT_EQ(grid.GetCurRow(), -1) << "the button's release ends the current cell";
}

TEST_F(SchedGridWidget, ClickOnARowOfEightRunsAddsNothingButABandStillFills) {
  for (int c = 1; c <= 15; c += 2) grid.SetCell(1, c, 1);  // eight runs
  Click(1, 20);
  EXPECT_EQ(grid.GetCell(1, 20), 0);
  EXPECT_EQ(Changes(), 0);
  Band(Qt::RightButton, Centre(1, 18), Centre(1, 22));
  for (int c = 18; c <= 22; ++c) EXPECT_EQ(grid.GetCell(1, c), 2) << c;
  EXPECT_EQ(Changes(), 1);
}

TEST_F(SchedGridWidget, LeftDragTogglesEveryCellItEntersOnce) {
  grid.SetCell(0, 4, 5);
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Centre(0, 2));
  for (int c = 2; c <= 6; ++c) {
    Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Centre(0, c));
    Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Centre(0, c) + QPoint(2, 1));  // within the cell
  }
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Centre(0, 6));
  EXPECT_EQ(grid.GetCell(0, 2), 2);
  EXPECT_EQ(grid.GetCell(0, 3), 2);
  EXPECT_EQ(grid.GetCell(0, 4), 0) << "the painted cell on the way cleared";
  EXPECT_EQ(grid.GetCell(0, 5), 2);
  EXPECT_EQ(grid.GetCell(0, 6), 2) << "the release after a drag is no second click";
}

TEST_F(SchedGridWidget, BandUpOrLeftChangesNothing) {
  Band(Qt::RightButton, Centre(3, 11), Centre(3, 6));  // hour 10 back to hour 5
  Band(Qt::RightButton, Centre(4, 6), Centre(2, 9));
  for (int r = 0; r < 8; ++r) {
    for (int c = 0; c < 25; ++c) ASSERT_EQ(grid.GetCell(r, c), 0) << r << "," << c;
  }
  EXPECT_EQ(Changes(), 0);
}

TEST_F(SchedGridWidget, LeavingTheGridPostsOneChange) {
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(grid.viewport(), &leave);
  EXPECT_EQ(Changes(), 1);
  // Held button dragged out: one message for the leave, none for the release outside.
  Mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, Centre(0, 1));
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Centre(0, 1) + QPoint(1, 0));
  const QPoint outside(-20, -20);
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, outside);
  Mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, outside - QPoint(5, 5));
  Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, outside);
  QApplication::sendEvent(grid.viewport(), &leave);
  EXPECT_EQ(grid.GetCell(0, 1), 2) << "the cell entered before leaving";
  EXPECT_EQ(Changes(), 1 + 1 + 1) << "leave, the toggle, and one leave for the drag out";
}

TEST_F(SchedGridWidget, KeysMoveTheCurrentCellWithinTheGrid) {
  grid.setFocus();
  struct Step {
    int key;
    Qt::KeyboardModifiers mods;
    int row, column;
  } steps[] = {
      {Qt::Key_Up, Qt::NoModifier, 0, 0},       {Qt::Key_Left, Qt::NoModifier, 0, 0},
      {Qt::Key_Right, Qt::NoModifier, 0, 1},    {Qt::Key_Down, Qt::NoModifier, 1, 1},
      {Qt::Key_PageDown, Qt::NoModifier, 7, 1}, {Qt::Key_Down, Qt::NoModifier, 7, 1},
      {Qt::Key_End, Qt::NoModifier, 7, 24},     {Qt::Key_Right, Qt::NoModifier, 7, 24},
      {Qt::Key_PageUp, Qt::NoModifier, 0, 24},  {Qt::Key_End, Qt::ControlModifier, 7, 24},
      {Qt::Key_Home, Qt::ControlModifier, 0, 0}, {Qt::Key_Home, Qt::NoModifier, 0, 0},
  };
  for (const Step& s : steps) {
    QTest::keyClick(&grid, static_cast<Qt::Key>(s.key), s.mods);
    EXPECT_EQ(grid.GetCurRow(), s.row) << s.key;
    EXPECT_EQ(grid.GetCurCol(), s.column) << s.key;
  }
  for (int c = 0; c < 25; ++c) ASSERT_EQ(grid.GetCell(0, c), 0) << "keys paint nothing";
}

TEST_F(SchedGridWidget, CellsShowTheirValuesColour) {
  grid.SetCell(0, 1, 1);
  grid.SetCell(0, 2, 3);
  grid.SetCell(0, 3, 5);
  const QImage image = grid.viewport()->grab().toImage();
  EXPECT_EQ(image.pixelColor(grid.CellRect(0, 1).topLeft() + QPoint(3, 3)), QColor(32, 109, 223));
  EXPECT_EQ(image.pixelColor(grid.CellRect(0, 2).topLeft() + QPoint(3, 3)), QColor(180, 75, 29));
  EXPECT_EQ(image.pixelColor(grid.CellRect(0, 3).topLeft() + QPoint(3, 3)), QColor(215, 129, 190));
  EXPECT_EQ(image.pixelColor(grid.CellRect(0, 4).topLeft() + QPoint(3, 3)), grid.palette().color(QPalette::Base));
}
