// The PTZ command texts that a relay peer's PTZ requests send to a local
// device. They are this service's own texts: their runs of tabs and blanks
// differ from the PTZ panel's, so they are built here and nowhere else.
#pragma once

#include <string>

namespace relayptz {

// WM_RELAY_PTZ_DIRECTION: commands 1 up, 2 down, 3 left, 4 right (with the pan
// and tilt speeds), 9 stop, 10-15 iris, focus and zoom; any other command an
// empty text.
std::string DirectionText(unsigned command, unsigned panSpeed, unsigned tiltSpeed);

// WM_RELAY_PTZ_PRESET_LIST.
std::string PresetListText();

// WM_RELAY_PTZ_AUX: commands 1 to 37; any other an empty text.
std::string AuxText(unsigned command);

// WM_RELAY_PTZ_PRESET.
enum PresetAction : unsigned { kPresetSet = 1, kPresetClear = 2, kPresetCall = 3 };
// What the PTZ panel's preset check said of the text, and the plug-in.
struct PresetContext {
  int check = -1;               // CheckPresetInput: 0 number, 1 timed form, 2 plug-in form, else invalid
  bool pluginLoaded = false;    // a PTZ-protocol plug-in is loaded
  // The plug-in's text for a word and two numbers; null: the plug-in has no
  // export (its texts are empty).
  std::string (*pluginCall)(void* context, const char* word, int arg1, int arg2) = nullptr;
  void* pluginContext = nullptr;
};
// The text to send, or false when nothing is sent.
bool PresetText(unsigned action, const std::string& preset, const PresetContext& context, std::string* text);

}  // namespace relayptz
