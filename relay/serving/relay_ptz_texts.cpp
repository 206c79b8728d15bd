#include "relay/serving/relay_ptz_texts.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "core/client_log.h"

namespace relayptz {

namespace {

std::string Run(int tabs, int blanks) { return std::string(static_cast<size_t>(tabs), '\t') + std::string(static_cast<size_t>(blanks), ' '); }

// "<xml>", then each part after the separator, then the separator and "</xml>".
std::string Xml(const std::string& separator, std::initializer_list<std::string> parts) {
  std::string text = "<xml>";
  for (const std::string& part : parts) text += separator + part;
  return text + separator + "</xml>";
}

std::string Element(const char* name, const std::string& value) {
  return std::string("<") + name + ">" + value + "</" + name + ">";
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (unsigned char c : text) {
    if (!std::isdigit(c)) return false;
  }
  return true;
}

// The number of a text as atoi reads it.
int Number(const std::string& text) { return std::atoi(text.c_str()); }

bool OneToEight(const std::string& digits) { return AllDigits(digits) && Number(digits) >= 1 && Number(digits) <= 8; }

std::string From(const std::string& text, size_t at, size_t count = std::string::npos) {
  return at < text.size() ? text.substr(at, count) : std::string();
}

std::string SetPresetText(const std::string& cmd, const std::string& preset, const std::string* range) {
  const std::string sep = Run(7, 2);
  if (!range) return Xml(sep, {Element("cmd", cmd), Element("preset", preset), Element("flag", "1")});
  return Xml(sep, {Element("cmd", cmd), Element("preset", preset), Element("flag", "1"), range[0]});
}

bool SetText(const std::string& preset, const PresetContext& context, std::string* text) {
  switch (context.check) {
    case 0:
      if (Number(preset) < 1 || Number(preset) > 255) return false;
      *text = context.pluginLoaded ? std::string() : SetPresetText("setpreset", preset, nullptr);
      return true;
    case 1: {
      // The timed form H#B-E: H before the first '#', B the five characters
      // after it, E the five characters after the first '-'.
      const size_t hash = preset.find('#');
      const size_t dash = preset.find('-');
      if (hash == std::string::npos || dash == std::string::npos) return false;
      const std::string head = preset.substr(0, hash);
      const std::string range[1] = {"<r>" + Element("b", From(preset, hash + 1, 5)) +
                                    Element("e", From(preset, dash + 1, 5)) + "</r>"};
      if (OneToEight(head)) {
        *text = SetPresetText("setpreset", head, range);
      } else if (head.size() > 1 && head[0] == 's' && OneToEight(head.substr(1))) {
        *text = SetPresetText("SetOrbit", head.substr(1), range);
      } else if (head.size() > 1 && head[0] == 'o' && OneToEight(head.substr(1))) {
        *text = SetPresetText("SetScan", head.substr(1), range);
      } else {
        return false;
      }
      return true;
    }
    case 2: {
      if (!context.pluginLoaded) return false;
      std::string made;
      if (!preset.empty() && preset[0] == 's') {
        const char digit = preset.size() > 1 ? preset[1] : '\0';
        const int number = Number(From(preset, 3));
        if (digit < '0' || digit > '7' || !((number >= 1 && number <= 80) || (number >= 100 && number <= 254))) {
          return false;
        }
        if (context.pluginCall) made = context.pluginCall(context.pluginContext, "AddScan", digit - '0', number);
      } else if (!preset.empty() && preset[0] == 't') {
        if (context.pluginCall) made = context.pluginCall(context.pluginContext, "SetScan", Number(From(preset, 2)), 0);
      } else {
        return false;
      }
      if (!context.pluginCall) {
        WriteLog(6, "CPTZDlg::OnMousePTZ: g_pMainDlg->PTZ_GetPtzProtocolData address is null.");
      }
      *text = made;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

std::string DirectionText(unsigned command, unsigned panSpeed, unsigned tiltSpeed) {
  const std::string pan = Element("panspeed", std::to_string(panSpeed));
  const std::string tilt = Element("tiltspeed", std::to_string(tiltSpeed));
  switch (command) {
    case 1: return Xml(Run(8, 3), {Element("cmd", "up"), pan, tilt});
    case 2: return Xml(Run(10, 1), {Element("cmd", "down"), pan, tilt});
    case 3: return Xml(Run(10, 1), {Element("cmd", "left"), pan, tilt});
    case 4: return Xml(Run(10, 1), {Element("cmd", "right"), pan, tilt});
    case 9: return Xml(Run(8, 2), {Element("cmd", "stop")});
    default: break;
  }
  static const char* const kLens[] = {"IrisOpenAutoOff",  "IrisCloseAutoOff", "FocusFarAutoOff",
                                      "FocusNearAutoOff", "zoomtele",         "zoomwide"};
  if (command >= 10 && command <= 15) return Xml(Run(8, 3), {Element("cmd", kLens[command - 10])});
  return {};
}

std::string PresetListText() { return "<xml>\n<cmd>GetPresetList</cmd>\n</xml>"; }

std::string AuxText(unsigned command) {
  static const char* const kWords[] = {
      "BLCOff",    "BLCOn",     "MirrorOff",  "MirrorOn",  "FreezeOff", "FreezeOn",  "StepsZOff", "StepsZOn",
      "ScreenOff", "ScreenOn",  "Min.SenOff", "Min.SenOn", "ILLOff",    "ILLOn",     "CamReset",  "AWBOn",
      "AWBOff",    "RWB",       "BWB",        "MWB",       "GWB",       "InitSet",   "Menu",      "Orbit",
      "OrbitStop", "ScanBegin", "ScanEnd",    "ScanOn",    "ScanOff",   "TrackOn",   "TrackOff",  "PathOn",
      "PathOff",   "Wiper1On",  "Wiper1Off",  "Wiper2On",  "Wiper2Off"};
  if (command < 1 || command > 37) return {};
  const int tabs = command == 28 || command == 29 ? 7 : 6;
  return Xml(Run(tabs, 2), {Element("cmd", kWords[command - 1])});
}

bool PresetText(unsigned action, const std::string& preset, const PresetContext& context, std::string* text) {
  if (!text) return false;
  text->clear();
  switch (action) {
    case kPresetCall:
      if (context.check != 0 || Number(preset) < 1 || Number(preset) > 255) return false;
      if (!context.pluginLoaded) *text = Xml(Run(7, 3), {Element("cmd", "callpreset"), Element("preset", preset)});
      return true;
    case kPresetSet:
      return SetText(preset, context, text);
    case kPresetClear: {
      std::string rest = preset;
      std::string cmd = "clearpreset";
      if (!rest.empty() && rest[0] == 's') {
        rest = rest.substr(1);
        if (OneToEight(rest)) cmd = "DelOrbit";
      }
      if (cmd == "clearpreset" && !rest.empty() && rest[0] == 'o') {
        rest = rest.substr(1);
        if (OneToEight(rest)) cmd = "DelScan";
      }
      *text = Xml(Run(5, 3), {Element("cmd", cmd), Element("preset", rest)});
      return true;
    }
    default:
      return false;
  }
}

}  // namespace relayptz
