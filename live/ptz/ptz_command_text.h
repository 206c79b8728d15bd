// The pan-tilt-zoom command texts sent to cameras: the XML forms, the words
// of the panel buttons and of the advanced list with their plug-in words and
// relay codes, the NVR channel wrapping, and the reading of a camera's preset
// list answer. Pure text building, no windows: the PTZ panel, the serial
// keyboard and the relay request handlers all build their texts here.
//
// A command text is at most kPtzCommandTextMax characters. Every builder that
// takes free text (preset entries, times, keyboard bytes) refuses a result
// longer than that and returns std::nullopt, so nothing is sent instead of a
// cut-off or overflowing command.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ptz {

// Longest command text a camera takes (its buffer holds 256 bytes with the
// terminating zero).
inline constexpr size_t kPtzCommandTextMax = 255;
// The NVR wrapping goes out in a buffer of this many bytes.
inline constexpr size_t kNvrWrappedTextBuffer = 10240;

// Pan and tilt speeds of the movement texts.
inline constexpr int kPtzSpeedMin = 1;
inline constexpr int kPtzSpeedMax = 10;

// Relay direction code sent with speeds 0 and 0 when a hold button is released.
inline constexpr int kRelayDirectionStop = 9;

// Relay preset operation codes (`Pelk_SetPtzPreset`).
enum class RelayPresetOp : int { Set = 1, Delete = 2, Call = 3 };

// One of the ten hold buttons of the PTZ panel, by panel button index.
struct PtzButton {
  const char* xmlWord;      // "up" ... "zoomwide"
  const char* pluginWord;   // word given to the PTZ-protocol plug-in
  int relayDirectionCode;   // `Pelk_SetPtzDirection` code
  bool withSpeeds;          // movement words carry pan and tilt speeds
};
inline constexpr int kPtzButtonCount = 10;
// The button of panel index 0..9, nullptr for any other index.
const PtzButton* PtzButtonAt(int index);

// One entry of the panel's advanced list, by list index.
struct PtzAdvanced {
  int stringId;             // string table id of the list text
  const char* xmlWord;      // nullptr for the plug-in-only auxiliary entries
  const char* pluginWord;   // nullptr when the entry has no plug-in word
};
inline constexpr int kPtzAdvancedXmlCount = 40;   // entries 0..39 have XML words
inline constexpr int kPtzAdvancedCount = 58;      // 40..57: auxiliary switches 1..9 open/close
// The advanced entry of list index 0..57, std::nullopt for any other index.
std::optional<PtzAdvanced> PtzAdvancedAt(int index);
// Relay advance code of an advanced list index (`Pelk_SetPtzAdvance`).
inline int RelayAdvanceCode(int index) { return index + 1; }

// Clamps a speed into kPtzSpeedMin..kPtzSpeedMax: a movement text never
// carries speed 0 or a speed the camera does not know.
int ClampPtzSpeed(int speed);

// The text a press of panel button `index` sends; speeds are used by the four
// movement words only. std::nullopt for an unknown index.
std::optional<std::string> ButtonCommandText(int index, int panSpeed, int tiltSpeed);
// Movement text for "up", "down", "left" or "right" with clamped speeds.
std::string MovementCommandText(std::string_view word, int panSpeed, int tiltSpeed);
// Lens text for "IrisOpenAutoOff", "zoomtele", ...
std::string LensCommandText(std::string_view word);
// Sent when the mouse button is released after any hold button.
std::string StopCommandText();

// Advanced list entry `index` as XML text; std::nullopt for an index without
// an XML word (the auxiliary entries) or out of range.
std::optional<std::string> AdvancedCommandText(int index);

// Preset forms. `preset` is the decimal preset or rule number, or for the
// delete form the digit or list entry the panel chose; `begin` and
// `end` are "hh:mm". std::nullopt when the text would exceed the maximum.
std::optional<std::string> SetPresetCommandText(std::string_view preset);
// `word` is "setpreset", "SetOrbit" or "SetScan".
std::optional<std::string> SetTimedCommandText(std::string_view word, std::string_view rule,
                                               std::string_view begin, std::string_view end);
std::optional<std::string> CallPresetCommandText(std::string_view preset);
// `word` is "clearpreset", "DelScan" or "DelOrbit".
std::optional<std::string> DeleteCommandText(std::string_view word, std::string_view preset);

// Keyboard pass-through: the bytes as lower-case hexadecimal inside `data`.
std::optional<std::string> TransCommandText(const std::vector<uint8_t>& bytes);

// The preset list request word.
inline constexpr const char* kGetPresetListWord = "GetPresetList";

// "<channelid>%d</channelid>\n%s": the text an NVR channel's pane sends
// instead of the command text itself. A command text over the maximum is
// refused (std::nullopt) rather than wrapped, so the wrapped text always fits
// the kNvrWrappedTextBuffer bytes it is sent in.
std::optional<std::string> WrapForNvrChannel(int channel, std::string_view commandText);

// One entry of a camera's preset list answer.
struct PresetListEntry {
  std::string text;
  bool isRule = false;  // holds "#": a scan or orbit rule, otherwise a plain preset
};
// Reads a preset list answer: entries separated by "^"; everything up to and
// including the first "^" is a header and dropped; each entry ends at its "^",
// so an unterminated tail is not an entry. Empty entries are skipped.
std::vector<PresetListEntry> ParsePresetListAnswer(std::string_view answer);

}  // namespace ptz
