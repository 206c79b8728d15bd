#include "live/ptz/ptz_command_text.h"

#include <algorithm>
#include <array>

namespace ptz {
namespace {

// Runs of tabs and blanks between the elements. Receivers parse the texts as
// XML, but each form keeps its own run so the bytes stay the same as cameras
// have always received them.
constexpr std::string_view kRunMove = "\t\t\t\t\t\t\t\t   ";   // movement and lens
constexpr std::string_view kRun7x2 = "\t\t\t\t\t\t\t  ";        // stop, set, ScanOn/ScanOff
constexpr std::string_view kRunCall = "\t\t\t\t\t\t\t   ";      // call preset
constexpr std::string_view kRunDelete = "\t\t\t\t\t   ";        // delete
constexpr std::string_view kRunAdvanced = "\t\t\t\t\t\t  ";     // advanced words
constexpr std::string_view kRunBlcOff = "\t\t\t               ";  // "BLCOff" only

constexpr std::array<PtzButton, kPtzButtonCount> kButtons = {{
    {"up", "up", 1, true},
    {"left", "left", 3, true},
    {"right", "right", 4, true},
    {"down", "down", 2, true},
    {"IrisOpenAutoOff", "Iris+", 10, false},
    {"IrisCloseAutoOff", "Iris-", 11, false},
    {"FocusFarAutoOff", "Focus+", 12, false},
    // The zoom buttons give the plug-in the word of the opposite sign.
    {"zoomtele", "Zoom-", 14, false},
    {"FocusNearAutoOff", "Focus-", 13, false},
    {"zoomwide", "Zoom+", 15, false},
}};

constexpr std::array<PtzAdvanced, kPtzAdvancedXmlCount> kAdvanced = {{
    {360, "BLCOff", nullptr},     {361, "BLCOn", nullptr},
    {362, "MirrorOff", nullptr},  {363, "MirrorOn", nullptr},
    {364, "FreezeOff", nullptr},  {365, "FreezeOn", nullptr},
    {366, "StepsZOff", nullptr},  {367, "StepsZOn", nullptr},
    {368, "ScreenOff", nullptr},  {369, "ScreenOn", nullptr},
    {370, "Min.SenOff", nullptr}, {371, "Min.SenOn", nullptr},
    {372, "ILLOff", nullptr},     {373, "ILLOn", nullptr},
    {374, "CamReset", nullptr},   {375, "AWBOn", nullptr},
    {376, "AWBOff", nullptr},     {377, "RWB", nullptr},
    {378, "BWB", nullptr},        {379, "MWB", nullptr},
    {380, "GWB", nullptr},        {381, "InitSet", nullptr},
    {382, "Menu", nullptr},       {389, "Orbit", nullptr},
    {390, "OrbitStop", nullptr},  {391, "ScanBegin", nullptr},
    {392, "ScanEnd", nullptr},    {393, "ScanOn", "AutoScan"},
    {394, "ScanOff", "stop"},     {395, "TrackOn", nullptr},
    {396, "TrackOff", nullptr},   {397, "PathOn", nullptr},
    {398, "PathOff", nullptr},    {399, "Wiper1On", nullptr},
    {423, "Wiper1Off", nullptr},  {424, "Wiper2On", nullptr},
    {425, "Wiper2Off", nullptr},  {1409, "BLCAuto", nullptr},
    {1410, "WDROn", nullptr},     {1411, "WDROff", nullptr},
}};

// Plug-in words of the auxiliary switches, entries 40..57: Open1, Close1, ... Close9.
constexpr std::array<const char*, kPtzAdvancedCount - kPtzAdvancedXmlCount> kAuxiliaryWords = {
    "Open1", "Close1", "Open2", "Close2", "Open3", "Close3", "Open4", "Close4", "Open5",
    "Close5", "Open6", "Close6", "Open7", "Close7", "Open8", "Close8", "Open9", "Close9"};

// Builds "<xml>" run "<cmd>word</cmd>" run ... run "</xml>" from the inner
// elements, each followed by the run.
std::string XmlForm(std::string_view run, std::string_view word,
                    std::initializer_list<std::string_view> inner = {}) {
  std::string text = "<xml>";
  text += run;
  text += "<cmd>";
  text += word;
  text += "</cmd>";
  text += run;
  for (std::string_view element : inner) {
    text += element;
    text += run;
  }
  text += "</xml>";
  return text;
}

std::string Element(std::string_view name, std::string_view value) {
  std::string text = "<";
  text += name;
  text += ">";
  text += value;
  text += "</";
  text += name;
  text += ">";
  return text;
}

std::optional<std::string> Bounded(std::string text) {
  if (text.size() > kPtzCommandTextMax) return std::nullopt;
  return text;
}

}  // namespace

const PtzButton* PtzButtonAt(int index) {
  if (index < 0 || index >= kPtzButtonCount) return nullptr;
  return &kButtons[static_cast<size_t>(index)];
}

std::optional<PtzAdvanced> PtzAdvancedAt(int index) {
  if (index < 0 || index >= kPtzAdvancedCount) return std::nullopt;
  if (index < kPtzAdvancedXmlCount) return kAdvanced[static_cast<size_t>(index)];
  // The auxiliary entries come from the plug-in's settings and have no string id.
  return PtzAdvanced{0, nullptr, kAuxiliaryWords[static_cast<size_t>(index - kPtzAdvancedXmlCount)]};
}

int ClampPtzSpeed(int speed) { return std::clamp(speed, kPtzSpeedMin, kPtzSpeedMax); }

std::optional<std::string> ButtonCommandText(int index, int panSpeed, int tiltSpeed) {
  const PtzButton* button = PtzButtonAt(index);
  if (button == nullptr) return std::nullopt;
  if (button->withSpeeds) return MovementCommandText(button->xmlWord, panSpeed, tiltSpeed);
  return LensCommandText(button->xmlWord);
}

std::string MovementCommandText(std::string_view word, int panSpeed, int tiltSpeed) {
  return XmlForm(kRunMove, word,
                 {Element("panspeed", std::to_string(ClampPtzSpeed(panSpeed))),
                  Element("tiltspeed", std::to_string(ClampPtzSpeed(tiltSpeed)))});
}

std::string LensCommandText(std::string_view word) { return XmlForm(kRunMove, word); }

std::string StopCommandText() { return XmlForm(kRun7x2, "stop"); }

std::optional<std::string> AdvancedCommandText(int index) {
  std::optional<PtzAdvanced> entry = PtzAdvancedAt(index);
  if (!entry || entry->xmlWord == nullptr) return std::nullopt;
  const std::string_view word = entry->xmlWord;
  if (word == "BLCOff") return XmlForm(kRunBlcOff, word);
  if (word == "ScanOn" || word == "ScanOff") return XmlForm(kRun7x2, word);
  return XmlForm(kRunAdvanced, word);
}

std::optional<std::string> SetPresetCommandText(std::string_view preset) {
  return Bounded(XmlForm(kRun7x2, "setpreset", {Element("preset", preset), Element("flag", "1")}));
}

std::optional<std::string> SetTimedCommandText(std::string_view word, std::string_view rule,
                                               std::string_view begin, std::string_view end) {
  const std::string range = "<r>" + Element("b", begin) + Element("e", end) + "</r>";
  return Bounded(
      XmlForm(kRun7x2, word, {Element("preset", rule), Element("flag", "1"), range}));
}

std::optional<std::string> CallPresetCommandText(std::string_view preset) {
  return Bounded(XmlForm(kRunCall, "callpreset", {Element("preset", preset)}));
}

std::optional<std::string> DeleteCommandText(std::string_view word, std::string_view preset) {
  return Bounded(XmlForm(kRunDelete, word, {Element("preset", preset)}));
}

std::optional<std::string> TransCommandText(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "<xml>\n<cmd>trans</cmd>\n<data>";
  for (uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  text += "</data>\n</xml>";
  return Bounded(std::move(text));
}

std::optional<std::string> WrapForNvrChannel(int channel, std::string_view commandText) {
  if (commandText.size() > kPtzCommandTextMax) return std::nullopt;
  std::string text = "<channelid>" + std::to_string(channel) + "</channelid>\n";
  text += commandText;
  return text;
}

std::vector<PresetListEntry> ParsePresetListAnswer(std::string_view answer) {
  std::vector<PresetListEntry> entries;
  size_t start = answer.find('^');
  if (start == std::string_view::npos) return entries;
  ++start;
  for (size_t end = answer.find('^', start); end != std::string_view::npos;
       start = end + 1, end = answer.find('^', start)) {
    std::string_view entry = answer.substr(start, end - start);
    if (entry.empty()) continue;
    entries.push_back({std::string(entry), entry.find('#') != std::string_view::npos});
  }
  return entries;
}

}  // namespace ptz
