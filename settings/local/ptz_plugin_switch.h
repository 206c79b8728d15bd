// CPtzPluginSwitch: what the PTZ protocol settings do with the PTZ-protocol
// plug-in. Applying protocol 0 (re)loads "Tarnex.DLL" into the main window's
// plug-in and, when the PTZ panel exists, gives the panel its 18 auxiliary
// items at 40 to 57 (replacing those of an earlier apply); switching the
// plug-in off frees it and gives the panel back its 40 advanced commands.
#pragma once

class CPtzProtocolPlugin;
class CPTZDlg;

// What became of the plug-in on an apply.
enum class PtzPluginLoad {
  kNotApplied,  // another protocol: nothing loaded
  kLoaded,      // the module and its export
  kNoExport,    // the module, without GetPtzProtocolData
  kNotLoaded,   // missing, or not a loadable library
};

class CPtzPluginSwitch {
 public:
  // `plugin` is the main window's; `panel` the PTZ panel, or null.
  CPtzPluginSwitch(CPtzProtocolPlugin& plugin, CPTZDlg* panel) : m_plugin(plugin), m_pPanel(panel) {}

  // The apply step with the plug-in check box on; only protocol 0 is the plug-in's.
  PtzPluginLoad OnApply(int protocolIndex);
  // The plug-in check box cleared.
  void OnPluginOff();
  // The plug-in freed; the panel keeps its items.
  void Free();

 private:
  CPtzProtocolPlugin& m_plugin;
  CPTZDlg* m_pPanel;
};
