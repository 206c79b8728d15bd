// CDlgManagePltSet: the modal window "管理服务器配置" with the three
// management hosts (platform, Vemo, mobile service): each enabled or not, with
// its address and port. OK stores them; Cancel leaves the record as it was.
#pragma once

#include "harlen/link/controls/rgb_dialog.h"

class CDlgManagePltSet : public CRgbDialog {
 public:
  enum { IDD = 127 };
  enum {
    IDC_CHECK_IPVS = 1158,
    IDC_EDIT_IPVS_IP = 1004,
    IDC_EDIT_IPVS_PORT = 1005,
    IDC_CHECK_VEMO = 1003,
    IDC_EDIT_VEMO_IP = 1006,
    IDC_EDIT_VEMO_PORT = 1007,
    IDC_CHECK_MOBILE = 1008,
    IDC_EDIT_MOBILE_IP = 1009,
    IDC_EDIT_MOBILE_PORT = 1010,
  };

  explicit CDlgManagePltSet(QWidget* parent = nullptr) : CRgbDialog(IDD, parent) {}

  BOOL OnInitDialog() override;
  void OnOK() override;
};
