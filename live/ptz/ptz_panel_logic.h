// The actions of the PTZ panel without its window: which text each press,
// release, preset action and advanced entry builds (the XML forms of
// live/ptz_command_text.h, or the plug-in's text while the PTZ-protocol
// plug-in is loaded), and whom it goes to (CPtzPanelHost). The panel window
// reads its controls and shows the messages these return.
#pragma once

#include <string>
#include <vector>

#include "live/ptz/ptz_panel_host.h"

// Preset validation of a preset text (CPTZDlg::CheckPresetInput): -1 wrong
// form, -2 wrong time, -3 time range crossing another rule of
// `deleteList` (the panel's delete-preset list), 0 plain preset, 1 timed
// rule, 2 plug-in scan text (only with `pluginLoaded`).
int CheckPresetInput(const std::string& text, bool pluginLoaded, const std::vector<std::string>& deleteList);

class CPtzPanelLogic {
 public:
  explicit CPtzPanelLogic(CPtzPanelHost& host) : m_host(host) {}

  // A press of hold button `index` (0..9) with the speed lists' speeds.
  void Press(int index, int panSpeed, int tiltSpeed);
  // The release: the stop text and relay stop, only while a press is held.
  void StopHeld();
  bool IsHolding() const { return m_bHolding; }

  // The advanced entry `index` (-1: none selected).
  void Advance(int index);

  // The preset actions. Each returns the string id of the message to show,
  // 0 for none. `remembered` tells the call action's window to keep the call
  // list's selected index.
  int AddPreset(const std::string& text, const std::vector<std::string>& deleteList);
  struct CallResult {
    int message = 0;
    bool remember = false;
  };
  CallResult CallPreset(const std::string& text, const std::vector<std::string>& deleteList);
  int RemovePreset(const std::string& text);

 private:
  bool PluginLoaded() const;
  // The plug-in's text for `word`; empty (logged with `nullLog`) when the
  // loaded module lacks the export.
  std::string PluginText(const char* word, int arg1, int arg2, const char* nullLog);
  void Send(const std::string& text);

  CPtzPanelHost& m_host;
  bool m_bHolding = false;
};

// String ids of the panel's messages.
enum : int {
  IDS_PTZ_PRESET_RANGE = 383,
  IDS_PTZ_INPUT_ERROR = 384,
  IDS_PTZ_TIME_ERROR = 385,
  IDS_PTZ_TIME_CROSS = 386,
  IDS_PTZ_RULE_RANGE = 387,
  IDS_PTZ_CALL_RANGE = 388,
};
