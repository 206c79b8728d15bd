#include "ui/sort_list_ctrl.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

#include "platform/codepage.h"
#include "platform/post_message.h"
#include "platform/wnd.h"
#include "ui/list_compare.h"
#include "ui/sys_colors.h"

namespace {

UINT MouseMessage(Qt::MouseButton button, bool doubleClick) {
  switch (button) {
    case Qt::RightButton:
      return doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    case Qt::MiddleButton:
      return doubleClick ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
    default:
      return doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
  }
}

}  // namespace

CSortListCtrl::CSortListCtrl(QWidget* parent) : QTableView(parent) {
  setModel(&m_model);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
  setShowGrid(false);
  setWordWrap(false);
  setSortingEnabled(false);  // sorting is ours, on the header click
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, ToQColor(GetSysColor(COLOR_WINDOW)));
  pal.setColor(QPalette::Text, ToQColor(GetSysColor(COLOR_WINDOWTEXT)));
  setPalette(pal);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) { OnColumnClick(column); });
}

CSortListCtrl::~CSortListCtrl() = default;

LRESULT CSortListCtrl::NotifyParent(UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* owner = dynamic_cast<CWnd*>(parentWidget());
  return owner ? SendMessage(owner->GetSafeHwnd(), msg, wParam, lParam) : 0;
}

// ---- set-up ---------------------------------------------------------------

BOOL CSortListCtrl::SetColumnHeader(const CString& headerText) {
  DeleteAllItems(RLS_ALL);
  DeleteAllColumns();
  EndEdit(TRUE);
  BOOL added = FALSE;
  for (const ReportColumn& column : ParseColumnHeader(headerText)) {
    if (InsertColumn(GetColumnCount(), column.title, column.align, column.width, -1) >= 0) added = TRUE;
  }
  return added;
}

void CSortListCtrl::SetGridLines(BOOL on) {
  m_dwExStyle = on ? (m_dwExStyle | LVS_EX_GRIDLINES) : (m_dwExStyle & ~LVS_EX_GRIDLINES);
  setShowGrid(on != FALSE);
}

void CSortListCtrl::SetCheckboxes(int mode) {
  m_nCheckMode = mode;
  EndEdit(TRUE);
  m_dwExStyle = mode ? (m_dwExStyle | LVS_EX_CHECKBOXES) : (m_dwExStyle & ~LVS_EX_CHECKBOXES);
  m_model.SetCheckboxesShown(mode != 0);
}

void CSortListCtrl::SetEditable(BOOL on) {
  if (!on) EndEdit(TRUE);
  m_bEditable = on;
}

void CSortListCtrl::SetImageList(std::vector<QPixmap> rowImages) { m_model.SetRowImages(std::move(rowImages)); }

// ---- rows -----------------------------------------------------------------

void CSortListCtrl::ResetSortState() {
  m_nSortColumn = -1;
  m_bSortAscending = TRUE;
}

int CSortListCtrl::InsertItem(int index, const CString& text) { return InsertImageItem(index, text, -1); }

int CSortListCtrl::InsertImageItem(int index, const CString& text, int image) {
  EndEdit(TRUE);
  ResetSortState();
  if (index < 0) return -1;
  return m_model.InsertRow(index, text, image, 0);
}

BOOL CSortListCtrl::SetItemText(int row, int column, const CString& text) {
  EndEdit(TRUE);
  ResetSortState();
  if (!m_model.IsRow(row) || !m_model.IsColumn(column)) return FALSE;
  m_model.SetText(row, column, text);
  return TRUE;
}

CString CSortListCtrl::GetItemText(int row, int column) const { return m_model.Text(row, column); }

BOOL CSortListCtrl::SetItemShownText(int row, const QString& text) {
  if (!m_model.IsRow(row)) return FALSE;
  m_model.SetShown(row, text);
  return TRUE;
}

BOOL CSortListCtrl::DeleteItem(int row, BOOL selectNext) {
  EndEdit(row == m_nEditRow ? FALSE : TRUE);
  if (!m_model.IsRow(row)) return FALSE;
  if (selectNext && m_model.IsRow(row + 1)) SetItemStates(row + 1, RLS_SELECTED);
  m_model.RemoveRow(row);
  return TRUE;
}

int CSortListCtrl::GetItemCount(DWORD states) const {
  if (states == RLS_ALL) return m_model.Rows();
  int count = 0;
  for (int row = 0; row < m_model.Rows(); ++row) count += RowHasStates(row, states) ? 1 : 0;
  return count;
}

BOOL CSortListCtrl::SetCheck(int row, BOOL checked) {
  if (!m_model.IsRow(row)) return FALSE;
  m_model.SetChecked(row, checked != FALSE);
  return TRUE;
}

BOOL CSortListCtrl::GetCheck(int row) const { return m_model.IsRow(row) && m_model.Row(row).checked ? TRUE : FALSE; }

BOOL CSortListCtrl::SetItemData(int row, DWORD data) {
  ReportRowInfo* record = m_model.Record(row);
  if (!record) return FALSE;
  record->dwData = data;
  return TRUE;
}

DWORD CSortListCtrl::GetItemData(int row) const {
  ReportRowInfo* record = m_model.Record(row);
  return record ? record->dwData : 0;
}

void CSortListCtrl::ForEachCell(int row, int column, const std::function<void(int, int)>& fn) {
  int firstRow = m_model.IsRow(row) ? row : 0, lastRow = m_model.IsRow(row) ? row : m_model.Rows() - 1;
  int firstCol = m_model.IsColumn(column) ? column : 0;
  int lastCol = m_model.IsColumn(column) ? column : m_model.Columns() - 1;
  for (int r = firstRow; r <= lastRow; ++r) {
    for (int c = firstCol; c <= lastCol; ++c) fn(r, c);
  }
}

void CSortListCtrl::SetItemTextColor(int row, int column, COLORREF colour, BOOL) {
  if (colour == static_cast<COLORREF>(-1)) colour = GetSysColor(COLOR_WINDOWTEXT);
  ForEachCell(row, column, [&](int r, int c) { m_model.SetTextColor(r, c, colour); });
}

void CSortListCtrl::SetItemBkColor(int row, int column, COLORREF colour, BOOL) {
  if (colour == static_cast<COLORREF>(-1)) colour = GetSysColor(COLOR_WINDOW);
  ForEachCell(row, column, [&](int r, int c) { m_model.SetBackColor(r, c, colour); });
}

void CSortListCtrl::EnsureVisible(int row) {
  if (m_model.IsRow(row)) scrollTo(m_model.index(row, 0));
}

int CSortListCtrl::DeleteAllItems(DWORD states) {
  EndEdit(FALSE);
  setUpdatesEnabled(false);
  int deleted = 0;
  if (states & RLS_ALL) {
    deleted = m_model.Rows();
    m_model.RemoveAllRows();
  } else {
    for (int row = m_model.Rows() - 1; row >= 0; --row) {
      if (RowHasStates(row, states) && DeleteItem(row, FALSE)) ++deleted;
    }
  }
  setUpdatesEnabled(true);
  return deleted;
}

// ---- columns --------------------------------------------------------------

BOOL CSortListCtrl::DeleteAllColumns() {
  while (GetColumnCount() > 0) DeleteColumn(0);
  return TRUE;
}

int CSortListCtrl::InsertColumn(int index, const CString& title, ColumnAlign format, int width, int) {
  EndEdit(TRUE);
  if (index < 0) return -1;
  int column = m_model.InsertColumn(index, ReportColumn{title, width, format});
  setColumnWidth(column, std::max(0, width));
  return column;
}

BOOL CSortListCtrl::DeleteColumn(int column) {
  EndEdit(TRUE);
  if (!m_model.IsColumn(column)) return FALSE;
  m_model.RemoveColumn(column);
  return TRUE;
}

// ---- states ---------------------------------------------------------------

DWORD CSortListCtrl::GetItemStates(int row) const {
  if (!m_model.IsRow(row)) return 0;
  QModelIndex index = m_model.index(row, 0);
  DWORD states = selectionModel()->isRowSelected(row, QModelIndex()) ? RLS_SELECTED : RLS_UNSELECTED;
  states |= m_model.Row(row).checked ? RLS_CHECKED : RLS_UNCHECKED;
  states |= currentIndex().isValid() && currentIndex().row() == index.row() ? RLS_FOCUSED : RLS_UNFOCUSED;
  return states;
}

bool CSortListCtrl::RowHasStates(int row, DWORD states) const {
  if (!m_model.IsRow(row)) return false;
  if (states & RLS_ALL) return true;
  return (GetItemStates(row) & states) == states;
}

BOOL CSortListCtrl::SetItemStates(int row, DWORD states) {
  if (!states) return FALSE;
  if (!m_model.IsRow(row)) return FALSE;
  QModelIndex index = m_model.index(row, 0);
  QItemSelectionModel* selection = selectionModel();
  auto rows = QItemSelectionModel::Rows;
  if (states & RLS_SELECTED) selection->select(index, QItemSelectionModel::Select | rows);
  if (states & RLS_UNSELECTED) selection->select(index, QItemSelectionModel::Deselect | rows);
  if (states & RLS_CHECKED) m_model.SetChecked(row, true);
  if (states & RLS_UNCHECKED) m_model.SetChecked(row, false);
  if (states & RLS_FOCUSED) selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  if ((states & RLS_UNFOCUSED) && currentIndex().isValid() && currentIndex().row() == row) {
    selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
  return TRUE;
}

int CSortListCtrl::SetAllItemStates(DWORD filter, DWORD states) {
  if (!filter || !states) return 0;
  int changed = 0;
  for (int row = 0; row < m_model.Rows(); ++row) {
    if (RowHasStates(row, filter) && SetItemStates(row, states)) ++changed;
  }
  return changed;
}

void CSortListCtrl::UnselectAll() { selectionModel()->clearSelection(); }

void CSortListCtrl::SelectAndFocus(int row) {
  QModelIndex index = m_model.index(row, 0);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// ---- sorting --------------------------------------------------------------

int CSortListCtrl::CompareItems(int row1, int row2) const {
  return listcompare::CompareTexts(m_model.Text(row1, m_nSortColumn), m_model.Text(row2, m_nSortColumn));
}

void CSortListCtrl::OnColumnClick(int column) {
  if (!m_bSortOnClick) return;
  BOOL ascending = column == m_nSortColumn ? !m_bSortAscending : TRUE;
  SortItems(column, ascending);
}

BOOL CSortListCtrl::SortItems(int column, BOOL ascending) {
  EndEdit(TRUE);
  if (column < 0 || column >= GetColumnCount() || !horizontalHeader() || !horizontalHeader()->sectionsClickable()) {
    return FALSE;
  }
  m_nSortColumn = column;
  m_bSortAscending = ascending ? TRUE : FALSE;
  int count = m_model.Rows();
  std::vector<int> order(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
  if (count > 1) {
    listcompare::QuickSortRows(order, 0, count - 1, m_bSortAscending != FALSE,
                               [this](int a, int b) { return CompareItems(a, b); });
  }
  // Snapshot every row in sorted order (states and content), then write it
  // back row by row from row 0.
  std::vector<DWORD> states;
  std::vector<ReportRow> rows;
  for (int row : order) {
    states.push_back(GetItemStates(row));
    rows.push_back(m_model.Row(row));
  }
  for (int i = 0; i < count; ++i) {
    DWORD s = states[static_cast<size_t>(i)];
    m_model.SetRow(i, rows[static_cast<size_t>(i)]);
    // Each state as the opposite bit of the pair where it is not set.
    SetItemStates(i, s & (RLS_SELECTED | RLS_UNSELECTED | RLS_CHECKED | RLS_UNCHECKED));
  }
  for (int i = 0; i < count; ++i) {
    if (states[static_cast<size_t>(i)] & RLS_FOCUSED) SetItemStates(i, RLS_FOCUSED);
  }
  NotifyParent(WM_REPORT_SORTED, static_cast<WPARAM>(column), m_bSortAscending ? 1 : 0);
  return TRUE;
}

// ---- in-place edit --------------------------------------------------------

bool CSortListCtrl::IsEditing() const {
  return m_bEditable && m_model.IsRow(m_nEditRow) && m_model.IsColumn(m_nEditColumn) && m_pEdit;
}

BOOL CSortListCtrl::StartEdit(int row, int column) {
  if (!m_bEditable || !m_model.IsRow(row) || !m_model.IsColumn(column)) return FALSE;
  if (IsEditing() && row == m_nEditRow && column == m_nEditColumn) return TRUE;
  EndEdit(TRUE);
  m_nEditRow = row;
  m_nEditColumn = column;
  UnselectAll();
  SelectAndFocus(row);

  if (!m_pEdit) {
    m_pEdit = new QLineEdit(viewport());
    m_pEdit->setFrame(true);
    m_pEdit->installEventFilter(this);
  }
  switch (m_model.Column(column).align) {
    case ColumnAlign::Center:
      m_pEdit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
      break;
    case ColumnAlign::Right:
      m_pEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      break;
    default:
      m_pEdit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      break;
  }
  m_pEdit->setFont(font());
  QModelIndex index = m_model.index(row, column);
  scrollTo(index);
  QRect cell = visualRect(index);
  if (column != 0 && m_model.HasRowImages() && m_model.Row(row).images[static_cast<size_t>(column)] >= 0) {
    cell.setLeft(cell.left() + 16);
  }
  m_pEdit->setGeometry(cell);
  m_pEdit->setText(codepage::ToQString(m_model.Text(row, column)));
  m_pEdit->show();
  m_pEdit->selectAll();
  m_pEdit->setFocus();
  return TRUE;
}

BOOL CSortListCtrl::EndEdit(BOOL commit) {
  if (!IsEditing()) return FALSE;
  CString typed = codepage::FromQString(m_pEdit->text());
  int row = m_nEditRow, column = m_nEditColumn;
  BOOL changed = commit && typed != m_model.Text(row, column) ? TRUE : FALSE;
  m_nEditRow = -1;
  m_nEditColumn = -1;
  bool hadFocus = m_pEdit->hasFocus();
  m_pEdit->hide();
  // A committed edit keeps the typed text in its cell.
  if (changed) m_model.SetText(row, column, typed);
  if (hadFocus) setFocus();
  return changed;
}

bool CSortListCtrl::OnEditKey(int key) {
  int row = m_nEditRow, column = m_nEditColumn;
  switch (key) {
    case Qt::Key_Tab: {
      EndEdit(TRUE);
      int next = column + 1 < GetColumnCount() ? column + 1 : 0;
      StartEdit(row, next);
      return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      EndEdit(TRUE);
      return true;
    case Qt::Key_Escape:
      EndEdit(FALSE);
      return true;
    case Qt::Key_Up:
      if (row <= 0) return false;
      EndEdit(TRUE);
      StartEdit(row - 1, column);
      EnsureVisible(row - 1);
      return true;
    case Qt::Key_Down:
      if (row >= m_model.Rows() - 1) return false;
      EndEdit(TRUE);
      StartEdit(row + 1, column);
      EnsureVisible(row + 1);
      return true;
    default:
      return false;
  }
}

bool CSortListCtrl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pEdit && event->type() == QEvent::KeyPress && IsEditing()) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (OnEditKey(key->key())) return true;
  }
  return QTableView::eventFilter(watched, event);
}

void CSortListCtrl::keyPressEvent(QKeyEvent* event) {
  if (IsEditing() && OnEditKey(event->key())) return;
  // Check boxes never change by keyboard.
  if (!IsEditing() && event->key() == Qt::Key_Space) return;
  QTableView::keyPressEvent(event);
}

// ---- mouse ----------------------------------------------------------------

bool CSortListCtrl::HitCheckBox(const QModelIndex& index, const QPoint& pos) const {
  if (!index.isValid() || index.column() != 0 || !(m_dwExStyle & LVS_EX_CHECKBOXES)) return false;
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = visualRect(index);
  option.features |= QStyleOptionViewItem::HasCheckIndicator;
  QRect box = style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
  return box.adjusted(-2, -2, 2, 2).contains(pos);
}

bool CSortListCtrl::OnCheckChange(int row, bool oldCheck, bool newCheck, UINT message) {
  if (!m_model.IsRow(row) || m_nCheckMode == 0 || oldCheck == newCheck) return false;
  if (m_nCheckMode == 3) {
    m_model.SetChecked(row, oldCheck);
    return true;
  }
  if (m_nCheckMode == 1) {
    UnselectAll();
    SelectAndFocus(row);
    NotifyParent(WM_REPORT_CHECKCHANGED, static_cast<WPARAM>(row), static_cast<LPARAM>(message));
  }
  return true;
}

void CSortListCtrl::OnMouseDown(QMouseEvent* event, bool doubleClick) {
  bool editAllowed = event->button() == Qt::LeftButton;
  QPoint pos = event->position().toPoint();
  QModelIndex hit = indexAt(pos);
  int row = hit.isValid() ? hit.row() : -1;
  int column = hit.isValid() ? hit.column() : -1;

  bool oldCheck = GetCheck(row) != FALSE;
  bool wasEditing = IsEditing();
  bool wasSelectedFocused = editAllowed && row >= 0 &&
                            (GetItemStates(row) & (RLS_SELECTED | RLS_FOCUSED)) == (RLS_SELECTED | RLS_FOCUSED);
  EndEdit(TRUE);

  // The list's own handling: selection, and a click on the check box toggles it.
  bool onCheckBox = HitCheckBox(hit, pos);
  QTableView::mousePressEvent(event);
  if (doubleClick) QTableView::mouseDoubleClickEvent(event);
  if (onCheckBox) m_model.SetChecked(row, !oldCheck);

  bool newCheck = GetCheck(row) != FALSE;
  bool changed = OnCheckChange(row, oldCheck, newCheck, MouseMessage(event->button(), doubleClick));
  if (editAllowed && m_bEditable && !changed && !wasEditing && wasSelectedFocused && column == kEditColumn) {
    StartEdit(row, kEditColumn);
  }
}

void CSortListCtrl::mousePressEvent(QMouseEvent* event) { OnMouseDown(event, false); }

void CSortListCtrl::mouseDoubleClickEvent(QMouseEvent* event) { OnMouseDown(event, true); }
