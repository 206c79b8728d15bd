#include "live/ptz/ptz_panel_logic.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>

#include "core/client_log.h"
#include "live/ptz/ptz_command_text.h"
#include "live/ptz/ptz_plugin.h"

namespace {

constexpr const char* kPressNullLog = "CPTZDlg::OnMousePTZ: g_pMainDlg->PTZ_GetPtzProtocolData address is null.";
constexpr const char* kAdvanceNullLog =
    "CPTZDlg::OnBnClickedBtnAdvancePtz(): g_pMainDlg->PTZ_GetPtzProtocolData address is null.";

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (unsigned char c : text) {
    if (!std::isdigit(c)) return false;
  }
  return true;
}

// "hh:mm" read as minutes of the day; std::nullopt unless two digits, a colon
// and two digits.
std::optional<int> StrictMinutes(const std::string& time) {
  if (time.size() != 5 || time.find(':') == std::string::npos) return std::nullopt;
  if (!AllDigits(time.substr(0, 2)) || !AllDigits(time.substr(3, 2))) return std::nullopt;
  const int hours = std::atoi(time.substr(0, 2).c_str());
  const int minutes = std::atoi(time.substr(3, 2).c_str());
  if (hours > 23 || minutes > 59) return std::nullopt;
  return hours * 60 + minutes;
}

// A list entry's time, read without further checks.
int LooseMinutes(const std::string& time) {
  const int hours = std::atoi(time.substr(0, std::min<size_t>(2, time.size())).c_str());
  const int minutes = time.size() > 3 ? std::atoi(time.substr(3, 2).c_str()) : 0;
  return hours * 60 + minutes;
}

std::string Sub(const std::string& text, size_t at, size_t count) {
  return at < text.size() ? text.substr(at, count) : std::string();
}

// A decimal text of at most nine digits as a number, else -1.
int SmallNumber(const std::string& text) {
  return AllDigits(text) && text.size() <= 9 ? std::atoi(text.c_str()) : -1;
}

bool IsOrbitOrScan(char c) { return c == 's' || c == 'o'; }

// Plug-in scan text "s<digit>@<number>": the scan number 0..7 and the number
// from the fourth character on; std::nullopt when it is not that form.
struct ScanText {
  int scan;
  std::string tail;
};
std::optional<ScanText> ReadScanText(const std::string& text) {
  if (text.size() < 3 || text[0] != 's' || text[1] < '0' || text[1] > '7') return std::nullopt;
  return ScanText{text[1] - '0', text.substr(3)};
}

bool IsScanPreset(const std::string& tail, int highest) {
  const int n = SmallNumber(tail);
  return (n >= 1 && n <= 80) || (n >= 100 && n <= highest);
}

}  // namespace

int CheckPresetInput(const std::string& text, bool pluginLoaded, const std::vector<std::string>& deleteList) {
  if (pluginLoaded && text.find('@') != std::string::npos) return 2;
  const size_t hash = text.find('#');
  if (hash == std::string::npos) return AllDigits(text) ? 0 : -1;
  const size_t dash = text.find('-');
  if (dash == std::string::npos) return -1;

  const std::string begin = Sub(text, hash + 1, 5);
  const std::string end = Sub(text, dash + 1, 5);
  const auto textBegin = StrictMinutes(begin);
  const auto textEnd = StrictMinutes(end);
  if (!textBegin || !textEnd) return -2;
  WriteLog(6, "strSh=%s, strSm=%s, strEh=%s, strEm=%s", begin.substr(0, 2).c_str(), begin.substr(3, 2).c_str(),
           end.substr(0, 2).c_str(), end.substr(3, 2).c_str());
  if (*textBegin >= *textEnd) return -2;

  for (const std::string& entry : deleteList) {
    const size_t entryHash = entry.find('#');
    if (entryHash == std::string::npos) continue;
    if (text.substr(0, 2) == entry.substr(0, 2)) return 1;  // the same rule set again
    const int eb = LooseMinutes(Sub(entry, entryHash + 1, 5));
    const int ee = LooseMinutes(Sub(entry, entryHash + 7, 5));
    const int tb = *textBegin;
    const int te = *textEnd;
    const bool cross = (eb < tb && tb < ee) || (tb == eb && tb < ee) || (eb < te && te < ee) ||
                       (eb < te && te == ee) || (tb < eb && te > ee);
    if (!cross) continue;
    WriteLog(6, "strData.Left(1)=%s,  str.Left(1)=%s", text.substr(0, 1).c_str(), entry.substr(0, 1).c_str());
    if (IsOrbitOrScan(text[0]) == IsOrbitOrScan(entry[0])) return -3;
  }
  return 1;
}

bool CPtzPanelLogic::PluginLoaded() const { return m_host.PtzPlugin().IsLoaded(); }

std::string CPtzPanelLogic::PluginText(const char* word, int arg1, int arg2, const char* nullLog) {
  const CPtzProtocolPlugin& plugin = m_host.PtzPlugin();
  if (!plugin.Function()) {
    WriteLog(3, "%s", nullLog);
    return {};
  }
  return plugin.Call(m_host.GetSelectedPtzAddr(), word, arg1, arg2);
}

void CPtzPanelLogic::Send(const std::string& text) {
  if (!text.empty()) m_host.SendPtzXml(text);
}

void CPtzPanelLogic::Press(int index, int panSpeed, int tiltSpeed) {
  const ptz::PtzButton* button = ptz::PtzButtonAt(index);
  if (!button) return;
  std::string text;
  if (PluginLoaded()) {
    if (!m_host.PtzPlugin().Function()) {
      WriteLog(3, "%s", kPressNullLog);
      return;
    }
    text = PluginText(button->pluginWord, panSpeed, tiltSpeed, kPressNullLog);
  } else {
    text = ptz::ButtonCommandText(index, panSpeed, tiltSpeed).value_or(std::string());
  }
  static constexpr const char* kActions[ptz::kPtzButtonCount] = {
      "Action: PTZ up, %s",      "Action: PTZ left, %s",      "Action: PTZ right, %s",
      "Action: PTZ down, %s",    "Action: Iris+, cmd=%s",     "Action: Iris-, cmd=%s",
      "Action: Focus+, cmd=%s",  "Action: Zoom+, cmd=%s",     "Action: Focus-, cmd=%s",
      "Action: Zoom-, cmd=%s"};
  WriteLog(6, kActions[index], text.c_str());
  m_bHolding = true;
  if (text.empty()) return;
  m_host.SendPtzXml(text);
  m_host.SetRelayPtzDirection(button->relayDirectionCode, panSpeed, tiltSpeed);
}

void CPtzPanelLogic::StopHeld() {
  if (!m_bHolding) return;
  const std::string text = PluginLoaded() ? PluginText("stop", 0, 0, kPressNullLog) : ptz::StopCommandText();
  Send(text);
  m_host.SetRelayPtzDirection(ptz::kRelayDirectionStop, 0, 0);
  m_bHolding = false;
}

void CPtzPanelLogic::Advance(int index) {
  const auto entry = ptz::PtzAdvancedAt(index);
  if (!entry) return;
  std::string text;
  if (entry->xmlWord) {
    if (entry->pluginWord && PluginLoaded()) {
      text = PluginText(entry->pluginWord, 0, 0, kAdvanceNullLog);
    } else {
      text = ptz::AdvancedCommandText(index).value_or(std::string());
    }
  } else if (!PluginLoaded()) {
    WriteLog(3, "CPTZDlg::OnBnClickedBtnAdvancePtz(): g_pMainDlg->m_hPtzDllInst address is null.");
  } else {
    text = PluginText(entry->pluginWord, 0, 0, kAdvanceNullLog);
  }
  if (text.empty()) return;
  WriteLog(6, "Action: advance ptz, PtzCmd=%s", text.c_str());
  m_host.SendPtzXml(text);
  m_host.SetRelayPtzAdvance(ptz::RelayAdvanceCode(index));
}

int CPtzPanelLogic::AddPreset(const std::string& text, const std::vector<std::string>& deleteList) {
  const int kind = CheckPresetInput(text, PluginLoaded(), deleteList);
  if (kind == -1) return IDS_PTZ_INPUT_ERROR;
  if (kind == -2) return IDS_PTZ_TIME_ERROR;
  if (kind == -3) return IDS_PTZ_TIME_CROSS;
  if (m_host.ActivePaneShowsRelay()) {
    m_host.SetRelayPtzPreset(static_cast<int>(ptz::RelayPresetOp::Set), text);
    return 0;
  }
  std::string command;
  if (kind == 0) {
    const int number = SmallNumber(text);
    if (number < 1 || number > 255) return IDS_PTZ_PRESET_RANGE;
    command = PluginLoaded() ? PluginText("Preset", 0, number, kPressNullLog)
                             : ptz::SetPresetCommandText(text).value_or(std::string());
    Send(command);
    WriteLog(6, "Action: set preset number, PtzCmd=%s", command.c_str());
    return 0;
  }
  if (kind == 1) {
    const size_t hash = text.find('#');
    const std::string name = text.substr(0, hash);
    const std::string begin = Sub(text, hash + 1, 5);
    const std::string end = Sub(text, text.find('-') + 1, 5);
    const char* word = nullptr;
    std::string rule;
    if (AllDigits(name)) {
      word = "setpreset";
      rule = name;
    } else if ((name[0] == 's' || name[0] == 'S') && AllDigits(name.substr(1))) {
      word = "SetOrbit";
      rule = name.substr(1);
    } else if ((name[0] == 'o' || name[0] == 'O') && AllDigits(name.substr(1))) {
      word = "SetScan";
      rule = name.substr(1);
    } else {
      return IDS_PTZ_INPUT_ERROR;
    }
    const int number = SmallNumber(rule);
    if (number < 1 || number > 8) return IDS_PTZ_RULE_RANGE;
    command = ptz::SetTimedCommandText(word, rule, begin, end).value_or(std::string());
  } else {
    if (text[0] == 's') {
      const auto scan = ReadScanText(text);
      if (!scan || !IsScanPreset(scan->tail, 254)) return IDS_PTZ_INPUT_ERROR;
      command = PluginText("AddScan", scan->scan, std::atoi(scan->tail.c_str()), kPressNullLog);
    } else if (text[0] == 't') {
      const std::string number = Sub(text, 2, std::string::npos);
      if (SmallNumber(number) < 0) return IDS_PTZ_INPUT_ERROR;
      command = PluginText("SetScan", SmallNumber(number), 0, kPressNullLog);
    } else {
      return IDS_PTZ_INPUT_ERROR;
    }
  }
  WriteLog(6, "Action: set preset number, PtzCmd=%s", command.c_str());
  Send(command);
  return 0;
}

CPtzPanelLogic::CallResult CPtzPanelLogic::CallPreset(const std::string& text,
                                                      const std::vector<std::string>& deleteList) {
  if (text.empty()) return {};
  if (m_host.ActivePaneShowsRelay()) {
    m_host.SetRelayPtzPreset(static_cast<int>(ptz::RelayPresetOp::Call), text);
    return {0, true};
  }
  std::string command;
  const int kind = CheckPresetInput(text, PluginLoaded(), deleteList);
  if (kind == 0) {
    const int number = SmallNumber(text);
    if (number < 1 || number > 255) return {IDS_PTZ_CALL_RANGE, false};
    command = PluginLoaded() ? PluginText("PreCall", 0, number, kPressNullLog)
                             : ptz::CallPresetCommandText(text).value_or(std::string());
  } else if (kind == 2) {
    const auto scan = ReadScanText(text);
    if (!scan || (scan->tail != "act" && scan->tail != "stop")) return {IDS_PTZ_INPUT_ERROR, false};
    command = PluginText(scan->tail == "act" ? "ActScan" : "StopScan", scan->scan, 0, kPressNullLog);
  }
  WriteLog(6, "Action: call preset number, PtzCmd=%s", command.c_str());
  Send(command);
  return {0, true};
}

int CPtzPanelLogic::RemovePreset(const std::string& text) {
  if (text.empty()) {
    WriteLog(6, "CPTZDlg::OnBnClickedBtnDelPreset(): The delete preset number is empty.");
    return 0;
  }
  if (PluginLoaded()) {
    const auto scan = text.find('@') != std::string::npos ? ReadScanText(text) : std::nullopt;
    if (!scan || !IsScanPreset(scan->tail, 255)) return IDS_PTZ_INPUT_ERROR;
    if (m_host.MainPaneShowsRelay()) return 0;
    const std::string command = PluginText("DelScan", scan->scan, std::atoi(scan->tail.c_str()), kPressNullLog);
    WriteLog(6, "Action: set preset number, PtzCmd=%s", command.c_str());
    Send(command);
    return 0;
  }
  if (m_host.ActivePaneShowsRelay()) {
    m_host.SetRelayPtzPreset(static_cast<int>(ptz::RelayPresetOp::Delete), text);
    return 0;
  }
  const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  std::optional<std::string> command;
  if (first == 's' || first == 'o') {
    const std::string rule = Sub(text, 1, 1);
    if (!AllDigits(rule) || rule == "0" || rule == "9") return 0;
    command = ptz::DeleteCommandText(first == 's' ? "DelOrbit" : "DelScan", rule);
  } else {
    command = ptz::DeleteCommandText("clearpreset", text);
  }
  if (!command) return 0;
  WriteLog(6, "Action: delete preset, PtzCmd=%s", command->c_str());
  Send(*command);
  return 0;
}
