// CDlgUserRight: the modal window "用户权限" with one box per right of a
// user's right string; OK writes them back, Cancel changes nothing.
#pragma once

#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/link/sections/user_cfg.h"

class CDlgUserRight : public CRgbDialog {
 public:
  enum { IDD = 118 };
  // The box of each right position, in the string's order.
  static constexpr int kBoxIds[13] = {1120, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013, 1014};

  explicit CDlgUserRight(QWidget* parent = nullptr) : CRgbDialog(IDD, parent) {}
  void SetUser(NvrUser* user) { m_pUser = user; }

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  NvrUser* m_pUser = nullptr;
};
