#include "harlen/pages/common/dlg_copy_to.h"

#include "harlen/link/controls/dlg_items.h"

const int CDlgCopyTo::kBoxIds[kBoxes] = {1054, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                                         1055, 1011, 1012, 1013, 1014, 1015, 1016, 1017};

BOOL CDlgCopyTo::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  for (int i = 0; i < kBoxes; ++i) {
    if (QWidget* box = GetDlgItem(kBoxIds[i])) box->setVisible(i < m_nVisible);
  }
  OnClicked(IDC_CHECK_ALL, [this] { OnCheckAll(); });
  return TRUE;
}

void CDlgCopyTo::OnCheckAll() {
  const bool all = IsDlgButtonChecked(this, IDC_CHECK_ALL);
  for (int id : kBoxIds) CheckDlgButton(this, id, all);  // the hidden boxes too
}

void CDlgCopyTo::OnOK() {
  if (m_pResult != nullptr) {
    for (int i = 0; i < kBoxes; ++i) m_pResult[i] = IsDlgButtonChecked(this, kBoxIds[i]) ? 1 : 0;
  }
  CRgbDialog::OnOK();
}
