// CTableListCtrl: a report list drawn by itself with one selected row.
//
// Every cell is filled, RGB(215, 129, 190) on the selected row and RGB(32,
// 109, 223) on the others, with its text centred. A click selects a row, a
// drag with the left button moves the selection along, and the keys move it:
// up and down by one (clamped), Page Up / Page Down to the first / last row,
// Ctrl+Home / Ctrl+End too; Home and End give the selected row the focus.
#pragma once

#include <QTreeWidget>
#include <functional>

#include "platform/win_types.h"

class RowHeightDelegate;

constexpr COLORREF kTableRowColour = RGB(32, 109, 223);
constexpr COLORREF kTableSelectedColour = RGB(215, 129, 190);

class CTableListCtrl : public QTreeWidget {
 public:
  explicit CTableListCtrl(QWidget* parent = nullptr);

  int GetSelectedRow() const { return m_nSelectItem; }
  void SetSelectedRow(int row);  // -1: none; clamped to the rows otherwise
  void SetRowHeight(int height);
  void SetSelChangedHandler(std::function<void(int row)> handler) { m_onSelChanged = std::move(handler); }
  bool IsDragging() const { return m_bDragging; }

 protected:
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  int RowAt(const QPoint& point) const;
  void InvalidateRow(int row);

  int m_nSelectItem = -1;
  bool m_bDragging = false;
  RowHeightDelegate* m_pDelegate;
  std::function<void(int)> m_onSelChanged;
};
