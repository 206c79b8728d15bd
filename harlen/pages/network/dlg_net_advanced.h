// CDlgNetAdvanced: the modal window "高级" with the two DNS addresses of the
// network record, stored on OK. Its alarm host, management host, PPPoE and
// UPnP controls have no record behind them: their checks only switch their edits.
#pragma once

#include "harlen/link/controls/rgb_dialog.h"

class CDlgNetAdvanced : public CRgbDialog {
 public:
  enum { IDD = 105 };
  enum {
    IDC_EDIT_DNS1 = 1004,
    IDC_EDIT_DNS2 = 1005,
    IDC_CHECK_HOST1 = 1002,
    IDC_CHECK_HOST2 = 1003,
    IDC_CHECK_PPPOE = 1016,
    IDC_CHECK_UPNP = 1017,
  };

  explicit CDlgNetAdvanced(QWidget* parent = nullptr) : CRgbDialog(IDD, parent) {}

  BOOL OnInitDialog() override;
  void OnOK() override;
};
