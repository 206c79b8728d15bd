// CSettingLongDlg: the local settings page of the configuration manager. Its
// options live in the system settings; the page itself holds nothing yet.
#pragma once

#include "settings/config_panel.h"

class CSettingLongDlg : public CConfigPanel {
 public:
  enum { IDD = 213 };
  explicit CSettingLongDlg(QWidget* parent = nullptr) : CConfigPanel(IDD, parent) {}
};
