// What the local settings pages ask of the main window. The main window hands
// one to the settings dialog; a dialog without one (null) leaves these out.
#pragma once

#include <string>

#include "platform/win_types.h"

class CPTZDlg;
class CPtzProtocolPlugin;

class CLocalSettingsHost {
 public:
  virtual ~CLocalSettingsHost() = default;

  // Shows a text in the main window's message box (CResMsgDlg) of `type`.
  virtual void ShowResMsg(const CStringW& text, int type) = 0;

  // The main window's PTZ-protocol plug-in, which the PTZ panel uses.
  virtual CPtzProtocolPlugin& PtzPluginToLoad() = 0;
  // The PTZ panel, or null while there is none.
  virtual CPTZDlg* PtzPanel() = 0;

  // Gives every player of the record query module (when it exists) its
  // snapshot folder; `kind` 1 for the English interface, else 0.
  virtual void SetSnapPath(int kind, const std::string& folder) = 0;

  // The main live grid and the grid of every extension screen apply the
  // ShowLastFrame setting.
  virtual void ApplyKeepLastFrame() = 0;
  // The extension screens follow the MonitorMode setting: off hides their
  // live grids and stops what they show, bringing a module shown there back
  // into the main window; on shows their grids again.
  virtual void ApplyMonitorMode(bool on) = 0;
};
