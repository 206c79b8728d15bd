// CCfgManagerDlg: the module window of configuration management. It covers
// the left column and the page area of the main window: the tool panel across
// the top, a left column with the device list panel or the user list, and one
// of six settings pages on the right. One page is shown at a time; the
// current page is g_nCfgPage (0 devices, 1 users, 2 record schemes, 3 remote
// configuration, 4 maintenance), which survives module switches.
//
// On the record-scheme page two buttons stand at the top of the page area:
// 1297 switches the default record scheme on or off and recomputes the main
// window's all-recording flag; 1298 ("Detail") shows the record-scheme page.
#pragma once

#include <functional>

#include "settings/config_panel.h"

class CConfigHost;
class CConfigToolDlg;
class CUserListDlg;
class CSettingUserInfoDlg;
class CSettingDevInfoDlg;
class CSettingRecordDlg;
class CSettingLongDlg;
class CDlgRemoteConfig;
class CSettingMaintDlg;
class CImageButton;

// The configuration manager's own device list panel (CDeviceListDlg, template
// 135, host code of the configuration manager) and the three operations the
// manager calls on it. Until the panel is set, an empty placeholder widget
// holds its place in the left column and the operations do nothing.
struct CfgDeviceListPanel {
  QWidget* widget = nullptr;             // the panel, a child of the manager
  std::function<void()> ShowOriginalGroup;  // tree rebuilt and reset to the original groups
  std::function<void()> RefreshDevTree;     // tree rebuilt in its current mode
  std::function<void()> ShowRecSchemeTree;  // the record-scheme tree
};

class CCfgManagerDlg : public CConfigPanel {
 public:
  enum { IDD = 324 };
  enum { IDC_DEFAULT_REC = 1297, IDC_DETAIL = 1298 };

  // `rect`: where the main window places the manager; `host`: the main window (may be null).
  CCfgManagerDlg(const RECT& rect, CConfigHost* host, QWidget* parent = nullptr);
  ~CCfgManagerDlg() override;

  // Puts the device list panel in the left column in place of the placeholder
  // (which is deleted). The manager takes the widget as its child.
  void SetDeviceListPanel(CfgDeviceListPanel panel);
  QWidget* DeviceListWidget() const { return m_devList.widget; }

  // Lays the children out in the client area.
  void ShowPage();
  // Sets g_nCfgPage and makes that page visible, hiding what the others show.
  // Page 0 lays the window out first.
  void ShowCfgPage(int code);

  void SetOnExtScreen(int flag) { m_bOnExtScreen = flag; }
  int IsOnExtScreen() const { return m_bOnExtScreen; }
  void SetMonitorNum(int monitor) { m_nMonitor = monitor; }
  int GetMonitorNum() const { return m_nMonitor; }

  // Caption of button 1297: 253 "Stop Record" when `on`, else 252 "Start Record".
  void SetRecordButtonCaption(int on);
  void OnBnClickedDefaultRec();  // button 1297
  void OnBnClickedDetail();      // button 1298

  CConfigToolDlg* GetToolDlg() const { return m_pToolDlg; }
  CUserListDlg* GetUserListDlg() const { return m_pUserListDlg; }
  CSettingUserInfoDlg* GetUserInfoDlg() const { return m_pUserInfoDlg; }
  CSettingDevInfoDlg* GetDevInfoDlg() const { return m_pDevInfoDlg; }
  CSettingRecordDlg* GetRecordDlg() const { return m_pRecordDlg; }
  CSettingLongDlg* GetLongDlg() const { return m_pLongDlg; }
  CDlgRemoteConfig* GetRemoteConfigDlg() const { return m_pRemoteConfigDlg; }
  CSettingMaintDlg* GetMaintDlg() const { return m_pMaintDlg; }
  CImageButton* GetDefaultRecButton() const;
  CImageButton* GetDetailButton() const;
  RECT GetPageRect() const { return m_rcPage; }

  BOOL OnInitDialog() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void HideDevicePage();
  void HideRemoteConfigPage();
  RECT RecordPageRect() const;

  CConfigToolDlg* m_pToolDlg = nullptr;
  CfgDeviceListPanel m_devList;  // the device list panel: a placeholder until it is set
  CUserListDlg* m_pUserListDlg = nullptr;
  CSettingUserInfoDlg* m_pUserInfoDlg = nullptr;
  CSettingDevInfoDlg* m_pDevInfoDlg = nullptr;
  CSettingRecordDlg* m_pRecordDlg = nullptr;
  CSettingLongDlg* m_pLongDlg = nullptr;
  CDlgRemoteConfig* m_pRemoteConfigDlg = nullptr;
  CSettingMaintDlg* m_pMaintDlg = nullptr;
  int m_bInited = 0;
  int m_bOnExtScreen = 0;
  int m_nMonitor = 0;
  RECT m_rcPage{};
  RECT m_rcCreate;
  CConfigHost* m_pHost;
};
