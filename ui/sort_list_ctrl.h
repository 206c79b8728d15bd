// CSortListCtrl: the list of the program's tabular dialogs, locked into report
// view. Set up from one column string; per-cell text and background colours;
// check-box modes (0 hidden, 1 a click changes the check and selects the row
// alone, 3 read-only); click-to-sort with the typed comparison of
// ui/list_compare.h; an in-place edit box on column 6 of an editable list.
// It notifies its parent window (a CWnd) with WM_REPORT_CHECKCHANGED and
// WM_REPORT_SORTED. Rows and columns count from 0. UI thread only.
#pragma once

#include <QTableView>
#include <functional>
#include <vector>

#include "platform/win_types.h"
#include "ui/report_model.h"

class QLineEdit;

enum : UINT {
  WM_REPORT_CHECKCHANGED = 0xA710,  // wParam row, lParam the mouse message
  WM_REPORT_SORTED = 0xA711,        // wParam column, lParam 1 ascending / 0 descending
};

enum : UINT {
  WM_LBUTTONDOWN = 0x201,
  WM_LBUTTONDBLCLK = 0x203,
  WM_RBUTTONDOWN = 0x204,
  WM_RBUTTONDBLCLK = 0x206,
  WM_MBUTTONDOWN = 0x207,
  WM_MBUTTONDBLCLK = 0x209,
};

// Row states, used as masks (a mask asks for all of its bits).
enum : DWORD {
  RLS_ALL = 1,
  RLS_SELECTED = 2,
  RLS_UNSELECTED = 4,
  RLS_CHECKED = 8,
  RLS_UNCHECKED = 16,
  RLS_FOCUSED = 32,
  RLS_UNFOCUSED = 64,
};

enum : DWORD {
  LVS_EX_GRIDLINES = 0x01,
  LVS_EX_SUBITEMIMAGES = 0x02,
  LVS_EX_CHECKBOXES = 0x04,
  LVS_EX_FULLROWSELECT = 0x20,
};

class CSortListCtrl : public QTableView {
 public:
  // The edit box opens on a click on this column only.
  static constexpr int kEditColumn = 6;

  explicit CSortListCtrl(QWidget* parent = nullptr);
  ~CSortListCtrl() override;

  BOOL m_bSortOnClick = FALSE;  // a header click sorts by that column

  BOOL SetColumnHeader(const CString& headerText);
  void SetGridLines(BOOL on);
  void SetCheckboxes(int mode);
  int GetCheckboxes() const { return m_nCheckMode; }
  void SetEditable(BOOL on);
  DWORD GetExtendedStyle() const { return m_dwExStyle; }

  int InsertItem(int index, const CString& text);
  int InsertImageItem(int index, const CString& text, int image);
  BOOL SetItemText(int row, int column, const CString& text);
  CString GetItemText(int row, int column) const;
  // Column 0 of `row` shows `text` while the item's text (what GetItemText
  // gives and sorting compares) stays; until the item's text is set again.
  BOOL SetItemShownText(int row, const QString& text);
  BOOL DeleteItem(int row, BOOL selectNext = FALSE);
  int GetItemCount(DWORD states = RLS_ALL) const;
  BOOL SetCheck(int row, BOOL checked = TRUE);
  BOOL GetCheck(int row) const;
  BOOL SetItemData(int row, DWORD data);
  DWORD GetItemData(int row) const;
  // colour (COLORREF)-1: the default text colour. A row outside 0..count-1
  // means every row, a column outside 0..columns-1 every column.
  void SetItemTextColor(int row, int column, COLORREF colour, BOOL redraw = TRUE);
  void SetItemBkColor(int row, int column, COLORREF colour, BOOL redraw = TRUE);
  void SetImageList(std::vector<QPixmap> rowImages);
  void EnsureVisible(int row);

  int DeleteAllItems(DWORD states = RLS_ALL);
  BOOL DeleteAllColumns();
  int InsertColumn(int index, const CString& title, ColumnAlign format, int width, int subItem = -1);
  BOOL DeleteColumn(int column);
  int GetColumnCount() const { return m_model.Columns(); }

  BOOL SortItems(int column, BOOL ascending);
  int GetSortColumn() const { return m_nSortColumn; }
  BOOL IsSortAscending() const { return m_bSortAscending; }

  BOOL StartEdit(int row, int column);
  BOOL EndEdit(BOOL commit);
  bool IsEditing() const;
  int GetEditRow() const { return m_nEditRow; }
  int GetEditColumn() const { return m_nEditColumn; }
  QLineEdit* GetEditBox() const { return m_pEdit; }

  DWORD GetItemStates(int row) const;
  BOOL SetItemStates(int row, DWORD states);
  int SetAllItemStates(DWORD filter, DWORD states);

  // The texts of two rows in the sort column, compared by the typed rules.
  int CompareItems(int row1, int row2) const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnMouseDown(QMouseEvent* event, bool doubleClick);
  bool OnCheckChange(int row, bool oldCheck, bool newCheck, UINT message);
  bool HitCheckBox(const QModelIndex& index, const QPoint& pos) const;
  bool OnEditKey(int key);
  void OnColumnClick(int column);
  // Calls fn(row, column) for the cell, or every row / column for an index out of range.
  void ForEachCell(int row, int column, const std::function<void(int, int)>& fn);
  void ResetSortState();
  bool RowHasStates(int row, DWORD states) const;
  void UnselectAll();
  void SelectAndFocus(int row);
  LRESULT NotifyParent(UINT msg, WPARAM wParam, LPARAM lParam);

  ReportModel m_model;
  QLineEdit* m_pEdit = nullptr;
  BOOL m_bEditable = FALSE;
  int m_nEditRow = -1;
  int m_nEditColumn = -1;
  int m_nCheckMode = 1;
  DWORD m_dwExStyle = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES;
  int m_nSortColumn = -1;
  BOOL m_bSortAscending = TRUE;
};
