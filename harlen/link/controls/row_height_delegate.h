// The set-up that the lists drawn by themselves share: rows of one height
// (when one is set, positive), no selection or editing of Qt's own.
#pragma once

#include <QStyledItemDelegate>
#include <QTreeWidget>

class RowHeightDelegate : public QStyledItemDelegate {
 public:
  explicit RowHeightDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

  void SetRowHeight(int height) { height_ = height; }
  int RowHeight() const { return height_; }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (height_ > 0) size.setHeight(height_);
    return size;
  }

 private:
  int height_ = 0;
};

// Sets `list` up as a flat list that draws and selects by itself, with
// `delegate` (owned by the list) for its rows' height.
inline void SetUpOwnerDrawnList(QTreeWidget& list, RowHeightDelegate* delegate) {
  list.setRootIsDecorated(false);
  list.setItemsExpandable(false);
  list.setUniformRowHeights(true);
  list.setSelectionMode(QAbstractItemView::NoSelection);
  list.setEditTriggers(QAbstractItemView::NoEditTriggers);
  list.setFocusPolicy(Qt::StrongFocus);
  list.setItemDelegate(delegate);
}
