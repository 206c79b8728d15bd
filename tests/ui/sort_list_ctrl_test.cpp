// The report list: column string, typed sort on header clicks, colours, row
// states, check-box modes and the in-place edit flow, driven by real mouse and
// key events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "notice_sink.h"
#include "ui/sort_list_ctrl.h"
#include "ui/sys_colors.h"

namespace {

class SortListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sink.resize(900, 400);
    list = new CSortListCtrl(&sink);
    list->setGeometry(0, 0, 900, 400);
    list->SetColumnHeader("C0,60;C1,60;C2,60;C3,60;C4,60;C5,60;C6,120,1;C7,60");
    list->SetGridLines(TRUE);
    sink.show();
  }

  void Fill(const std::vector<CString>& column6) {
    for (size_t i = 0; i < column6.size(); ++i) {
      int row = list->InsertItem(static_cast<int>(i), "row" + std::to_string(i));
      list->SetItemText(row, 6, column6[i]);
      list->SetItemData(row, static_cast<DWORD>(100 + i));
    }
  }

  QPoint CellCenter(int row, int column) const {
    return list->visualRect(list->model()->index(row, column)).center();
  }

  QPoint CheckBoxPoint(int row) const {
    QRect cell = list->visualRect(list->model()->index(row, 0));
    return QPoint(cell.left() + 10, cell.center().y());
  }

  void Click(QPoint pos, Qt::MouseButton button = Qt::LeftButton, bool doubleClick = false) {
    QPoint global = list->viewport()->mapToGlobal(pos);
    QMouseEvent press(QEvent::MouseButtonPress, pos, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, global, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &release);
    if (doubleClick) {
      QMouseEvent dbl(QEvent::MouseButtonDblClick, pos, global, button, button, Qt::NoModifier);
      QApplication::sendEvent(list->viewport(), &dbl);
      QApplication::sendEvent(list->viewport(), &release);
    }
  }

  void Key(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
  }

  std::vector<CString> Column(int column) const {
    std::vector<CString> texts;
    for (int row = 0; row < list->GetItemCount(); ++row) texts.push_back(list->GetItemText(row, column));
    return texts;
  }

  void ClickHeader(int column) { emit list->horizontalHeader()->sectionClicked(column); }

  NoticeSink sink;
  CSortListCtrl* list = nullptr;
};

}  // namespace

TEST_F(SortListTest, ColumnStringSetsUpColumnsAndClearsRows) {
  Fill({"a", "b"});
  EXPECT_TRUE(list->SetColumnHeader("Time,150;Device,120,1;Type,80,2"));
  EXPECT_EQ(list->GetItemCount(), 0);
  ASSERT_EQ(list->GetColumnCount(), 3);
  EXPECT_EQ(list->columnWidth(0), 150);
  EXPECT_EQ(list->columnWidth(2), 80);
  EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString(), "Device");
  EXPECT_EQ(list->model()->index(0, 0).isValid(), false);
  EXPECT_FALSE(list->SetColumnHeader(";;"));
  EXPECT_EQ(list->GetExtendedStyle() & 0x22u, 0x22u);
}

TEST_F(SortListTest, HeaderClicksSortTypedAscendingThenDescendingAndNotify) {
  Fill({"10", "1A", "9"});
  list->SetItemTextColor(1, -1, 0x0000FF);  // the "1A" row is red
  list->SetItemShownText(1, "shown 1");     // and shows another first cell than its text
  list->SetItemStates(1, RLS_SELECTED | RLS_CHECKED);

  ClickHeader(6);  // sorting is off: nothing happens
  EXPECT_EQ(Column(6), (std::vector<CString>{"10", "1A", "9"}));

  list->m_bSortOnClick = TRUE;
  ClickHeader(6);
  EXPECT_EQ(Column(6), (std::vector<CString>{"9", "10", "1A"}));
  // Records, colours and states travel with their rows.
  EXPECT_EQ(list->GetItemData(2), 101u);
  EXPECT_EQ(list->model()->index(2, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_EQ(list->model()->index(2, 0).data().toString(), "shown 1");
  EXPECT_EQ(list->GetItemText(2, 0), "row1");
  EXPECT_EQ(list->GetItemStates(2) & (RLS_SELECTED | RLS_CHECKED), RLS_SELECTED | RLS_CHECKED);
  EXPECT_EQ(list->GetItemStates(0) & (RLS_UNSELECTED | RLS_UNCHECKED), RLS_UNSELECTED | RLS_UNCHECKED);

  ClickHeader(6);
  EXPECT_EQ(Column(6), (std::vector<CString>{"1A", "10", "9"}));
  list->SetItemText(0, 0, "renamed");  // a new text is shown as it is
  EXPECT_EQ(list->model()->index(0, 0).data().toString(), "renamed");
  ASSERT_EQ(sink.notices.size(), 2u);
  EXPECT_EQ(sink.notices[0].msg, WM_REPORT_SORTED);
  EXPECT_EQ(sink.notices[0].wParam, 6u);
  EXPECT_EQ(sink.notices[0].lParam, 1);
  EXPECT_EQ(sink.notices[1].lParam, 0);

  // A row inserted between two clicks makes the next click ascending again.
  int row = list->InsertItem(3, "new");
  list->SetItemText(row, 6, "0");
  ClickHeader(6);
  EXPECT_TRUE(list->IsSortAscending());
  EXPECT_EQ(Column(6), (std::vector<CString>{"0", "9", "10", "1A"}));
}

TEST_F(SortListTest, TextColoursForRowsColumnsAndAll) {
  Fill({"a", "b", "c"});
  QColor normal = ToQColor(GetSysColor(COLOR_WINDOWTEXT));
  list->SetItemTextColor(1, -1, 0x0000FF);
  EXPECT_EQ(list->model()->index(1, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_EQ(list->model()->index(1, 7).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_EQ(list->model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), normal);
  list->SetItemTextColor(-1, 2, 0x00FF00);
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(list->model()->index(r, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 255, 0));
  }
  list->SetItemTextColor(99, 99, static_cast<COLORREF>(-1));  // every cell back to the default
  EXPECT_EQ(list->model()->index(1, 0).data(Qt::ForegroundRole).value<QColor>(), normal);

  // A column inserted later gets default colours in every row.
  list->InsertColumn(1, "New", ColumnAlign::Left, 50);
  list->SetItemTextColor(0, 0, 0x0000FF);
  EXPECT_EQ(list->model()->index(0, 1).data(Qt::ForegroundRole).value<QColor>(), normal);
  EXPECT_TRUE(list->DeleteColumn(1));
  EXPECT_EQ(list->model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  EXPECT_FALSE(list->SetItemData(7, 1));
  EXPECT_EQ(list->GetItemData(7), 0u);
}

TEST_F(SortListTest, StatesAndDeletingByState) {
  Fill({"a", "b", "c", "d"});
  EXPECT_EQ(list->SetItemStates(0, 0), FALSE);
  EXPECT_TRUE(list->SetItemStates(1, RLS_CHECKED | RLS_FOCUSED | RLS_SELECTED));
  EXPECT_EQ(list->GetItemStates(1), RLS_CHECKED | RLS_FOCUSED | RLS_SELECTED);
  EXPECT_EQ(list->GetItemStates(0), RLS_UNCHECKED | RLS_UNFOCUSED | RLS_UNSELECTED);
  EXPECT_EQ(list->SetAllItemStates(RLS_UNCHECKED, RLS_CHECKED), 3);
  list->SetCheck(2, FALSE);
  EXPECT_EQ(list->GetItemCount(RLS_CHECKED), 3);
  EXPECT_EQ(list->DeleteAllItems(RLS_CHECKED), 3);
  EXPECT_EQ(Column(6), (std::vector<CString>{"c"}));
  EXPECT_EQ(list->DeleteAllItems(RLS_ALL), 1);
}

TEST_F(SortListTest, CheckBoxModeOneSelectsTheRowAloneAndNotifies) {
  Fill({"a", "b", "c"});
  list->SetCheckboxes(1);
  list->SetItemStates(0, RLS_SELECTED);
  Click(CheckBoxPoint(2));
  EXPECT_TRUE(list->GetCheck(2));
  EXPECT_EQ(list->GetItemCount(RLS_SELECTED), 1);
  EXPECT_EQ(list->GetItemStates(2) & (RLS_SELECTED | RLS_FOCUSED), RLS_SELECTED | RLS_FOCUSED);
  ASSERT_EQ(sink.notices.size(), 1u);
  EXPECT_EQ(sink.notices[0].msg, WM_REPORT_CHECKCHANGED);
  EXPECT_EQ(sink.notices[0].wParam, 2u);
  EXPECT_EQ(sink.notices[0].lParam, 0x201);

  // A click elsewhere in the row changes no check and sends nothing.
  Click(CellCenter(1, 3));
  EXPECT_FALSE(list->GetCheck(1));
  EXPECT_EQ(sink.notices.size(), 1u);
}

TEST_F(SortListTest, CheckBoxModeThreeIsReadOnlyAndSpaceNeverChecks) {
  Fill({"a", "b"});
  list->SetCheckboxes(3);
  list->SetCheck(1, TRUE);
  Click(CheckBoxPoint(0));
  Click(CheckBoxPoint(1));
  EXPECT_FALSE(list->GetCheck(0));
  EXPECT_TRUE(list->GetCheck(1));
  EXPECT_TRUE(sink.notices.empty());

  list->SetCheckboxes(1);
  list->SetItemStates(0, RLS_SELECTED | RLS_FOCUSED);
  Key(list, Qt::Key_Space);
  EXPECT_FALSE(list->GetCheck(0));

  list->SetCheckboxes(0);  // hidden boxes: a click there is a plain click
  Click(CheckBoxPoint(0));
  EXPECT_FALSE(list->GetCheck(0));
  EXPECT_TRUE(sink.notices.empty());
}

TEST_F(SortListTest, ClickOnColumnSixOfTheSelectedFocusedRowOpensTheEditBox) {
  Fill({"alpha", "beta", "gamma"});
  list->SetEditable(TRUE);

  Click(CellCenter(1, 6));  // row not selected before: selects only
  EXPECT_FALSE(list->IsEditing());
  Click(CellCenter(1, 3));  // selected and focused, but another column
  EXPECT_FALSE(list->IsEditing());
  Click(CellCenter(1, 6));
  ASSERT_TRUE(list->IsEditing());
  EXPECT_EQ(list->GetEditRow(), 1);
  EXPECT_EQ(list->GetEditColumn(), 6);
  EXPECT_EQ(list->GetEditBox()->text(), "beta");
  EXPECT_EQ(list->GetEditBox()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

  // A click while the edit is open ends it and opens none.
  Click(CellCenter(1, 6));
  EXPECT_FALSE(list->IsEditing());

  list->SetEditable(FALSE);
  Click(CellCenter(1, 6));
  EXPECT_FALSE(list->IsEditing());
}

TEST_F(SortListTest, EditKeysCommitCancelWrapAndMoveBetweenRows) {
  Fill({"alpha", "beta", "gamma"});
  list->SetEditable(TRUE);
  ASSERT_TRUE(list->StartEdit(1, 6));
  QLineEdit* edit = list->GetEditBox();
  edit->setText("BETA");
  Key(edit, Qt::Key_Escape);
  EXPECT_FALSE(list->IsEditing());
  EXPECT_EQ(list->GetItemText(1, 6), "beta");  // escape keeps the old text

  ASSERT_TRUE(list->StartEdit(1, 6));
  edit->setText("BETA");
  Key(edit, Qt::Key_Return);
  EXPECT_FALSE(list->IsEditing());
  EXPECT_EQ(list->GetItemText(1, 6), "BETA");

  ASSERT_TRUE(list->StartEdit(0, 7));
  Key(edit, Qt::Key_Tab);  // from the last column back to column 0 of the same row
  EXPECT_EQ(list->GetEditRow(), 0);
  EXPECT_EQ(list->GetEditColumn(), 0);
  Key(edit, Qt::Key_Up);  // first row: normal path, the edit stays
  EXPECT_EQ(list->GetEditRow(), 0);
  Key(edit, Qt::Key_Down);
  EXPECT_EQ(list->GetEditRow(), 1);
  EXPECT_EQ(list->GetEditColumn(), 0);
  EXPECT_EQ(list->GetItemStates(1) & (RLS_SELECTED | RLS_FOCUSED), RLS_SELECTED | RLS_FOCUSED);

  EXPECT_TRUE(list->EndEdit(FALSE) == FALSE);
  EXPECT_FALSE(list->StartEdit(5, 0));
  EXPECT_FALSE(list->StartEdit(0, 8));
  EXPECT_EQ(list->EndEdit(TRUE), FALSE);  // nothing open
}
