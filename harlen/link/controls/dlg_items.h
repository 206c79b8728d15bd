// Small helpers for the controls of Harlen's dialogs: typed look-up, check
// boxes, enable states and drop-list selections by control id.
#pragma once

#include <QWidget>
#include <QStringList>
#include <initializer_list>

#include "platform/wnd.h"

class QTreeWidget;

// The control `id` of `wnd` as a T, or null when there is none of that kind.
template <class T>
T* DlgItem(const CWnd* wnd, int id) {
  return qobject_cast<T*>(wnd->GetDlgItem(id));
}

bool IsDlgButtonChecked(const CWnd* wnd, int id);
void CheckDlgButton(const CWnd* wnd, int id, bool checked);
// Enables or disables every control of `ids` that exists (id 0, the unnamed controls, is skipped).
void EnableDlgItems(const CWnd* wnd, std::initializer_list<int> ids, bool enable);
void ShowDlgItems(const CWnd* wnd, std::initializer_list<int> ids, bool show);

// The selection index of drop list `id` (-1 when none or no such list).
int GetCurSel(const CWnd* wnd, int id);
// Selects item `index` of drop list `id`; an index outside the list clears the selection.
void SetCurSel(const CWnd* wnd, int id, int index);
// Empties drop list `id` and fills it with `items`, the first selected.
void FillDropList(const CWnd* wnd, int id, const QStringList& items);

// A report list with grid lines and full-row selection: its column titles and widths.
void SetUpReportList(QTreeWidget* list, const QStringList& titles, std::initializer_list<int> widths);
// The texts of string ids first to last, in order.
QStringList LoadStrings(UINT first, UINT last);
