// CSettingUserInfoDlg: the user, group and role page of the configuration
// manager. It shows the user, group or role chosen in the user list, adds,
// changes and removes users, groups and roles of the account lists (the
// checks and cascades are in account_edit.h and user_list_edit.h), and edits
// the main window's scrolling caption. "UserInfo.xml" is saved after every
// change. Messages appear in the page's own message box (type 2); the two
// removals that take users with them ask first.
#pragma once

#include <functional>

#include "core/user_info.h"
#include "settings/config_panel.h"
#include "settings/users/account_edit.h"

class CConfigHost;
class CResMsgDlg;
class QComboBox;
class QString;

class CSettingUserInfoDlg : public CConfigPanel {
 public:
  enum { IDD = 144 };
  enum {
    IDC_GROUP_FRAME = 1076, IDC_GROUP_NAME_LABEL = 1097, IDC_GROUP_NAME = 1099, IDC_GROUP_ROLE_LABEL = 1098,
    IDC_GROUP_ROLE = 1079, IDC_BTN_ADD_GROUP = 1082, IDC_BTN_DEL_GROUP = 1081, IDC_BTN_MODIFY_GROUP = 1080,
    IDC_USER_FRAME = 1077, IDC_USER_NAME_LABEL = 1100, IDC_USER_NAME = 1083, IDC_USER_GROUP_LABEL = 1101,
    IDC_USER_GROUP = 1085, IDC_PASSWORD_LABEL = 1102, IDC_PASSWORD = 1084, IDC_PASSWORD2_LABEL = 1103,
    IDC_PASSWORD2 = 1086, IDC_BTN_ADD_USER = 1089, IDC_BTN_DEL_USER = 1088, IDC_BTN_MODIFY_USER = 1087,
    IDC_ROLE_FRAME = 1078, IDC_ROLE_NAME_LABEL = 1104, IDC_ROLE_NAME = 1106, IDC_RIGHTS_LABEL = 1105,
    IDC_RIGHT_PLAY = 1006, IDC_RIGHT_RECORD = 1011, IDC_RIGHT_ALARM = 1090, IDC_RIGHT_PTZ = 1091,
    IDC_RIGHT_CONFIG = 1092, IDC_RIGHT_ADVANCED = 1093,
    IDC_BTN_ADD_ROLE = 1096, IDC_BTN_DEL_ROLE = 1095, IDC_BTN_MODIFY_ROLE = 1094,
    IDC_CAPTION_FRAME = 1353, IDC_CAPTION_LABEL = 1354, IDC_CAPTION = 1048, IDC_BTN_SAVE_CAPTION = 1352,
  };

  explicit CSettingUserInfoDlg(QWidget* parent = nullptr);

  // The main window, told to refill the user list's trees after a change and
  // to show the new caption.
  void SetHost(CConfigHost* host) { m_pHost = host; }
  // Asks before a group or a role is removed with its users; true goes on.
  // By default a warning box with OK and Cancel.
  void SetConfirm(std::function<bool(const QString&)> confirm) { m_confirm = std::move(confirm); }

  // The user, group or role chosen in the user list; null shows an empty record.
  void DisplayUserInfo(const UserInfo* user);
  void DisplayGroupInfo(const GroupInfo* group);
  void DisplayRoleInfo(const RoleInfo* role);

  void OnBnClickedBtnAddGroup();
  void OnBnClickedBtnDelGroup();
  void OnBnClickedBtnModifyGroup();
  void OnBnClickedBtnAddUser();
  void OnBnClickedBtnDelUser();
  void OnBnClickedBtnModifyUser();
  void OnBnClickedBtnAddRole();
  void OnBnClickedBtnDelRole();
  void OnBnClickedBtnModifyRole();
  void OnBnClickedBtnSaveDispInfo();

  BOOL OnInitDialog() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetTexts();
  void FillGroupCombo();
  void FillRoleCombo();
  void ShowMsg(UINT id);
  QString FieldText(int id) const;
  // The GBK text of a control, or false (and the message shown) when the
  // text holds characters GBK cannot store.
  bool ReadGbk(int id, std::string& out);
  bool ReadUserForm(UserForm& form);
  RoleRights CheckedRights() const;
  void SetEnabled(std::initializer_list<int> ids, bool enabled);
  void RefreshTrees(bool users, bool roles);
  static AccountLists Lists();
  // What a successful change refills: the two lists of the page, the two trees.
  struct Refill {
    bool groupList, roleList, userTree, roleTree;
  };
  template <class Record>
  void Conclude(const AccountResult<Record>& result, Record& current, Refill refill);

  UserInfo m_curUser;
  GroupInfo m_curGroup;
  RoleInfo m_curRole;
  CConfigHost* m_pHost = nullptr;
  CResMsgDlg* m_pMsgDlg = nullptr;
  std::function<bool(const QString&)> m_confirm;
  bool m_bInited = false;
};
