#include "harlen/pages/users/dlg_user_right.h"

#include "harlen/link/controls/dlg_items.h"
#include "harlen/pages/users/user_rules.h"

BOOL CDlgUserRight::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  if (m_pUser == nullptr) return TRUE;
  for (int i = 0; i < kRightCount; ++i) CheckDlgButton(this, kBoxIds[i], HasRight(*m_pUser, i));
  return TRUE;
}

void CDlgUserRight::OnOK() {
  if (m_pUser != nullptr) {
    for (int i = 0; i < kRightCount; ++i) SetRight(*m_pUser, i, IsDlgButtonChecked(this, kBoxIds[i]));
  }
  CRgbDialog::OnOK();
}
