// CSettingPtzProtocol: the "PTZ" tab of the local settings. Switches the
// PTZ-protocol plug-in on or off, keeps the choice in "PtzProtocol.xml" and
// hands the plug-in to the main window, where the PTZ panel uses it. A stored
// choice is applied about a second after start-up.
#pragma once

#include "settings/config_panel.h"

class CLocalSettingsHost;
enum class PtzPluginLoad;

class CSettingPtzProtocol : public CConfigPanel {
 public:
  enum { IDD = 332 };
  enum { IDC_USE_PROTOCOL = 1363, IDC_PROTOCOL = 1365, IDC_SAVE = 1312, IDC_CANCEL = 1001 };
  enum { kApplyTimer = 1001, kApplyDelayMs = 1000 };

  explicit CSettingPtzProtocol(QWidget* parent = nullptr) : CConfigPanel(IDD, parent) {}

  void SetHost(CLocalSettingsHost* host) { m_pHost = host; }

  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  void OnBnClickedCheckProtocol();
  void OnBnClickedSave();
  void OnBnClickedCancel();

 private:
  int Selection() const;
  void SelectNone();
  void SetListEnabled(bool enabled);
  PtzPluginLoad Apply();
  void FreePlugin();
  void ShowMsg(UINT id);

  CLocalSettingsHost* m_pHost = nullptr;
};
