#include "harlen/pages/network/dlg_net_config.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLineEdit>
#include <cstdlib>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/common/checked_edits.h"
#include "harlen/pages/common/page_text.h"
#include "harlen/pages/device/device_time.h"
#include "harlen/pages/network/dlg_contact.h"
#include "harlen/pages/network/dlg_manage_plt_set.h"
#include "harlen/pages/network/dlg_net_advanced.h"
#include "harlen/pages/network/net_fields.h"

namespace {

using Page = CDlgNetConfig;

struct Limit {
  int id;
  int chars;
  bool digits;
};
constexpr Limit kLimits[] = {
    {Page::IDC_EDIT_IP, 15, false},          {Page::IDC_EDIT_PORT, 5, true},
    {Page::IDC_EDIT_MASK, 15, false},        {Page::IDC_EDIT_GATEWAY, 15, false},
    {Page::IDC_EDIT_MAC, 20, false},         {Page::IDC_EDIT_HTTP, 5, true},
    {Page::IDC_EDIT_MULTICAST, 15, false},   {Page::IDC_EDIT_DDNS_DOMAIN, 0, false},
    {Page::IDC_EDIT_DDNS_PORT, 5, true},     {Page::IDC_EDIT_DDNS_USER, 16, false},
    {Page::IDC_EDIT_DDNS_PASSWORD, 16, false}, {Page::IDC_EDIT_DDNS_CONFIRM, 16, false},
    {Page::IDC_EDIT_DDNS_DEVDOMAIN, 128, false}, {Page::IDC_EDIT_NTP_SERVER, 15, false},
    {Page::IDC_EDIT_NTP_PORT, 5, true},      {Page::IDC_EDIT_NTP_INTERVAL, 5, true},
    {Page::IDC_EDIT_GMT_HOURS, 2, false},    {Page::IDC_EDIT_GMT_MINUTES, 2, false},
    {Page::IDC_EDIT_MAIL_SERVER, 0, false},  {Page::IDC_EDIT_MAIL_PASSWORD, 0, false},
    {Page::IDC_EDIT_MAIL_CONFIRM, 0, false}, {Page::IDC_EDIT_MAIL_INTERVAL, 0, true},
    {Page::IDC_EDIT_MAIL_SMTP, 0, false},    {Page::IDC_EDIT_MAIL_PORT, 0, true},
};

constexpr std::initializer_list<int> kDdnsControls = {
    Page::IDC_COMBO_DDNS_TYPE,     Page::IDC_EDIT_DDNS_DOMAIN,  Page::IDC_EDIT_DDNS_PORT,
    Page::IDC_EDIT_DDNS_USER,      Page::IDC_EDIT_DDNS_PASSWORD, Page::IDC_EDIT_DDNS_CONFIRM,
    Page::IDC_EDIT_DDNS_DEVDOMAIN};
constexpr std::initializer_list<int> kNtpControls = {
    Page::IDC_EDIT_NTP_SERVER, Page::IDC_EDIT_NTP_PORT,   Page::IDC_EDIT_NTP_INTERVAL,
    Page::IDC_COMBO_NTP_ZONE,  Page::IDC_EDIT_GMT_HOURS, Page::IDC_EDIT_GMT_MINUTES};

// The port edits and the fields they store.
// The NVR's own ports read back only up to 65534.
struct PortEdit {
  int id;
  uint16_t* field;
  uint16_t highest;
};
const PortEdit kPorts[] = {
    {Page::IDC_EDIT_PORT, &g_NetworkCfg.svrport, kHighestNvrPort},
    {Page::IDC_EDIT_HTTP, &g_NetworkCfg.httpport, kHighestNvrPort},
    {Page::IDC_EDIT_DDNS_PORT, &g_DdnsCfg.port, 65535},
    {Page::IDC_EDIT_NTP_PORT, &g_NtpCfg.port, 65535},
    {Page::IDC_EDIT_MAIL_PORT, &g_EmailCfg.port, 65535},
};

bool IsPortEdit(int id) {
  for (const PortEdit& port : kPorts) {
    if (port.id == id) return true;
  }
  return false;
}

QString Dotted(uint32_t address) { return DottedQText(address); }

}  // namespace

BOOL CDlgNetConfig::OnInitDialog() {
  CRgbPage::OnInitDialog();
  FillDropList(this, IDC_COMBO_CARD, LoadStrings(IDS_CARD_10M, IDS_CARD_10M + kCardTypes - 1));
  FillDropList(this, IDC_COMBO_DDNS_TYPE, {harlenres::LoadString(IDS_DDNS_CLOUD)});
  // The time server's zone: the zone list of the device page, UTC-12 to UTC+12.
  FillDropList(this, IDC_COMBO_NTP_ZONE, LoadStrings(IDS_ZONE_WEST_12, IDS_ZONE_EAST_12));
  for (const Limit& limit : kLimits) {
    auto* edit = DlgItem<QLineEdit>(this, limit.id);
    if (edit == nullptr) continue;
    if (limit.chars > 0) edit->setMaxLength(limit.chars);
    if (IsPortEdit(limit.id)) continue;  // watched below
    if (limit.digits) edit->setValidator(new QIntValidator(0, limit.chars > 0 ? 99999 : 999999999, edit));
    const int id = limit.id;
    QObject::connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) { OnEdited(id, text); });
  }
  // The addresses: a text that is no address is never stored.
  WatchAddressEdit(DlgItem<QLineEdit>(this, IDC_EDIT_IP), &g_NetworkCfg.IP);
  WatchAddressEdit(DlgItem<QLineEdit>(this, IDC_EDIT_MASK), &g_NetworkCfg.MASK);
  WatchAddressEdit(DlgItem<QLineEdit>(this, IDC_EDIT_GATEWAY), &g_NetworkCfg.GW);
  WatchAddressEdit(DlgItem<QLineEdit>(this, IDC_EDIT_MULTICAST), &g_NetworkCfg.MULTICAST);
  // The ports: a text that is no port from 1 to 65535 is never stored.
  for (const PortEdit& port : kPorts) {
    uint16_t* field = port.field;
    WatchPortEdit(DlgItem<QLineEdit>(this, port.id), [field] { return field; }, port.highest);
  }
  if (auto* card = DlgItem<QComboBox>(this, IDC_COMBO_CARD)) {
    QObject::connect(card, &QComboBox::activated, this,
                     [](int item) { g_NetworkCfg.cardtype = CardTypeValue(item); });
  }
  if (auto* type = DlgItem<QComboBox>(this, IDC_COMBO_DDNS_TYPE)) {
    QObject::connect(type, &QComboBox::activated, this, [](int) { g_DdnsCfg.type = kDdnsCloudType; });
  }
  if (auto* zone = DlgItem<QComboBox>(this, IDC_COMBO_NTP_ZONE)) {
    QObject::connect(zone, &QComboBox::activated, this,
                     [](int item) { g_NtpCfg.timezone = static_cast<int8_t>(item - kZoneIndexOfUtc); });
  }
  OnClicked(IDC_CHECK_DDNS, [this] { OnDdnsClicked(); });
  OnClicked(IDC_CHECK_NTP, [this] { OnNtpClicked(); });
  OnClicked(IDC_CHECK_SSL, [this] { g_EmailCfg.ssl = IsDlgButtonChecked(this, IDC_CHECK_SSL) ? 1 : 0; });
  OnClicked(IDC_CHECK_ATTACH, [this] { g_EmailCfg.attach = IsDlgButtonChecked(this, IDC_CHECK_ATTACH) ? 1 : 0; });
  OnClicked(IDC_BTN_ADVANCED, [this] { OnAdvanced(); });
  OnClicked(IDC_BTN_PLATFORM, [this] { OnPlatform(); });
  OnClicked(IDC_BTN_CONTACTS, [this] { OnContacts(); });
  return TRUE;
}

void CDlgNetConfig::OnEdited(int id, const QString& text) {
  switch (id) {
    case IDC_EDIT_MAC: ApplyMacText(QTextAnsi(text), g_NetworkCfg.MAC); break;
    case IDC_EDIT_DDNS_DOMAIN: StoreTextIfFits(g_DdnsCfg.domainname, text); break;
    case IDC_EDIT_DDNS_USER: StoreTextIfFits(g_DdnsCfg.user, text); break;
    case IDC_EDIT_DDNS_PASSWORD:
    case IDC_EDIT_DDNS_CONFIRM:
      StorePasswords(IDC_EDIT_DDNS_PASSWORD, IDC_EDIT_DDNS_CONFIRM, g_DdnsCfg.password, sizeof g_DdnsCfg.password);
      break;
    case IDC_EDIT_DDNS_DEVDOMAIN: StoreTextIfFits(g_DdnsCfg.devdomainname, text); break;
    case IDC_EDIT_NTP_SERVER: StoreTextIfFits(g_NtpCfg.server, text); break;
    case IDC_EDIT_NTP_INTERVAL: g_NtpCfg.interval = static_cast<uint32_t>(std::atoi(QTextAnsi(text).c_str())); break;
    case IDC_EDIT_MAIL_SERVER: StoreTextIfFits(g_EmailCfg.server, text); break;
    case IDC_EDIT_MAIL_PASSWORD:
    case IDC_EDIT_MAIL_CONFIRM:
      StorePasswords(IDC_EDIT_MAIL_PASSWORD, IDC_EDIT_MAIL_CONFIRM, g_EmailCfg.password, sizeof g_EmailCfg.password);
      break;
    default: break;  // the addresses and ports are watched on their own; the GMT offset, send interval and SMTP server have no field
  }
}

// A password is stored only while both of its edits hold the same text.
void CDlgNetConfig::StorePasswords(int first, int second, char* field, size_t width) {
  const auto* a = DlgItem<QLineEdit>(this, first);
  const auto* b = DlgItem<QLineEdit>(this, second);
  if (a == nullptr || b == nullptr || a->text() != b->text()) return;
  StoreTextIfFits(field, width, b->text());
}

void CDlgNetConfig::OnDdnsClicked() {
  const bool on = IsDlgButtonChecked(this, IDC_CHECK_DDNS);
  EnableDlgItems(this, kDdnsControls, on);
  g_DdnsCfg.enable = on ? 1 : 0;
}

void CDlgNetConfig::OnNtpClicked() {
  const bool on = IsDlgButtonChecked(this, IDC_CHECK_NTP);
  EnableDlgItems(this, kNtpControls, on);
  g_NtpCfg.enable = on ? 1 : 0;
}

void CDlgNetConfig::SetText(int id, const QString& text) {
  if (auto* edit = DlgItem<QLineEdit>(this, id)) {
    edit->setText(text);
    edit->setCursorPosition(0);  // a text longer than the edit shows its beginning
  }
}

void CDlgNetConfig::FillFromConfig() {
  const NetworkCfg& net = g_NetworkCfg;
  SetCurSel(this, IDC_COMBO_CARD, CardTypeItem(net.cardtype));
  SetText(IDC_EDIT_IP, Dotted(net.IP));
  SetText(IDC_EDIT_PORT, QString::number(net.svrport));
  SetText(IDC_EDIT_MASK, Dotted(net.MASK));
  SetText(IDC_EDIT_GATEWAY, Dotted(net.GW));
  SetText(IDC_EDIT_MAC, MacText(net.MAC));
  SetText(IDC_EDIT_HTTP, QString::number(net.httpport));
  SetText(IDC_EDIT_MULTICAST, Dotted(net.MULTICAST));

  const DdnsCfg& ddns = g_DdnsCfg;
  CheckDlgButton(this, IDC_CHECK_DDNS, ddns.enable != 0);
  EnableDlgItems(this, kDdnsControls, ddns.enable != 0);
  SetCurSel(this, IDC_COMBO_DDNS_TYPE, DdnsTypeItem(ddns.type));
  SetText(IDC_EDIT_DDNS_DOMAIN, FieldQText(ddns.domainname));
  SetText(IDC_EDIT_DDNS_PORT, QString::number(ddns.port));
  SetText(IDC_EDIT_DDNS_USER, FieldQText(ddns.user));
  SetText(IDC_EDIT_DDNS_PASSWORD, FieldQText(ddns.password));
  SetText(IDC_EDIT_DDNS_CONFIRM, QString());
  SetText(IDC_EDIT_DDNS_DEVDOMAIN, FieldQText(ddns.devdomainname));

  const NtpCfg& ntp = g_NtpCfg;
  CheckDlgButton(this, IDC_CHECK_NTP, ntp.enable != 0);
  EnableDlgItems(this, kNtpControls, ntp.enable != 0);
  SetText(IDC_EDIT_NTP_SERVER, FieldQText(ntp.server));
  SetText(IDC_EDIT_NTP_PORT, QString::number(ntp.port));
  SetText(IDC_EDIT_NTP_INTERVAL, QString::number(ntp.interval));
  SetCurSel(this, IDC_COMBO_NTP_ZONE, ntp.timezone + kZoneIndexOfUtc);  // a zone outside shows none

  const EmailCfg& mail = g_EmailCfg;
  SetText(IDC_EDIT_MAIL_SERVER, FieldQText(mail.server));
  SetText(IDC_EDIT_MAIL_PASSWORD, FieldQText(mail.password));
  SetText(IDC_EDIT_MAIL_CONFIRM, FieldQText(mail.password));
  SetText(IDC_EDIT_MAIL_PORT, QString::number(mail.port));
  CheckDlgButton(this, IDC_CHECK_ATTACH, mail.attach != 0);
  CheckDlgButton(this, IDC_CHECK_SSL, mail.ssl != 0);
}

void CDlgNetConfig::OnAdvanced() {
  CDlgNetAdvanced dlg(this);
  dlg.DoModal();
}

void CDlgNetConfig::OnPlatform() {
  CDlgManagePltSet dlg(this);
  dlg.DoModal();
}

void CDlgNetConfig::OnContacts() {
  CDlgContact dlg(this);
  dlg.SetEmail(&g_EmailCfg);
  dlg.DoModal();
}
