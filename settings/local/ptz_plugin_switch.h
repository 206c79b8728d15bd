// CSettingPtzProtocol: what the PTZ protocol settings do with the PTZ-protocol
// plug-in. Applying protocol 0 with the plug-in on (re)loads "Tarnex.DLL" into
// the main window's plug-in and, when the PTZ panel exists, adds the panel's
// nine auxiliary-switch entries; switching the plug-in off frees it and gives
// the panel back its 40 advanced commands.
#pragma once

class CPtzProtocolPlugin;
class CPTZDlg;

class CSettingPtzProtocol {
 public:
  // `plugin` is the main window's; `panel` the PTZ panel, or null.
  CSettingPtzProtocol(CPtzProtocolPlugin& plugin, CPTZDlg* panel) : m_plugin(plugin), m_pPanel(panel) {}

  // The apply step with the plug-in check box on. Only protocol 0 is the
  // plug-in's; true when the plug-in was loaded.
  bool OnApply(int protocolIndex);
  // The plug-in check box cleared.
  void OnPluginOff();

 private:
  CPtzProtocolPlugin& m_plugin;
  CPTZDlg* m_pPanel;
};
