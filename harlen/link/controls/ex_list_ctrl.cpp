#include "harlen/link/controls/ex_list_ctrl.h"

#include <QKeyEvent>
#include <algorithm>
#include <QMouseEvent>

CListEdit::CListEdit(QWidget* parent, std::function<void()> onEnd) : QLineEdit(parent), m_onEnd(std::move(onEnd)) {}

void CListEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (m_onEnd) m_onEnd();
}

void CListEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();  // the dialog never sees it
    if (m_onEnd) m_onEnd();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

CExListCtrl::CExListCtrl(bool editLabels, QWidget* parent) : QTreeWidget(parent) {
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  if (editLabels) {
    m_bAllowEdit = true;
    m_nEditCol = 0;
  }
}

int CExListCtrl::InsertItem(int row, const QString& text) {
  row = std::clamp(row, 0, topLevelItemCount());
  auto* item = new QTreeWidgetItem();
  item->setText(0, text);
  insertTopLevelItem(row, item);
  return row;
}

QString CExListCtrl::GetItemText(int row, int column) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item != nullptr ? item->text(column) : QString();
}

void CExListCtrl::SetItemText(int row, int column, const QString& text) {
  if (QTreeWidgetItem* item = topLevelItem(row)) item->setText(column, text);
}

// The edit box goes before the list: its end-of-edit call reaches back into the list, which a focus
// change while Qt deletes the children would otherwise make after the list's own part is gone.
CExListCtrl::~CExListCtrl() { delete m_pEdit; }

bool CExListCtrl::MayEdit(int row, int column) const {
  if (!m_bAllowEdit || row < 0 || row >= topLevelItemCount() || column < 0 || column >= columnCount()) {
    return false;
  }
  if (m_nEditRow != -1 && row != m_nEditRow) return false;
  if (m_nEditCol != -1 && column != m_nEditCol) return false;
  return column != m_nNoEditCol;
}

bool CExListCtrl::BeginEdit(int row, int column) {
  EndEdit();
  if (!MayEdit(row, column)) return false;
  m_nCurRow = row;
  m_nCurCol = column;
  if (m_pEdit == nullptr) {
    m_pEdit = new CListEdit(viewport(), [this] { EndEdit(); });
    m_pEdit->setFont(font());
    m_pEdit->setFrame(true);
  }
  QTreeWidgetItem* item = topLevelItem(row);
  const QRect line = visualItemRect(item);
  const QRect cell(columnViewportPosition(column), line.top(), columnWidth(column), line.height());
  m_pEdit->setGeometry(cell.adjusted(0, -2, 0, 2));
  m_pEdit->setText(item->text(column));
  m_pEdit->selectAll();
  m_pEdit->show();
  m_pEdit->setFocus(Qt::OtherFocusReason);
  return true;
}

bool CExListCtrl::IsEditing() const { return m_pEdit != nullptr && !m_pEdit->isHidden(); }

void CExListCtrl::EndEdit() {
  if (!IsEditing() || m_bEnding) return;
  m_bEnding = true;
  m_pEdit->hide();
  QTreeWidgetItem* item = topLevelItem(m_nCurRow);
  const QString text = m_pEdit->text();
  if (item != nullptr && text != item->text(m_nCurCol)) {
    item->setText(m_nCurCol, text);
    if (m_onEdited) m_onEdited(m_nCurRow, m_nCurCol);
  }
  m_bEnding = false;
}

void CExListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  QTreeWidgetItem* item = itemAt(point);
  const int row = item != nullptr ? indexOfTopLevelItem(item) : -1;
  const int column = columnAt(point.x());
  m_nCurRow = row;
  m_nCurCol = column;
  if (!BeginEdit(row, column)) QTreeWidget::mouseDoubleClickEvent(event);
}

void CExListCtrl::mousePressEvent(QMouseEvent* event) {
  EndEdit();
  const QPoint point = event->position().toPoint();
  QTreeWidgetItem* item = itemAt(point);
  m_nCurRow = item != nullptr ? indexOfTopLevelItem(item) : -1;
  m_nCurCol = columnAt(point.x());
  QTreeWidget::mousePressEvent(event);
}

void CExListCtrl::wheelEvent(QWheelEvent* event) {
  EndEdit();
  QTreeWidget::wheelEvent(event);
}

void CExListCtrl::resizeEvent(QResizeEvent* event) {
  EndEdit();
  QTreeWidget::resizeEvent(event);
}

void CExListCtrl::scrollContentsBy(int dx, int dy) {
  EndEdit();
  QTreeWidget::scrollContentsBy(dx, dy);
}
