// CDlgHolidayConfig: the holidays page "假日配置": the holiday periods of the
// common record, listed, added, edited (CDlgHolidaySet) and deleted in place;
// save-all sends them.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class QTreeWidget;

class CDlgHolidayConfig : public CRgbPage {
 public:
  enum { IDD = 125 };
  enum { IDC_LIST = 1153, IDC_BTN_ADD = 1154, IDC_BTN_EDIT = 1155, IDC_BTN_DELETE = 1156 };

  explicit CDlgHolidayConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  BOOL OnInitDialog() override;
  // Lists the periods of the records.
  void FillFromConfig();

  QTreeWidget* GetList() const { return m_pList; }

 private:
  int SelectedRow() const;  // -1 when none
  void OnAdd();
  void OnEdit();
  void OnDelete();

  QTreeWidget* m_pList = nullptr;
};
