// CDlgUserAdd: the modal window "添加用户" that adds an NVR user or, in modify
// mode, changes an existing user's bound address and type (name and password
// are shown but cannot be changed there).
#pragma once

#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/link/sections/user_cfg.h"

class CDlgUserAdd : public CRgbDialog {
 public:
  enum { IDD = 119 };
  enum {
    IDC_EDIT_NAME = 1004,
    IDC_EDIT_PASSWORD = 1019,
    IDC_EDIT_CONFIRM = 1006,
    IDC_COMBO_TYPE = 1119,
    IDC_EDIT_IP = 1007,
  };

  explicit CDlgUserAdd(QWidget* parent = nullptr) : CRgbDialog(IDD, parent) {}
  // Adds to `cfg`; with `row` >= 0 modifies that entry instead.
  void SetUsers(UserCfg* cfg, int row = -1) {
    m_pCfg = cfg;
    m_nRow = row;
  }

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  QString Text(int id) const;
  bool FocusWhenEmpty(int id);

  UserCfg* m_pCfg = nullptr;
  int m_nRow = -1;
};
