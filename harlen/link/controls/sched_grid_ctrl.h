// CSchedGridCtrl: the schedule grid of the video, record and arming pages.
//
// A list whose rows are days and whose columns are a label column and then
// hours; each cell shows its schedule value as a colour (sched_grid_model.h).
// The owner sets the columns, the rows, the paint value and the notify window.
//
// Mouse: a left click toggles a cell (SchedGridModel::Toggle); moving with the
// left button held toggles every cell the mouse enters; a right-button drag
// draws a band and, released at or below and right of where it began, paints
// every cell inside with the paint value. After every change, and whenever the
// mouse leaves the grid, WM_SCHEDULE_CHANGED is posted to the notify window,
// which reads the cells back. Keys move the current cell.
#pragma once

#include <QPoint>
#include <QStringList>
#include <QTreeWidget>
#include <vector>

#include "harlen/link/controls/sched_grid_model.h"

class QRubberBand;
class RowHeightDelegate;

class CSchedGridCtrl : public QTreeWidget {
 public:
  explicit CSchedGridCtrl(QWidget* parent = nullptr);

  // Column titles (column 0 is the label column) and their widths in pixels.
  void SetColumns(const QStringList& titles, const std::vector<int>& widths);
  // Adds a row of empty cells with `label` in column 0: its index.
  int InsertRow(const QString& label);
  void SetRowHeight(int height);

  int GetRowCount() const { return m_model.Rows(); }
  int GetColumnCount() const { return m_model.Columns(); }
  int32_t GetCell(int row, int column) const { return m_model.Cell(row, column); }
  void SetCell(int row, int column, int32_t value);

  void SetPaintValue(int32_t value) { m_nPaintValue = value; }
  int32_t GetPaintValue() const { return m_nPaintValue; }
  void SetNotifyWindow(HWND hwnd) { m_hNotifyWnd = hwnd; }

  // The current cell (-1 when none).
  int GetCurRow() const { return m_nCurRow; }
  int GetCurCol() const { return m_nCurCol; }

  // The cell under a point of the list's viewport: false when there is none.
  bool HitCell(const QPoint& point, int& row, int& column) const;
  // A cell's rectangle in the viewport.
  QRect CellRect(int row, int column) const;

 protected:
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void ToggleCell(int row, int column);
  void SetCurrent(int row, int column);
  void NotifyChanged();
  void OnMouseLeave();

  SchedGridModel m_model;
  RowHeightDelegate* m_pDelegate;
  int m_nCurRow = -1;
  int m_nCurCol = -1;
  bool m_bLeftDrag = false;
  bool m_bLeftMoved = false;  // a left drag entered cells: its release is no click
  int m_nPressRow = -1;
  int m_nPressCol = -1;
  bool m_bRightDrag = false;
  int m_nAnchorRow = -1;
  int m_nAnchorCol = -1;
  QPoint m_ptAnchor;
  QPoint m_ptBandEnd;
  QRubberBand* m_pBand = nullptr;
  int32_t m_nPaintValue = 1;
  HWND m_hNotifyWnd = nullptr;
  bool m_bLeftWindow = false;
};
