#include "harlen/link/controls/dlg_items.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTreeWidget>

#include "harlen/link/entry/harlen_resources.h"

bool IsDlgButtonChecked(const CWnd* wnd, int id) {
  const auto* button = DlgItem<QAbstractButton>(wnd, id);
  return button != nullptr && button->isChecked();
}

void CheckDlgButton(const CWnd* wnd, int id, bool checked) {
  if (auto* button = DlgItem<QAbstractButton>(wnd, id)) button->setChecked(checked);
}

void EnableDlgItems(const CWnd* wnd, std::initializer_list<int> ids, bool enable) {
  for (int id : ids) {
    if (id == 0) continue;  // the id of unnamed controls: never meant
    if (QWidget* item = wnd->GetDlgItem(id)) item->setEnabled(enable);
  }
}

void ShowDlgItems(const CWnd* wnd, std::initializer_list<int> ids, bool show) {
  for (int id : ids) {
    if (id == 0) continue;
    if (QWidget* item = wnd->GetDlgItem(id)) item->setVisible(show);
  }
}

int GetCurSel(const CWnd* wnd, int id) {
  const auto* list = DlgItem<QComboBox>(wnd, id);
  return list != nullptr ? list->currentIndex() : -1;
}

void SetCurSel(const CWnd* wnd, int id, int index) {
  auto* list = DlgItem<QComboBox>(wnd, id);
  if (list == nullptr) return;
  list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void FillDropList(const CWnd* wnd, int id, const QStringList& items) {
  auto* list = DlgItem<QComboBox>(wnd, id);
  if (list == nullptr) return;
  const QSignalBlocker quiet(list);
  list->clear();
  list->addItems(items);
  list->setCurrentIndex(items.isEmpty() ? -1 : 0);
}

void SetUpReportList(QTreeWidget* list, const QStringList& titles, std::initializer_list<int> widths) {
  if (list == nullptr) return;
  list->setColumnCount(static_cast<int>(titles.size()));
  list->setHeaderLabels(titles);
  int column = 0;
  for (int width : widths) list->setColumnWidth(column++, width);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
}

QStringList LoadStrings(UINT first, UINT last) {
  QStringList items;
  for (UINT id = first; id <= last; ++id) items << harlenres::LoadString(id);
  return items;
}
