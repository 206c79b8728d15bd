#include "harlen/pages/network/dlg_manage_plt_set.h"

#include <QRegularExpressionValidator>
#include <QLineEdit>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/common/checked_edits.h"
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
      port->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), port));
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
  // A host's address or port that is none is refused (the window stays open);
  // a host switched off keeps what it had.
  if (RefuseBadAddress(this, {kHosts[0].ip, kHosts[1].ip, kHosts[2].ip}) != 0) return;
  if (RefuseBadPort(this, {kHosts[0].port, kHosts[1].port, kHosts[2].port}, kHighestNvrPort) != 0) return;
  for (const HostControls& host : kHosts) {
    (g_ManageHostsCfg.*host.entry).enable = IsDlgButtonChecked(this, host.check) ? 1 : 0;
  }
  for (const HostControls& host : kHosts) {
    ManageHost& entry = g_ManageHostsCfg.*host.entry;
    AddressFromQText(EditText(this, host.ip), entry.address);
    PortFromQText(EditText(this, host.port), entry.port, kHighestNvrPort);  // a port that is none keeps the stored one
  }
  CRgbDialog::OnOK();
}
