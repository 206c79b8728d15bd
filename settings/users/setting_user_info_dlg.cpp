#include "settings/users/setting_user_info_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>

#include "core/res_msg_dlg.h"
#include "core/user_info_store.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "settings/config_host.h"
#include "settings/users/user_list_edit.h"

namespace {

// Messages of the removals, by outcome.
struct RemovalTexts {
  UINT empty, fixed, notFound, done;
};
constexpr RemovalTexts kUserTexts{694, 695, 697, 696};
constexpr RemovalTexts kGroupTexts{680, 719, 683, 682};
constexpr RemovalTexts kRoleTexts{707, 716, 710, 709};
constexpr UINT kAdminHeldText = 695;

UINT RemovalText(AccountRemoval result, const RemovalTexts& texts) {
  switch (result) {
    case AccountRemoval::kRemoved: return texts.done;
    case AccountRemoval::kEmptyName: return texts.empty;
    case AccountRemoval::kProtected: return texts.fixed;
    case AccountRemoval::kHoldsAdmin: return kAdminHeldText;
    case AccountRemoval::kNotFound: return texts.notFound;
  }
  return texts.notFound;
}

void SetCheck(QWidget* box, int value) {
  if (auto* check = qobject_cast<QCheckBox*>(box)) check->setChecked(value != 0);
}

void SelectText(QWidget* combo, const char* text) {
  if (auto* box = qobject_cast<QComboBox*>(combo)) {
    const int index = box->findText(codepage::ToQString(text));
    if (index >= 0) box->setCurrentIndex(index);
  }
}

}  // namespace

CSettingUserInfoDlg::CSettingUserInfoDlg(QWidget* parent) : CConfigPanel(IDD, parent) {
  m_confirm = [this](const QString& text) {
    return QMessageBox::warning(this, "Vemo", text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
  };
}

BOOL CSettingUserInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMsgDlg = new CResMsgDlg(this);
  FillGroupCombo();
  FillRoleCombo();
  OnClicked(IDC_BTN_DEL_USER, [this] { OnBnClickedBtnDelUser(); });
  OnClicked(IDC_BTN_DEL_GROUP, [this] { OnBnClickedBtnDelGroup(); });
  OnClicked(IDC_BTN_DEL_ROLE, [this] { OnBnClickedBtnDelRole(); });
  return TRUE;
}

void CSettingUserInfoDlg::FillGroupCombo() {
  if (auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_USER_GROUP))) {
    combo->clear();
    for (const GroupInfo& group : g_lstGroupInfo) combo->addItem(codepage::ToQString(group.GroupName));
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
  }
}

void CSettingUserInfoDlg::FillRoleCombo() {
  if (auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_GROUP_ROLE))) {
    combo->clear();
    for (const RoleInfo& role : g_lstRoleInfo) combo->addItem(codepage::ToQString(role.RoleName));
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
  }
}

void CSettingUserInfoDlg::ShowMsg(UINT id) { m_pMsgDlg->ShowMsg(LoadStringW(id).toStdWString(), 2); }

QString CSettingUserInfoDlg::FieldText(int id) const { return GetWindowTextW(GetDlgItem(id)); }

void CSettingUserInfoDlg::DisplayUserInfo(const UserInfo* user) {
  m_curUser = user != nullptr ? *user : UserInfo{};
  SetWindowTextW(GetDlgItem(IDC_USER_NAME), codepage::ToQString(m_curUser.UserName));
  SelectText(GetDlgItem(IDC_USER_GROUP), m_curUser.GroupName);
  SetWindowTextW(GetDlgItem(IDC_PASSWORD), codepage::ToQString(m_curUser.Password));
  SetWindowTextW(GetDlgItem(IDC_PASSWORD2), codepage::ToQString(m_curUser.Password));
  // The administrator keeps its name and group.
  const bool admin = std::string_view(m_curUser.UserName) == "admin";
  for (int id : {IDC_USER_NAME, IDC_USER_GROUP})
    if (QWidget* control = GetDlgItem(id)) control->setEnabled(!admin);
}

void CSettingUserInfoDlg::DisplayGroupInfo(const GroupInfo* group) {
  m_curGroup = group != nullptr ? *group : GroupInfo{};
  SetWindowTextW(GetDlgItem(IDC_GROUP_NAME), codepage::ToQString(m_curGroup.GroupName));
  SelectText(GetDlgItem(IDC_GROUP_ROLE), m_curGroup.RoleName);
  SelectText(GetDlgItem(IDC_USER_GROUP), m_curGroup.GroupName);
  for (int id : {IDC_USER_NAME, IDC_PASSWORD, IDC_PASSWORD2}) SetWindowTextW(GetDlgItem(id), QString());
  for (int id : {IDC_USER_NAME, IDC_USER_GROUP})
    if (QWidget* control = GetDlgItem(id)) control->setEnabled(true);
}

void CSettingUserInfoDlg::DisplayRoleInfo(const RoleInfo* role) {
  m_curRole = role != nullptr ? *role : RoleInfo{};
  SetWindowTextW(GetDlgItem(IDC_ROLE_NAME), codepage::ToQString(m_curRole.RoleName));
  SetCheck(GetDlgItem(IDC_RIGHT_PLAY), m_curRole.SurPTZ);
  SetCheck(GetDlgItem(IDC_RIGHT_RECORD), m_curRole.Record);
  SetCheck(GetDlgItem(IDC_RIGHT_ALARM), m_curRole.Alarm);
  SetCheck(GetDlgItem(IDC_RIGHT_PTZ), m_curRole.PTZ);
  SetCheck(GetDlgItem(IDC_RIGHT_CONFIG), m_curRole.UserManager);
  SetCheck(GetDlgItem(IDC_RIGHT_ADVANCED), m_curRole.HighLeve);
}

void CSettingUserInfoDlg::OnBnClickedBtnDelUser() {
  const std::string name = codepage::FromQString(FieldText(IDC_USER_NAME));
  const AccountRemoval result = RemoveUser(g_lstUserInfo, name);
  if (result == AccountRemoval::kRemoved) {
    m_curUser = UserInfo{};
    if (m_pHost) m_pHost->RefreshUserList();
  }
  ShowMsg(RemovalText(result, kUserTexts));
  if (result != AccountRemoval::kRemoved) return;
  SaveUserInfo();
  for (int id : {IDC_USER_NAME, IDC_PASSWORD, IDC_PASSWORD2}) SetWindowTextW(GetDlgItem(id), QString());
  if (auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_USER_GROUP)); combo && combo->count() > 0)
    combo->setCurrentIndex(0);
}

void CSettingUserInfoDlg::OnBnClickedBtnDelGroup() {
  const std::string name = codepage::FromQString(FieldText(IDC_GROUP_NAME));
  const AccountRemoval result = CheckUserGroupRemoval(g_lstGroupInfo, g_lstUserInfo, name);
  if (result != AccountRemoval::kRemoved) {
    ShowMsg(RemovalText(result, kGroupTexts));
    return;
  }
  if (!m_confirm(LoadStringW(681))) return;
  RemoveUserGroup(g_lstGroupInfo, g_lstUserInfo, name);
  m_curGroup = GroupInfo{};
  SetWindowTextW(GetDlgItem(IDC_GROUP_NAME), QString());
  FillGroupCombo();
  if (m_pHost) m_pHost->RefreshUserList();
  ShowMsg(RemovalText(result, kGroupTexts));
  SaveUserInfo();
}

void CSettingUserInfoDlg::OnBnClickedBtnDelRole() {
  const std::string name = codepage::FromQString(FieldText(IDC_ROLE_NAME));
  const AccountRemoval result = CheckRoleRemoval(g_lstRoleInfo, g_lstGroupInfo, g_lstUserInfo, name);
  if (result != AccountRemoval::kRemoved) {
    ShowMsg(RemovalText(result, kRoleTexts));
    return;
  }
  if (!m_confirm(LoadStringW(708))) return;
  RemoveRole(g_lstRoleInfo, g_lstGroupInfo, g_lstUserInfo, name);
  m_curRole = RoleInfo{};
  FillGroupCombo();
  FillRoleCombo();
  if (m_pHost) {
    m_pHost->RefreshUserList();
    m_pHost->RefreshRoleList();
  }
  ShowMsg(RemovalText(result, kRoleTexts));
  SaveUserInfo();
  DisplayRoleInfo(nullptr);
}
