#include "harlen/pages/network/dlg_net_advanced.h"

#include <QLineEdit>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/common/checked_edits.h"
#include "harlen/pages/common/page_text.h"

BOOL CDlgNetAdvanced::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  if (auto* dns1 = DlgItem<QLineEdit>(this, IDC_EDIT_DNS1)) dns1->setText(DottedQText(g_NetworkCfg.DNS1));
  if (auto* dns2 = DlgItem<QLineEdit>(this, IDC_EDIT_DNS2)) dns2->setText(DottedQText(g_NetworkCfg.DNS2));
  OnClicked(IDC_CHECK_HOST1, [this] { EnableDlgItems(this, {1008, 1009}, IsDlgButtonChecked(this, IDC_CHECK_HOST1)); });
  OnClicked(IDC_CHECK_HOST2, [this] { EnableDlgItems(this, {1010, 1011}, IsDlgButtonChecked(this, IDC_CHECK_HOST2)); });
  OnClicked(IDC_CHECK_PPPOE,
            [this] { EnableDlgItems(this, {1012, 1013, 1014, 1015}, IsDlgButtonChecked(this, IDC_CHECK_PPPOE)); });
  OnClicked(IDC_CHECK_UPNP, [] {});
  return TRUE;
}

void CDlgNetAdvanced::OnOK() {
  if (RefuseBadAddress(this, {IDC_EDIT_DNS1, IDC_EDIT_DNS2}) != 0) return;  // stays open, nothing stored
  if (const auto* dns1 = DlgItem<QLineEdit>(this, IDC_EDIT_DNS1)) AddressFromQText(dns1->text(), g_NetworkCfg.DNS1);
  if (const auto* dns2 = DlgItem<QLineEdit>(this, IDC_EDIT_DNS2)) AddressFromQText(dns2->text(), g_NetworkCfg.DNS2);
  CRgbDialog::OnOK();
}
