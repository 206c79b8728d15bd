// CDlgRemoteConfig: the remote configuration page of the configuration
// manager. It takes the device clicked in the device tree and lets it go when
// the page is hidden.
#pragma once

#include "core/dev_info.h"
#include "settings/config_panel.h"

class CDlgRemoteConfig : public CConfigPanel {
 public:
  enum { IDD = 340 };
  enum { IDC_DEVICE = 1000 };

  explicit CDlgRemoteConfig(QWidget* parent = nullptr) : CConfigPanel(IDD, parent) {}

  // Shows the configuration of a clicked device (null: nothing).
  void ShowRemoteConfig(const DevInfo* dev);
  // Hides what was shown; with `release` set the device is let go as well.
  void HideRemoteConfig(int release);

  // The device shown, null when none.
  const DevInfo* ShownDevice() const { return m_bShown ? &m_dev : nullptr; }


 private:
  DevInfo m_dev;
  bool m_bShown = false;
};
