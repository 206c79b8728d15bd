// CSetSwitchStreamDlg: the "Switch Stream" tab of the local settings. Five
// display settings, each changed in memory at the click; "UserInfo.xml"
// receives them at its next rewrite (at the latest when the program ends).
#pragma once

#include "settings/config_panel.h"

class CLocalSettingsHost;

class CSetSwitchStreamDlg : public CConfigPanel {
 public:
  enum { IDD = 335 };
  enum {
    IDC_AUTO_SWITCH = 1367, IDC_SHOW_LAST_FRAME = 1372, IDC_FORMAT_LABEL = 1373, IDC_FMT_BMP = 1374,
    IDC_FMT_JPG = 1375, IDC_FMT_RAW = 1376, IDC_DISPLAY_MODE_LABEL = 1377, IDC_DISPLAY_MODE = 1378,
    IDC_MONITOR_MODE = 1382,
  };

  explicit CSetSwitchStreamDlg(QWidget* parent = nullptr) : CConfigPanel(IDD, parent) {}

  void SetHost(CLocalSettingsHost* host) { m_pHost = host; }

  BOOL OnInitDialog() override;
  void OnBnClickedAutoSwitchStream();
  void OnBnClickedShowLastFrame();
  void OnBnClickedMonitorMode();
  void OnBnClickedFmtBmp();
  void OnBnClickedFmtJpg();
  void OnBnClickedFmtYuv();
  void OnCbnSelchangeDefDisplayMode();

 private:
  int Checked(int id) const;

  CLocalSettingsHost* m_pHost = nullptr;
};
