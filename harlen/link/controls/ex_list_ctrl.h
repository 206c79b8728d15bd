// CExListCtrl: a report list whose cells can be edited in place.
//
// A double click on a cell that editing allows opens the edit box CListEdit
// over it with the cell's text, all selected. Editing ends when the box loses
// the focus, on Enter (consumed), and when the list is resized, scrolled,
// clicked or wheeled: the box is hidden and, only when its text differs from
// the cell's, the text is written into the cell and the edited handler runs.
//
// A list made in the edit-labels style edits column 0 of any row; otherwise
// editing is off until SetEditable, and may be held to one row, one column,
// and kept off one column.
#pragma once

#include <QLineEdit>
#include <QTreeWidget>
#include <functional>

class CListEdit : public QLineEdit {
 public:
  explicit CListEdit(QWidget* parent, std::function<void()> onEnd);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void()> m_onEnd;
};

class CExListCtrl : public QTreeWidget {
 public:
  explicit CExListCtrl(bool editLabels = false, QWidget* parent = nullptr);
  ~CExListCtrl() override;

  void SetEditable(bool allow) { m_bAllowEdit = allow; }
  void SetEditRow(int row) { m_nEditRow = row; }            // -1: any row
  void SetEditColumn(int column) { m_nEditCol = column; }   // -1: any column
  void SetNoEditColumn(int column) { m_nNoEditCol = column; }  // -1: none
  // Runs after an edit changed a cell's text.
  void SetEditedHandler(std::function<void(int row, int column)> handler) { m_onEdited = std::move(handler); }

  int InsertItem(int row, const QString& text);
  QString GetItemText(int row, int column) const;
  void SetItemText(int row, int column, const QString& text);

  // Opens the edit box over a cell when editing allows it: true when opened.
  bool BeginEdit(int row, int column);
  void EndEdit();
  bool IsEditing() const;
  CListEdit* GetEditBox() const { return m_pEdit; }
  int GetCurRow() const { return m_nCurRow; }
  int GetCurCol() const { return m_nCurCol; }

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  bool MayEdit(int row, int column) const;

  bool m_bAllowEdit = false;
  int m_nEditRow = -1;
  int m_nEditCol = -1;
  int m_nNoEditCol = -1;
  int m_nCurRow = -1;
  int m_nCurCol = -1;
  bool m_bEnding = false;
  CListEdit* m_pEdit = nullptr;
  std::function<void(int, int)> m_onEdited;
};
