#include "harlen/link/controls/sched_grid_ctrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <algorithm>

#include "harlen/link/controls/colour.h"
#include "harlen/link/controls/row_height_delegate.h"
#include "platform/post_message.h"

CSchedGridCtrl::CSchedGridCtrl(QWidget* parent) : QTreeWidget(parent), m_pDelegate(new RowHeightDelegate(this)) {
  SetUpOwnerDrawnList(*this, m_pDelegate);
  setFont(QFont(QStringLiteral("宋体")));
  viewport()->setMouseTracking(true);
}

void CSchedGridCtrl::SetColumns(const QStringList& titles, const std::vector<int>& widths) {
  setColumnCount(static_cast<int>(titles.size()));
  setHeaderLabels(titles);
  for (int i = 0; i < static_cast<int>(widths.size()) && i < columnCount(); ++i) setColumnWidth(i, widths[i]);
  m_model.Resize(topLevelItemCount(), columnCount());
}

int CSchedGridCtrl::InsertRow(const QString& label) {
  auto* item = new QTreeWidgetItem(this);
  item->setText(0, label);
  m_model.Resize(topLevelItemCount(), columnCount());
  return topLevelItemCount() - 1;
}

void CSchedGridCtrl::SetRowHeight(int height) {
  m_pDelegate->SetRowHeight(height);
  doItemsLayout();
}

void CSchedGridCtrl::SetCell(int row, int column, int32_t value) {
  m_model.SetCell(row, column, value);
  viewport()->update(CellRect(row, column));
}

bool CSchedGridCtrl::HitCell(const QPoint& point, int& row, int& column) const {
  const QTreeWidgetItem* item = itemAt(point);
  if (item == nullptr) return false;
  row = indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
  column = columnAt(point.x());
  return row >= 0 && row < m_model.Rows() && column >= 0 && column < m_model.Columns();
}

QRect CSchedGridCtrl::CellRect(int row, int column) const {
  QTreeWidgetItem* item = topLevelItem(row);
  if (item == nullptr || column < 0 || column >= columnCount()) return QRect();
  const QRect line = visualItemRect(item);
  return QRect(columnViewportPosition(column), line.top(), columnWidth(column), line.height());
}

void CSchedGridCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const int row = index.row();
  const COLORREF background = FromQColor(palette().color(QPalette::Base));
  const QColor lines = palette().color(QPalette::Mid);
  painter->save();
  painter->setFont(font());
  for (int column = 0; column < columnCount(); ++column) {
    QRect cell(columnViewportPosition(column), option.rect.top(), columnWidth(column), option.rect.height());
    if (column == 0) cell.setLeft(cell.left() - 2);
    const int32_t value = column == 0 ? 0 : m_model.Cell(row, column);
    painter->fillRect(cell, ToQColor(SchedCellColour(value, background)));
    painter->setPen(lines);
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    painter->setPen(palette().color(QPalette::Text));
    painter->drawText(cell, Qt::AlignCenter, index.siblingAtColumn(column).data().toString());
    if (hasFocus() && row == m_nCurRow && column == m_nCurCol) {
      painter->setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
      painter->drawRect(cell.adjusted(1, 1, -2, -2));
    }
  }
  painter->restore();
}

void CSchedGridCtrl::ToggleCell(int row, int column) {
  if (m_model.Toggle(row, column, m_nPaintValue)) {
    viewport()->update(CellRect(row, column));
    NotifyChanged();
  }
}

void CSchedGridCtrl::SetCurrent(int row, int column) {
  const QRect old = CellRect(m_nCurRow, m_nCurCol);
  m_nCurRow = row;
  m_nCurCol = column;
  viewport()->update(old);
  viewport()->update(CellRect(row, column));
}

void CSchedGridCtrl::NotifyChanged() {
  if (m_hNotifyWnd != nullptr) PostMessage(m_hNotifyWnd, WM_SCHEDULE_CHANGED, 0, 0);
}

void CSchedGridCtrl::OnMouseLeave() {
  m_bLeftDrag = false;
  m_bRightDrag = false;
  if (m_pBand != nullptr) m_pBand->hide();
  m_bLeftWindow = true;
  NotifyChanged();
}

void CSchedGridCtrl::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const QPoint point = event->position().toPoint();
  int row = -1, column = -1;
  const bool onCell = HitCell(point, row, column);
  if (event->button() == Qt::LeftButton) {
    m_bLeftDrag = true;
    m_bLeftMoved = false;
    m_bLeftWindow = false;
    m_nPressRow = onCell ? row : -1;
    m_nPressCol = onCell ? column : -1;
  } else if (event->button() == Qt::RightButton && onCell) {
    m_bRightDrag = true;
    m_nAnchorRow = row;
    m_nAnchorCol = column;
    m_ptAnchor = point;
    m_ptBandEnd = point;
    if (m_pBand == nullptr) m_pBand = new QRubberBand(QRubberBand::Rectangle, viewport());
    m_pBand->setGeometry(QRect(m_ptAnchor, m_ptBandEnd).normalized());
    m_pBand->show();
  }
  event->accept();
}

void CSchedGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CSchedGridCtrl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (!viewport()->rect().contains(point)) {
    if (event->buttons() != Qt::NoButton && !m_bLeftWindow) OnMouseLeave();
    return;
  }
  if (m_bRightDrag && (event->buttons() & Qt::RightButton)) {
    m_ptBandEnd = point;
    m_pBand->setGeometry(QRect(m_ptAnchor, m_ptBandEnd).normalized());
    return;
  }
  if (!(event->buttons() & Qt::LeftButton)) return;
  int row = -1, column = -1;
  if (!HitCell(point, row, column) || (row == m_nCurRow && column == m_nCurCol)) return;
  SetCurrent(row, column);
  m_bLeftMoved = true;
  ToggleCell(row, column);
}

void CSchedGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  int row = -1, column = -1;
  const bool onCell = viewport()->rect().contains(point) && HitCell(point, row, column);
  if (event->button() == Qt::LeftButton) {
    if (m_bLeftDrag && !m_bLeftMoved && onCell && row == m_nPressRow && column == m_nPressCol) {
      SetCurrent(row, column);
      ToggleCell(row, column);  // the click
    }
    m_bLeftDrag = false;
    SetCurrent(-1, -1);
  } else if (event->button() == Qt::RightButton) {
    if (m_pBand != nullptr) m_pBand->hide();
    if (m_bRightDrag && onCell && m_model.FillBand(m_nAnchorRow, m_nAnchorCol, row, column, m_nPaintValue)) {
      viewport()->update();
      NotifyChanged();
    }
    m_bRightDrag = false;
  }
  event->accept();
}

bool CSchedGridCtrl::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Leave && !m_bLeftWindow) {
    OnMouseLeave();
  } else if (event->type() == QEvent::Enter) {
    m_bLeftWindow = false;
  }
  return QTreeWidget::viewportEvent(event);
}

void CSchedGridCtrl::keyPressEvent(QKeyEvent* event) {
  const int lastRow = m_model.Rows() - 1;
  const int lastCol = m_model.Columns() - 1;
  if (lastRow < 0 || lastCol < 0) {
    event->ignore();
    return;
  }
  int row = std::max(m_nCurRow, 0);
  int column = std::max(m_nCurCol, 0);
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Up: row = std::max(row - 1, 0); break;
    case Qt::Key_Down: row = std::min(row + 1, lastRow); break;
    case Qt::Key_Left: column = std::max(column - 1, 0); break;
    case Qt::Key_Right: column = std::min(column + 1, lastCol); break;
    case Qt::Key_PageUp: row = 0; break;
    case Qt::Key_PageDown: row = lastRow; break;
    case Qt::Key_Home:
      column = 0;
      if (ctrl) row = 0;
      break;
    case Qt::Key_End:
      column = lastCol;
      if (ctrl) row = lastRow;
      break;
    default:
      QTreeWidget::keyPressEvent(event);
      return;
  }
  SetCurrent(row, column);
  if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) setCurrentItem(topLevelItem(row));
  event->accept();
}
