// CSettingDevInfoDlg: the device page of the configuration manager. It shows
// the device, group or relay server chosen in the device tree in one form.
// Adding, removing and modifying devices and the LAN camera search are not
// on this page yet; OnStopSearch is what the configuration manager calls
// whenever the page is hidden.
#pragma once

#include "core/dev_info.h"
#include "settings/config_panel.h"

class CSettingDevInfoDlg : public CConfigPanel {
 public:
  enum { IDD = 145 };
  enum {
    IDC_GROUP_NAME = 1099, IDC_GROUP_COMBO = 1114, IDC_DEV_NAME = 1054, IDC_DEV_TYPE = 1286,
    IDC_ADDRESS = 1049, IDC_VIDEO_PORT = 1051, IDC_PTZ_PORT = 1053, IDC_LOGIN_NAME = 1050, IDC_PASSWORD = 1052,
  };
  // Items of the device-type combo, in DevType order.
  enum { kTypeDvs = 0, kTypeIpc = 1, kTypeDecoder = 2, kTypeVss = 3, kTypeNvr = 4 };

  explicit CSettingDevInfoDlg(QWidget* parent = nullptr);

  // Fills the form from a clicked device (null: nothing).
  void DisplayDevInfo(const DevInfo* dev);
  // Empties the form for a new device.
  void ClearDevInfo();
  // Shows a relay server by name, read-only.
  void DisplayVssInfo(const CString& name);
  // Shows a clicked device group (null: none).
  void DisplayGroupInfo(const DevGroupInfo* group);
  // Stops the LAN camera search; nothing runs while the page has no search.
  void OnStopSearch();

  const DevInfo& CurDevInfo() const { return m_curDev; }
  const DevGroupInfo& CurGroupInfo() const { return m_curGroup; }
  bool IsSearching() const { return m_bSearching; }

  BOOL OnInitDialog() override;

 private:
  void FillGroupCombo();
  void EnableFields(std::initializer_list<int> ids, bool enable);

  DevInfo m_curDev;
  DevGroupInfo m_curGroup;
  bool m_bSearching = false;
};
