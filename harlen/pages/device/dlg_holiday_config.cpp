#include "harlen/pages/device/dlg_holiday_config.h"

#include <QTreeWidget>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/device/dlg_holiday_set.h"
#include "harlen/pages/device/holiday_list.h"

BOOL CDlgHolidayConfig::OnInitDialog() {
  CRgbPage::OnInitDialog();
  m_pList = DlgItem<QTreeWidget>(this, IDC_LIST);
  SetUpReportList(m_pList, LoadStrings(IDS_HOLIDAY_COL_NUMBER, IDS_HOLIDAY_COL_END), {120, 140, 180, 180});
  OnClicked(IDC_BTN_ADD, [this] { OnAdd(); });
  OnClicked(IDC_BTN_EDIT, [this] { OnEdit(); });
  OnClicked(IDC_BTN_DELETE, [this] { OnDelete(); });
  return TRUE;
}

void CDlgHolidayConfig::FillFromConfig() {
  if (m_pList == nullptr) return;
  m_pList->clear();
  const uint32_t count = std::min<uint32_t>(g_CommonCfg.holidayCount, kHolidayPeriods);
  for (uint32_t i = 0; i < count; ++i) {
    const HolidayRowText text = HolidayRow(g_CommonCfg.holidays[i]);
    auto* row = new QTreeWidgetItem(m_pList);
    row->setText(0, QString::number(i + 1));
    row->setText(1, text.type);
    row->setText(2, text.start);
    row->setText(3, text.end);
  }
}

int CDlgHolidayConfig::SelectedRow() const {
  if (m_pList == nullptr) return -1;
  const QList<QTreeWidgetItem*> selected = m_pList->selectedItems();
  if (selected.isEmpty()) return -1;
  int first = -1;
  for (QTreeWidgetItem* item : selected) {
    const int row = m_pList->indexOfTopLevelItem(item);
    if (first < 0 || row < first) first = row;
  }
  return first < static_cast<int>(std::min<uint32_t>(g_CommonCfg.holidayCount, kHolidayPeriods)) ? first : -1;
}

void CDlgHolidayConfig::OnAdd() {
  HolidayPeriod* slot = NewHolidaySlot(g_CommonCfg);
  if (slot == nullptr) return;  // ten periods: nothing more fits
  CDlgHolidaySet dlg(this);
  dlg.SetPeriod(slot);
  if (dlg.DoModal() != IDOK) return;
  ++g_CommonCfg.holidayCount;
  FillFromConfig();
}

void CDlgHolidayConfig::OnEdit() {
  const int row = SelectedRow();
  if (row < 0) return;
  CDlgHolidaySet dlg(this);
  dlg.SetPeriod(&g_CommonCfg.holidays[row]);
  if (dlg.DoModal() == IDOK) FillFromConfig();
}

void CDlgHolidayConfig::OnDelete() {
  const int row = SelectedRow();
  if (row < 0) return;
  if (!HarlenAskYesNo(this, IDS_MSG_HOLIDAY_DELETE, IDS_TAB_HOLIDAY)) return;
  if (DeleteHoliday(g_CommonCfg, row)) FillFromConfig();
}
