// CSettingMaintDlg: the maintenance page of the configuration manager. It
// takes the device clicked in the device tree for maintenance.
#pragma once

#include "core/dev_info.h"
#include "settings/config_panel.h"

class CSettingMaintDlg : public CConfigPanel {
 public:
  enum { IDD = 215 };
  enum { IDC_DEVICE = 1000 };

  explicit CSettingMaintDlg(QWidget* parent = nullptr) : CConfigPanel(IDD, parent) {}

  // Takes a clicked device (null: nothing).
  void DisplayDevInfo(const DevInfo* dev);
  // Forgets the device shown when it has this address (it was removed).
  void RemoveDevice(const char* ipAddr);
  const DevInfo& CurDevInfo() const { return m_dev; }


 private:
  DevInfo m_dev;
};
