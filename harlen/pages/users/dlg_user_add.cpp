#include "harlen/pages/users/dlg_user_add.h"

#include <QLineEdit>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/xml/text_codec.h"
#include "harlen/pages/common/checked_edits.h"
#include "harlen/pages/common/page_text.h"
#include "harlen/pages/users/user_rules.h"

namespace {
constexpr int kTextChars = 16;
constexpr int kIpChars = 15;
}  // namespace

BOOL CDlgUserAdd::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  for (int id : {IDC_EDIT_NAME, IDC_EDIT_PASSWORD, IDC_EDIT_CONFIRM, IDC_EDIT_IP}) {
    if (auto* edit = DlgItem<QLineEdit>(this, id)) edit->setMaxLength(id == IDC_EDIT_IP ? kIpChars : kTextChars);
  }
  FillDropList(this, IDC_COMBO_TYPE, LoadStrings(IDS_USER_ADMIN, IDS_USER_ORDINARY));
  if (m_pCfg == nullptr || m_nRow < 0 || m_nRow >= static_cast<int>(m_pCfg->count)) return TRUE;
  const NvrUser& user = m_pCfg->users[m_nRow];
  EnableDlgItems(this, {IDC_EDIT_NAME, IDC_EDIT_PASSWORD, IDC_EDIT_CONFIRM}, false);
  DlgItem<QLineEdit>(this, IDC_EDIT_NAME)->setText(FieldQText(user.username));
  DlgItem<QLineEdit>(this, IDC_EDIT_PASSWORD)->setText(FieldQText(user.password));
  DlgItem<QLineEdit>(this, IDC_EDIT_CONFIRM)->setText(FieldQText(user.password));
  SetCurSel(this, IDC_COMBO_TYPE, static_cast<int>(user.priority));
  DlgItem<QLineEdit>(this, IDC_EDIT_IP)->setText(QString::fromStdString(IpToString(user.iplimit)));
  return TRUE;
}

QString CDlgUserAdd::Text(int id) const {
  const auto* edit = DlgItem<QLineEdit>(this, id);
  return edit != nullptr ? edit->text() : QString();
}

bool CDlgUserAdd::FocusWhenEmpty(int id) {
  if (!Text(id).isEmpty()) return false;
  if (auto* edit = GetDlgItem(id)) edit->setFocus();
  return true;
}

void CDlgUserAdd::OnOK() {
  if (m_pCfg == nullptr) return;
  const bool modify = m_nRow >= 0 && m_nRow < static_cast<int>(m_pCfg->count);
  // A bound address that is no address would be stored as all ones: refused.
  uint32_t address = 0;
  if (modify) {
    if (FocusWhenEmpty(IDC_EDIT_IP) || RefuseBadAddress(this, {IDC_EDIT_IP}) != 0) return;
    NvrUser& user = m_pCfg->users[m_nRow];
    AddressFromQText(Text(IDC_EDIT_IP), address);
    user.iplimit = address;
    // A type the list does not show (the NVR's own) stays as it is, rather
    // than becoming the first item, the administrator.
    if (const int type = GetCurSel(this, IDC_COMBO_TYPE); type >= 0) user.priority = static_cast<uint32_t>(type);
    CRgbDialog::OnOK();
    return;
  }
  const int type = std::max(GetCurSel(this, IDC_COMBO_TYPE), 0);
  if (m_pCfg->count >= kNvrUsers) {
    HarlenMessage(this, IDS_MSG_USERS_FULL);
    return;
  }
  if (FocusWhenEmpty(IDC_EDIT_NAME) || FocusWhenEmpty(IDC_EDIT_PASSWORD) || FocusWhenEmpty(IDC_EDIT_CONFIRM)) return;
  if (Text(IDC_EDIT_PASSWORD) != Text(IDC_EDIT_CONFIRM)) {
    HarlenMessage(this, IDS_MSG_PASSWORD_DIFFERS);
    return;
  }
  if (FocusWhenEmpty(IDC_EDIT_IP) || RefuseBadAddress(this, {IDC_EDIT_IP}) != 0) return;
  AddressFromQText(Text(IDC_EDIT_IP), address);
  char name[16] = {};
  StoreFieldQText(name, Text(IDC_EDIT_NAME));  // compared as it will be stored
  if (FindUser(*m_pCfg, FieldText(name)) >= 0) {
    HarlenMessage(this, IDS_MSG_USER_EXISTS);
    return;
  }
  AddUser(*m_pCfg, Text(IDC_EDIT_NAME), Text(IDC_EDIT_PASSWORD), address, static_cast<uint32_t>(type));
  CRgbDialog::OnOK();
}
