#include "alarm_map_wall/alarm/alarm_list_columns.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <algorithm>
#include <numeric>

#include "ui/sort_list_ctrl.h"

namespace {

// What column `column` needs to show its title and every text in it whole:
// the title with the header's margins, each cell as its item asks (text and
// margins) and the grid line.
int NeededWidth(const CSortListCtrl* list, int column) {
  const QHeaderView* header = list->horizontalHeader();
  const QString title = list->model()->headerData(column, Qt::Horizontal).toString();
  int needed = QFontMetrics(header->font()).horizontalAdvance(title) +
               2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  QStyleOptionViewItem option;
  option.initFrom(list);
  option.font = list->font();
  const QAbstractItemModel* model = list->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    const QModelIndex index = model->index(row, column);
    needed = std::max(needed, list->itemDelegateForIndex(index)->sizeHint(option, index).width() + 1);
  }
  return needed;
}

// The width inside the list's frame less its vertical scroll bar when its rows
// need one. Measured from the frame, not from the viewport: the viewport takes
// its width only once the list is first shown, and the linkage window lays its
// list out before that.
int InsideWidth(const CSortListCtrl* list) {
  const QRect inside = list->contentsRect();
  const int rows = list->model()->rowCount() * list->verticalHeader()->defaultSectionSize();
  const int room = inside.height() - list->horizontalHeader()->sizeHint().height();
  const int bar = rows > room ? list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) : 0;
  return inside.width() - bar;
}

}  // namespace

void LayoutAlarmColumns(CSortListCtrl* list, const std::vector<CString>& titles) {
  if (list == nullptr || titles.empty()) return;
  const int count = static_cast<int>(titles.size());
  const int inside = InsideWidth(list);
  const int share = inside / count;
  if (list->GetColumnCount() != count) {
    CString header;
    for (const CString& title : titles) {
      if (!header.empty()) header += "; ";
      header += title + "," + std::to_string(share);
    }
    list->SetColumnHeader(header);
    list->SetCheckboxes(0);
  }
  std::vector<int> needed(count);
  for (int i = 0; i < count; ++i) needed[i] = NeededWidth(list, i);
  const int total = std::accumulate(needed.begin(), needed.end(), 0);
  const bool equal = std::all_of(needed.begin(), needed.end(), [share](int n) { return n <= share; });
  // Equal shares while every column fits one; else each column what it needs
  // and an equal part of what is left over, if anything is.
  const int spare = equal || total >= inside ? 0 : (inside - total) / count;
  for (int i = 0; i < count; ++i) list->setColumnWidth(i, equal ? share : needed[i] + spare);
}
