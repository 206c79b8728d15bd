#include "harlen/link/controls/table_list_ctrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "harlen/link/controls/colour.h"
#include "harlen/link/controls/row_height_delegate.h"

CTableListCtrl::CTableListCtrl(QWidget* parent) : QTreeWidget(parent), m_pDelegate(new RowHeightDelegate(this)) {
  SetUpOwnerDrawnList(*this, m_pDelegate);
}

void CTableListCtrl::SetRowHeight(int height) {
  m_pDelegate->SetRowHeight(height);
  doItemsLayout();
}

void CTableListCtrl::SetSelectedRow(int row) {
  if (row >= 0) row = std::clamp(row, 0, topLevelItemCount() - 1);
  if (row == m_nSelectItem) return;
  const int old = m_nSelectItem;
  m_nSelectItem = row;
  InvalidateRow(old);
  InvalidateRow(row);
  if (m_onSelChanged) m_onSelChanged(row);
}

void CTableListCtrl::InvalidateRow(int row) {
  if (QTreeWidgetItem* item = topLevelItem(row)) {
    viewport()->update(visualItemRect(item).adjusted(-2, 0, 0, 0));
  }
}

int CTableListCtrl::RowAt(const QPoint& point) const {
  QTreeWidgetItem* item = itemAt(point);
  return item != nullptr ? indexOfTopLevelItem(item) : -1;
}

void CTableListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const COLORREF fill = index.row() == m_nSelectItem ? kTableSelectedColour : kTableRowColour;
  painter->save();
  for (int column = 0; column < columnCount(); ++column) {
    QRect cell(columnViewportPosition(column), option.rect.top(), columnWidth(column), option.rect.height());
    if (column == 0) cell.setLeft(cell.left() - 2);
    painter->fillRect(cell, ToQColor(fill));
    painter->setPen(Qt::white);
    painter->drawText(cell, Qt::AlignCenter, index.siblingAtColumn(column).data().toString());
  }
  painter->restore();
}

void CTableListCtrl::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() == Qt::LeftButton) {
    m_bDragging = true;
    const int row = RowAt(event->position().toPoint());
    if (row >= 0) SetSelectedRow(row);
  }
  event->accept();
}

void CTableListCtrl::mouseMoveEvent(QMouseEvent* event) {
  if (!m_bDragging || !(event->buttons() & Qt::LeftButton)) return;
  const int row = RowAt(event->position().toPoint());
  if (row >= 0) SetSelectedRow(row);
}

void CTableListCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_bDragging = false;
  event->accept();
}

bool CTableListCtrl::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Leave) m_bDragging = false;
  return QTreeWidget::viewportEvent(event);
}

void CTableListCtrl::keyPressEvent(QKeyEvent* event) {
  const int last = topLevelItemCount() - 1;
  if (last < 0) {
    event->ignore();
    return;
  }
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Up: SetSelectedRow(std::max(m_nSelectItem - 1, 0)); break;
    case Qt::Key_Down: SetSelectedRow(std::min(m_nSelectItem + 1, last)); break;
    case Qt::Key_PageUp: SetSelectedRow(0); break;
    case Qt::Key_PageDown: SetSelectedRow(last); break;
    case Qt::Key_Home:
    case Qt::Key_End:
      if (ctrl) SetSelectedRow(event->key() == Qt::Key_Home ? 0 : last);
      if (m_nSelectItem >= 0) setCurrentItem(topLevelItem(m_nSelectItem));
      break;
    default:
      QTreeWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}
