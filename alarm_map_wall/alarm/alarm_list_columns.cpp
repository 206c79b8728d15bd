#include "alarm_map_wall/alarm/alarm_list_columns.h"

#include "ui/sort_list_ctrl.h"

void LayoutEqualColumns(CSortListCtrl* list, const std::vector<CString>& titles) {
  if (list == nullptr || titles.empty()) return;
  const int count = static_cast<int>(titles.size());
  const int width = list->viewport()->width() / count;
  if (list->GetColumnCount() == count) {
    for (int i = 0; i < count; ++i) list->setColumnWidth(i, width);
    return;
  }
  CString header;
  for (const CString& title : titles) {
    if (!header.empty()) header += "; ";
    header += title + "," + std::to_string(width);
  }
  list->SetColumnHeader(header);
  list->SetCheckboxes(0);
}
