// CSettingUserInfoDlg: the user, group and role page of the configuration
// manager. It shows the user, group or role chosen in the user list and
// removes users, groups and roles of the account lists, saving "UserInfo.xml"
// after every change; the user "admin" and the group and role "default" are
// never removed. Messages appear in the page's own message box (type 2).
#pragma once

#include <functional>

#include "core/user_info.h"
#include "settings/config_panel.h"

class CConfigHost;
class CResMsgDlg;
class QComboBox;
class QString;

class CSettingUserInfoDlg : public CConfigPanel {
 public:
  enum { IDD = 144 };
  enum {
    IDC_GROUP_NAME = 1099, IDC_GROUP_ROLE = 1079, IDC_BTN_DEL_GROUP = 1081,
    IDC_USER_NAME = 1083, IDC_USER_GROUP = 1085, IDC_PASSWORD = 1084, IDC_PASSWORD2 = 1086, IDC_BTN_DEL_USER = 1088,
    IDC_ROLE_NAME = 1106, IDC_BTN_DEL_ROLE = 1095,
    IDC_RIGHT_PLAY = 1006, IDC_RIGHT_RECORD = 1011, IDC_RIGHT_ALARM = 1090, IDC_RIGHT_PTZ = 1091,
    IDC_RIGHT_CONFIG = 1092, IDC_RIGHT_ADVANCED = 1093,
  };

  explicit CSettingUserInfoDlg(QWidget* parent = nullptr);

  // The main window, told to refill the user list's trees after a removal.
  void SetHost(CConfigHost* host) { m_pHost = host; }
  // Asks before a group or a role is removed with its users; true goes on.
  // By default a warning box with OK and Cancel.
  void SetConfirm(std::function<bool(const QString&)> confirm) { m_confirm = std::move(confirm); }

  // The user, group or role chosen in the user list; null shows an empty record.
  void DisplayUserInfo(const UserInfo* user);
  void DisplayGroupInfo(const GroupInfo* group);
  void DisplayRoleInfo(const RoleInfo* role);

  void OnBnClickedBtnDelUser();
  void OnBnClickedBtnDelGroup();
  void OnBnClickedBtnDelRole();

  BOOL OnInitDialog() override;

 private:
  void FillGroupCombo();
  void FillRoleCombo();
  void ShowMsg(UINT id);
  QString FieldText(int id) const;

  UserInfo m_curUser;
  GroupInfo m_curGroup;
  RoleInfo m_curRole;
  CConfigHost* m_pHost = nullptr;
  CResMsgDlg* m_pMsgDlg = nullptr;
  std::function<bool(const QString&)> m_confirm;
};
