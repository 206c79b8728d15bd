// What the configuration manager, its user list and its pages ask of the main
// window. The main window implements it and hands itself to the configuration
// manager; every member is a thin forwarder there. A window without a host
// (null) leaves these calls out.
#pragma once

#include "platform/win_types.h"

struct DevInfo;
struct UserInfo;
struct GroupInfo;
struct RoleInfo;

class CConfigHost {
 public:
  virtual ~CConfigHost() = default;

  // The main window's page members, one per page code (0 devices, 1 users,
  // 2 record schemes, 3 remote configuration, 4 maintenance): set g_nCfgPage,
  // move the configuration manager to its rectangle unless it sits on an
  // extension monitor, CCfgManagerDlg::ShowCfgPage(code), show the manager.
  virtual void ShowCfgPage(int code) = 0;

  // Shows a text in the main window's message box (CResMsgDlg), of `type`.
  virtual void ShowResMsg(const CStringW& text, int type) = 0;

  // Refill the user tree / the role tree of the configuration manager's user list.
  virtual void RefreshUserList() = 0;
  virtual void RefreshRoleList() = 0;

  // Stores the scrolling caption text (the DispInfo setting) and restarts the
  // caption's timer, so that the new text runs at once.
  virtual void SetDispInfo(const CString& text) = 0;

  // Hand the user, group or role chosen in the user list (null: none) to the
  // configuration manager's user page.
  virtual void ShowUserInfo(UserInfo* user) = 0;
  virtual void ShowGroupInfo(GroupInfo* group) = 0;
  virtual void ShowRoleInfo(RoleInfo* role) = 0;

  // Switch the configuration manager's device list panel to the record-scheme tree.
  virtual void ShowRecSchemeTree() = 0;

  // Stores the main window's all-recording flag; when the video toolbar exists
  // its record-all button 1289 follows it (image 330 and tooltip 332 "Stop All
  // Record" while set, else image 331 and tooltip 318 "Start All Record").
  virtual void SetAllRecording(int allRecording) = 0;

  // A device's recording stopped (state 3) or started (2) by a page: told where
  // the recording thread tells its own, to the relay peers and the main
  // window's device images (and a shown record-scheme page).
  virtual void ReportRecordState(const DevInfo& dev, int state) = 0;
};
