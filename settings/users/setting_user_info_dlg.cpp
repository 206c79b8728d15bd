#include "settings/users/setting_user_info_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>

#include "core/client_log.h"
#include "core/fixed_text.h"
#include "core/res_msg_dlg.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "settings/config_host.h"
#include "settings/users/account_edit.h"
#include "settings/users/user_list_edit.h"
#include "settings/users/user_page_layout.h"

namespace {

// Messages of the removals, by outcome.
struct RemovalTexts {
  UINT empty, fixed, notFound, done;
};
constexpr RemovalTexts kUserTexts{694, 695, 697, 696};
constexpr RemovalTexts kGroupTexts{680, 719, 683, 682};
constexpr RemovalTexts kRoleTexts{707, 716, 710, 709};
constexpr UINT kAdminHeldText = 695;
constexpr UINT kCaptionSaved = 723;

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

// Control texts by string id.
constexpr std::pair<int, UINT> kTexts[] = {
    {CSettingUserInfoDlg::IDC_GROUP_FRAME, 650},      {CSettingUserInfoDlg::IDC_GROUP_NAME_LABEL, 651},
    {CSettingUserInfoDlg::IDC_GROUP_ROLE_LABEL, 652}, {CSettingUserInfoDlg::IDC_BTN_MODIFY_GROUP, 653},
    {CSettingUserInfoDlg::IDC_BTN_DEL_GROUP, 654},    {CSettingUserInfoDlg::IDC_BTN_ADD_GROUP, 655},
    {CSettingUserInfoDlg::IDC_USER_FRAME, 656},       {CSettingUserInfoDlg::IDC_USER_NAME_LABEL, 657},
    {CSettingUserInfoDlg::IDC_USER_GROUP_LABEL, 658}, {CSettingUserInfoDlg::IDC_PASSWORD_LABEL, 659},
    {CSettingUserInfoDlg::IDC_PASSWORD2_LABEL, 660},  {CSettingUserInfoDlg::IDC_BTN_MODIFY_USER, 661},
    {CSettingUserInfoDlg::IDC_BTN_DEL_USER, 662},     {CSettingUserInfoDlg::IDC_BTN_ADD_USER, 663},
    {CSettingUserInfoDlg::IDC_ROLE_FRAME, 664},       {CSettingUserInfoDlg::IDC_ROLE_NAME_LABEL, 665},
    {CSettingUserInfoDlg::IDC_RIGHTS_LABEL, 666},     {CSettingUserInfoDlg::IDC_RIGHT_PLAY, 667},
    {CSettingUserInfoDlg::IDC_RIGHT_RECORD, 668},     {CSettingUserInfoDlg::IDC_RIGHT_ALARM, 669},
    {CSettingUserInfoDlg::IDC_RIGHT_PTZ, 670},        {CSettingUserInfoDlg::IDC_RIGHT_CONFIG, 671},
    {CSettingUserInfoDlg::IDC_RIGHT_ADVANCED, 672},   {CSettingUserInfoDlg::IDC_BTN_MODIFY_ROLE, 673},
    {CSettingUserInfoDlg::IDC_BTN_DEL_ROLE, 674},     {CSettingUserInfoDlg::IDC_BTN_ADD_ROLE, 675},
    {CSettingUserInfoDlg::IDC_CAPTION_FRAME, 720},    {CSettingUserInfoDlg::IDC_CAPTION_LABEL, 721},
    {CSettingUserInfoDlg::IDC_BTN_SAVE_CAPTION, 722},
};

// What each edit takes: the record fields hold 255 bytes of a name and 99 of
// a password; a text that is longer in GBK bytes is refused when used.
constexpr std::pair<int, int> kEditLimits[] = {
    {CSettingUserInfoDlg::IDC_GROUP_NAME, 255}, {CSettingUserInfoDlg::IDC_USER_NAME, 255},
    {CSettingUserInfoDlg::IDC_PASSWORD, 99},    {CSettingUserInfoDlg::IDC_PASSWORD2, 99},
    {CSettingUserInfoDlg::IDC_ROLE_NAME, 255},
};

void SetCheck(QWidget* box, int value) {
  if (auto* check = qobject_cast<QCheckBox*>(box)) check->setChecked(value != 0);
}

int IsChecked(QWidget* box) {
  auto* check = qobject_cast<QCheckBox*>(box);
  return check != nullptr && check->isChecked() ? 1 : 0;
}

void SelectText(QWidget* combo, const char* text) {
  if (auto* box = qobject_cast<QComboBox*>(combo)) {
    const int index = box->findText(codepage::ToQString(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) box->setCurrentIndex(index);
  }
}

void SelectFirst(QWidget* combo) {
  if (auto* box = qobject_cast<QComboBox*>(combo); box && box->count() > 0) box->setCurrentIndex(0);
}

bool FitsGbk(const QString& text) { return codepage::ToQString(codepage::FromQString(text)) == text; }

}  // namespace

CSettingUserInfoDlg::CSettingUserInfoDlg(QWidget* parent) : CConfigPanel(IDD, parent) {
  m_confirm = [this](const QString& text) {
    return QMessageBox::warning(this, "Vemo", text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
  };
}

BOOL CSettingUserInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMsgDlg = new CResMsgDlg(this);
  FillRoleCombo();
  FillGroupCombo();
  SetTexts();
  for (const auto& [id, limit] : kEditLimits) {
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id))) edit->setMaxLength(limit);
  }
  SetWindowTextW(GetDlgItem(IDC_CAPTION), codepage::ToQString(g_strDispInfo));
  const std::pair<int, void (CSettingUserInfoDlg::*)()> handlers[] = {
      {IDC_BTN_ADD_GROUP, &CSettingUserInfoDlg::OnBnClickedBtnAddGroup},
      {IDC_BTN_DEL_GROUP, &CSettingUserInfoDlg::OnBnClickedBtnDelGroup},
      {IDC_BTN_MODIFY_GROUP, &CSettingUserInfoDlg::OnBnClickedBtnModifyGroup},
      {IDC_BTN_ADD_USER, &CSettingUserInfoDlg::OnBnClickedBtnAddUser},
      {IDC_BTN_DEL_USER, &CSettingUserInfoDlg::OnBnClickedBtnDelUser},
      {IDC_BTN_MODIFY_USER, &CSettingUserInfoDlg::OnBnClickedBtnModifyUser},
      {IDC_BTN_ADD_ROLE, &CSettingUserInfoDlg::OnBnClickedBtnAddRole},
      {IDC_BTN_DEL_ROLE, &CSettingUserInfoDlg::OnBnClickedBtnDelRole},
      {IDC_BTN_MODIFY_ROLE, &CSettingUserInfoDlg::OnBnClickedBtnModifyRole},
      {IDC_BTN_SAVE_CAPTION, &CSettingUserInfoDlg::OnBnClickedBtnSaveDispInfo},
  };
  for (const auto& [id, handler] : handlers) OnClicked(id, [this, h = handler] { (this->*h)(); });
  m_bInited = true;
  return TRUE;
}

void CSettingUserInfoDlg::SetTexts() {
  for (const auto& [id, text] : kTexts) SetWindowTextW(GetDlgItem(id), LoadStringW(text));
}

void CSettingUserInfoDlg::resizeEvent(QResizeEvent* event) {
  CConfigPanel::resizeEvent(event);
  if (!m_bInited) return;
  for (const auto& [id, rect] : UserPageLayout(rect())) {
    if (QWidget* control = GetDlgItem(id)) control->setGeometry(rect);
  }
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

bool CSettingUserInfoDlg::ReadGbk(int id, std::string& out) {
  const QString text = FieldText(id);
  if (!FitsGbk(text)) {
    ShowMsg(kMsgTextNotGbk);
    return false;
  }
  out = codepage::FromQString(text);
  return true;
}

bool CSettingUserInfoDlg::ReadUserForm(UserForm& form) {
  return ReadGbk(IDC_USER_NAME, form.name) && ReadGbk(IDC_USER_GROUP, form.group) &&
         ReadGbk(IDC_PASSWORD, form.password) && ReadGbk(IDC_PASSWORD2, form.confirm);
}

RoleRights CSettingUserInfoDlg::CheckedRights() const {
  RoleRights rights;
  rights.SurPTZ = IsChecked(GetDlgItem(IDC_RIGHT_PLAY));
  rights.Record = IsChecked(GetDlgItem(IDC_RIGHT_RECORD));
  rights.Alarm = IsChecked(GetDlgItem(IDC_RIGHT_ALARM));
  rights.PTZ = IsChecked(GetDlgItem(IDC_RIGHT_PTZ));
  rights.UserManager = IsChecked(GetDlgItem(IDC_RIGHT_CONFIG));
  rights.HighLeve = IsChecked(GetDlgItem(IDC_RIGHT_ADVANCED));
  return rights;
}

AccountLists CSettingUserInfoDlg::Lists() { return {g_lstUserInfo, g_lstGroupInfo, g_lstRoleInfo}; }

void CSettingUserInfoDlg::SetEnabled(std::initializer_list<int> ids, bool enabled) {
  for (int id : ids) {
    if (QWidget* control = GetDlgItem(id)) control->setEnabled(enabled);
  }
}

void CSettingUserInfoDlg::RefreshTrees(bool users, bool roles) {
  if (m_pHost == nullptr) return;
  if (users) m_pHost->RefreshUserList();
  if (roles) m_pHost->RefreshRoleList();
}

void CSettingUserInfoDlg::DisplayUserInfo(const UserInfo* user) {
  m_curUser = user != nullptr ? *user : UserInfo{};
  SetWindowTextW(GetDlgItem(IDC_USER_NAME), codepage::ToQString(m_curUser.UserName));
  SelectText(GetDlgItem(IDC_USER_GROUP), m_curUser.GroupName);
  SetWindowTextW(GetDlgItem(IDC_PASSWORD), codepage::ToQString(m_curUser.Password));
  SetWindowTextW(GetDlgItem(IDC_PASSWORD2), codepage::ToQString(m_curUser.Password));
  // The administrator keeps its name and group.
  SetEnabled({IDC_USER_NAME, IDC_USER_GROUP}, std::string_view(m_curUser.UserName) != "admin");
}

void CSettingUserInfoDlg::DisplayGroupInfo(const GroupInfo* group) {
  m_curGroup = group != nullptr ? *group : GroupInfo{};
  SetWindowTextW(GetDlgItem(IDC_GROUP_NAME), codepage::ToQString(m_curGroup.GroupName));
  SelectText(GetDlgItem(IDC_GROUP_ROLE), m_curGroup.RoleName);
  SelectText(GetDlgItem(IDC_USER_GROUP), m_curGroup.GroupName);
  for (int id : {IDC_USER_NAME, IDC_PASSWORD, IDC_PASSWORD2}) SetWindowTextW(GetDlgItem(id), QString());
  SetEnabled({IDC_USER_NAME, IDC_USER_GROUP}, true);
  SetEnabled({IDC_BTN_MODIFY_GROUP, IDC_BTN_DEL_GROUP}, std::string_view(m_curGroup.GroupName) != "Default");
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
  SetEnabled({IDC_BTN_MODIFY_ROLE, IDC_BTN_DEL_ROLE}, std::string_view(m_curRole.RoleName) != "AdminRole");
}

// The message of an add or modify; on success the page keeps the record as it
// now stands in its list (so that a second change finds it), refills what
// the change touched and saves the file.
template <class Record>
void CSettingUserInfoDlg::Conclude(const AccountResult<Record>& result, Record& current, Refill refill) {
  if (!result.done) return ShowMsg(result.message);
  current = result.record;
  if (refill.groupList) FillGroupCombo();
  if (refill.roleList) FillRoleCombo();
  RefreshTrees(refill.userTree, refill.roleTree);
  ShowMsg(result.message);
  SaveUserInfo();
}

void CSettingUserInfoDlg::OnBnClickedBtnAddGroup() {
  std::string name, role;
  if (!ReadGbk(IDC_GROUP_NAME, name) || !ReadGbk(IDC_GROUP_ROLE, role)) return;
  Conclude(AddGroup(Lists(), name, role), m_curGroup, {true, false, true, false});
}

void CSettingUserInfoDlg::OnBnClickedBtnModifyGroup() {
  std::string name, role;
  if (!ReadGbk(IDC_GROUP_NAME, name) || !ReadGbk(IDC_GROUP_ROLE, role)) return;
  Conclude(ModifyGroup(Lists(), m_curGroup, name, role), m_curGroup, {true, false, true, false});
}

void CSettingUserInfoDlg::OnBnClickedBtnAddUser() {
  UserForm form;
  if (!ReadUserForm(form)) return;
  Conclude(AddUser(Lists(), form), m_curUser, {false, false, true, false});
}

void CSettingUserInfoDlg::OnBnClickedBtnModifyUser() {
  UserForm form;
  if (!ReadUserForm(form)) return;
  Conclude(ModifyUser(Lists(), m_curUser, form, FixedText(g_szCurUser)), m_curUser, {false, false, true, false});
}

void CSettingUserInfoDlg::OnBnClickedBtnAddRole() {
  std::string name;
  if (!ReadGbk(IDC_ROLE_NAME, name)) return;
  Conclude(AddRole(Lists(), name, CheckedRights()), m_curRole, {false, true, false, true});
}

void CSettingUserInfoDlg::OnBnClickedBtnModifyRole() {
  std::string name;
  if (!ReadGbk(IDC_ROLE_NAME, name)) return;
  // Groups and users that named the role follow its new name.
  Conclude(ModifyRole(Lists(), m_curRole, name, CheckedRights()), m_curRole, {false, true, true, true});
}

void CSettingUserInfoDlg::OnBnClickedBtnSaveDispInfo() {
  std::string caption;
  if (!ReadGbk(IDC_CAPTION, caption)) return;
  if (m_pHost != nullptr) {
    m_pHost->SetDispInfo(caption);
  } else {
    g_strDispInfo = caption;
  }
  SaveUserInfo();
  ShowMsg(kCaptionSaved);
}

void CSettingUserInfoDlg::OnBnClickedBtnDelUser() {
  const std::string name = codepage::FromQString(FieldText(IDC_USER_NAME));
  const AccountRemoval result = RemoveUser(g_lstUserInfo, name);
  if (result == AccountRemoval::kRemoved) {
    m_curUser = UserInfo{};
    RefreshTrees(true, false);
  }
  ShowMsg(RemovalText(result, kUserTexts));
  if (result != AccountRemoval::kRemoved) return;
  SaveUserInfo();
  for (int id : {IDC_USER_NAME, IDC_PASSWORD, IDC_PASSWORD2}) SetWindowTextW(GetDlgItem(id), QString());
  SelectFirst(GetDlgItem(IDC_USER_GROUP));
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
  SelectFirst(GetDlgItem(IDC_GROUP_ROLE));
  FillGroupCombo();
  RefreshTrees(true, false);
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
  RefreshTrees(true, true);
  ShowMsg(RemovalText(result, kRoleTexts));
  SaveUserInfo();
  DisplayRoleInfo(nullptr);
}
