// CDlgAlarmConfig: the alarm page "报警异常": the four local alarm inputs
// (enable, name, arming time, linkage, copy-to) and the six system exception
// alarms of the alarm linkage record, edited in place; save-all sends them.
#pragma once

#include "harlen/link/controls/rgb_page.h"

class CDlgAlarmConfig : public CRgbPage {
 public:
  enum { IDD = 115 };
  enum {
    IDC_COMBO_INPUT = 1005,
    IDC_EDIT_IP = 1004,
    IDC_EDIT_NAME = 1007,
    IDC_CHECK_HANDLE = 1106,
    IDC_BTN_ARMING = 1101,
    IDC_BTN_LINKAGE = 1102,
    IDC_BTN_COPY = 1103,
    IDC_COMBO_EXCEPTION = 1008,
    IDC_CHECK_MONITOR = 1003,
    IDC_CHECK_VOICE = 1009,
    IDC_CHECK_CENTER = 1010,
    IDC_CHECK_OUTPUT = 1011,
  };

  explicit CDlgAlarmConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  BOOL OnInitDialog() override;
  // Shows the selected input and exception of the records just loaded.
  void FillFromConfig();

 private:
  void OnHandleClicked();
  void OnNameChanged();
  void OnExceptionFlag(int id);
  void OnArmingTime();
  void OnLinkage();
  void OnCopyTo();
  int SelectedInput() const;      // -1 when none
  int SelectedException() const;  // -1 when none
};
