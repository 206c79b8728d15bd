// CUserListDlg: the side panel of the configuration manager's user page: the
// user groups with their users above, the roles below. A click hands the
// chosen user, group or role to the user page through the main window, which
// also asks the panel to refill a tree after an edit.
#pragma once

#include "settings/config_panel.h"

class CConfigHost;
class QTreeWidget;
class QTreeWidgetItem;

class CUserListDlg : public CConfigPanel {
 public:
  enum { IDD = 142 };
  enum { IDC_USER_TREE = 1074, IDC_ROLE_TREE = 1075 };

  explicit CUserListDlg(QWidget* parent = nullptr);

  void SetHost(CConfigHost* host) { m_pHost = host; }

  void RefreshUserList();
  void RefreshRoleList();

  // A click on an item of the user tree / the role tree (null: on no item).
  void OnClickUserTree(QTreeWidgetItem* hit);
  void OnClickRoleTree(QTreeWidgetItem* hit);

  QTreeWidget* UserTree() const;
  QTreeWidget* RoleTree() const;

  BOOL OnInitDialog() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Layout();

  int m_bReady = 0;
  CConfigHost* m_pHost = nullptr;
};
