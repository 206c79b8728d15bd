#include "harlen/pages/network/dlg_manage_plt_set.h"

#include <QIntValidator>
#include <QLineEdit>
#include <cstdlib>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/common/address_edits.h"
#include "harlen/pages/common/page_text.h"

namespace {

using Dlg = CDlgManagePltSet;

struct HostControls {
  ManageHost ManageHostsCfg::*entry;
  int check;
  int ip;
  int port;
};
// In the order the window shows and stores them.
constexpr HostControls kHosts[] = {
    {&ManageHostsCfg::mobile, Dlg::IDC_CHECK_MOBILE, Dlg::IDC_EDIT_MOBILE_IP, Dlg::IDC_EDIT_MOBILE_PORT},
    {&ManageHostsCfg::vemo, Dlg::IDC_CHECK_VEMO, Dlg::IDC_EDIT_VEMO_IP, Dlg::IDC_EDIT_VEMO_PORT},
    {&ManageHostsCfg::ipvs, Dlg::IDC_CHECK_IPVS, Dlg::IDC_EDIT_IPVS_IP, Dlg::IDC_EDIT_IPVS_PORT},
};

QString EditText(const CWnd* wnd, int id) {
  const auto* edit = DlgItem<QLineEdit>(wnd, id);
  return edit != nullptr ? edit->text() : QString();
}

}  // namespace

BOOL CDlgManagePltSet::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  for (const HostControls& host : kHosts) {
    const ManageHost& entry = g_ManageHostsCfg.*host.entry;
    if (auto* ip = DlgItem<QLineEdit>(this, host.ip)) {
      ip->setMaxLength(16);
      ip->setText(DottedQText(entry.address));
    }
    if (auto* port = DlgItem<QLineEdit>(this, host.port)) {
      port->setMaxLength(5);
      port->setValidator(new QIntValidator(0, 99999, port));
      port->setText(QString::number(entry.port));
    }
    CheckDlgButton(this, host.check, entry.enable != 0);
    const auto follow = [this, host] {
      EnableDlgItems(this, {host.ip, host.port}, IsDlgButtonChecked(this, host.check));
    };
    follow();
    OnClicked(host.check, follow);
  }
  return TRUE;
}

void CDlgManagePltSet::OnOK() {
  // A host's address that is no address is refused (the window stays open);
  // a host switched off keeps what it had.
  if (RefuseBadAddress(this, {kHosts[0].ip, kHosts[1].ip, kHosts[2].ip}) != 0) return;
  for (const HostControls& host : kHosts) {
    (g_ManageHostsCfg.*host.entry).enable = IsDlgButtonChecked(this, host.check) ? 1 : 0;
  }
  for (const HostControls& host : kHosts) {
    ManageHost& entry = g_ManageHostsCfg.*host.entry;
    AddressFromQText(EditText(this, host.ip), entry.address);
    entry.port = static_cast<uint16_t>(std::atoi(QTextAnsi(EditText(this, host.port)).c_str()));
  }
  CRgbDialog::OnOK();
}
