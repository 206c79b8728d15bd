// CDlgUserinfoConfig: the users page: the NVR's accounts, edited in the users
// record (added, modified, given rights, deleted), and the users logged in to
// the NVR, asked for with the refresh button.
#pragma once

#include "harlen/link/controls/rgb_page.h"
#include "harlen/link/sections/user_cfg.h"

class QTreeWidget;

class CDlgUserinfoConfig : public CRgbPage {
 public:
  enum { IDD = 116 };
  enum {
    IDC_LIST_USERS = 1108,
    IDC_BTN_RIGHTS = 1109,
    IDC_BTN_DELETE = 1110,
    IDC_BTN_ADD = 1111,
    IDC_BTN_MODIFY = 1112,
    IDC_LIST_ONLINE = 1113,
    IDC_BTN_REFRESH = 1099,
  };

  explicit CDlgUserinfoConfig(QWidget* parent = nullptr) : CRgbPage(IDD, parent) {}

  BOOL OnInitDialog() override;
  // Shows the records of the whole configuration just loaded.
  void FillFromConfig();
  // Shows the users logged in to the NVR (status 4099).
  void FillOnlineUsers(const OnlineUsers& users);

 private:
  int SelectedRow() const;
  void OnRights();
  void OnDelete();
  void OnAdd();
  void OnModify();

  QTreeWidget* m_pUsers = nullptr;
  QTreeWidget* m_pOnline = nullptr;
};
