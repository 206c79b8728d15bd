// What a PTZ command text asks of an ONVIF device.
//
// The texts are the program's PTZ command texts: an <xml> element with a <cmd>
// word and its values, possibly after "<channelid>N</channelid>\n". Movements
// become continuous moves: "up", "down", "left" and "right" with their pan and
// tilt speeds 1..10 as velocities 0.1..1, "zoomtele" / "zoomwide" zoom in and
// out, "FocusFarAutoOff" / "FocusNearAutoOff" move the focus, "stop" ends any of
// them. Presets: "setpreset", "callpreset" and "clearpreset" with a preset
// number, and "GetPresetList". Anything else (timed rules, advanced words,
// keyboard pass-through, plug-in output) has no ONVIF counterpart here.
#pragma once

#include <QString>
#include <string>

namespace onvif {

// Speed of zoom and focus moves, which the texts do not give.
constexpr double kLensSpeed = 0.5;

struct PtzAction {
  enum Kind { kMove, kZoom, kFocus, kStop, kSetPreset, kCallPreset, kRemovePreset, kPresetList, kUnsupported };
  Kind kind = kUnsupported;
  double pan = 0, tilt = 0;  // kMove: -1..1, positive = right / up
  double speed = 0;          // kZoom, kFocus: positive = tele / far
  QString preset;            // the preset number as written
  QString word;              // the command word, for the log
};

PtzAction ReadPtzText(const std::string& text);

}  // namespace onvif
