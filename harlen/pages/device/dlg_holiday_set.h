// CDlgHolidaySet: the modal window "假日设置" that edits one holiday period:
// its kind (by date, by week, by month) and its start and end. It writes the
// period only when closed with OK.
#pragma once

#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/link/sections/system_cfg.h"

class CDlgHolidaySet : public CRgbDialog {
 public:
  enum { IDD = 126 };
  enum {
    IDC_COMBO_KIND = 1005,
    IDC_EDIT_FROM = 1004,
    IDC_STATIC_FROM = 1155,
    IDC_COMBO_FROM_A = 1008,
    IDC_COMBO_FROM_B = 1010,
    IDC_EDIT_TO = 1006,
    IDC_STATIC_TO = 1156,
    IDC_COMBO_TO_A = 1009,
    IDC_COMBO_TO_B = 1011,
  };

  explicit CDlgHolidaySet(QWidget* parent = nullptr) : CRgbDialog(IDD, parent) {}
  void SetPeriod(HolidayPeriod* period) { m_pPeriod = period; }

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void LayOut(int kind);

  HolidayPeriod* m_pPeriod = nullptr;
};
