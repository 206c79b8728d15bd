#include "alarm_map_wall/alarm/log/alarm_log_reader.h"

#include <tinyxml.h>

#include <cstdlib>
#include <iterator>
#include <string_view>

#include "core/client_log.h"
#include "platform/file_api.h"

namespace {

constexpr char kElement[] = "AlarmLog";

std::string Attribute(const TiXmlElement* e, const char* name) {
  const char* value = e->Attribute(name);
  return value ? value : "";
}

// Takes the AlarmLog elements at the top level of a parsed document.
void TakeElements(const TiXmlNode* parent, std::vector<AlarmLogRecord>& out) {
  for (const TiXmlElement* e = parent->FirstChildElement(kElement); e; e = e->NextSiblingElement(kElement)) {
    out.push_back({Attribute(e, "DevName"), Attribute(e, "DateTime"), Attribute(e, "Type"), Attribute(e, "AlarmInfo")});
  }
}

// --- the writer's own form, read without building a document ---------------
// Every line is empty, a declaration, or one empty element with its
// attributes: `<Name a="v" ... />`. A file in that form (every file the writer
// made) is read here, quickly; anything else goes to the XML parser, which
// gives the same for this form.

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Name(std::string_view& rest) {
  size_t n = 0;
  if (rest.empty() || !IsNameStart(rest[0])) return {};
  while (n < rest.size() && IsNameChar(rest[n])) ++n;
  std::string_view name = rest.substr(0, n);
  rest.remove_prefix(n);
  return name;
}

void SkipBlanks(std::string_view& rest) {
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
}

// The value's text with its entities and character references decoded; false
// for what the quick reader leaves to the XML parser.
bool Decode(std::string_view value, std::string& out) {
  out.clear();
  out.reserve(value.size());
  while (!value.empty()) {
    const size_t amp = value.find('&');
    out.append(value.substr(0, amp));
    if (amp == std::string_view::npos) return true;
    value.remove_prefix(amp);
    const size_t semi = value.find(';');
    if (semi == std::string_view::npos) return false;
    const std::string_view entity = value.substr(1, semi - 1);
    value.remove_prefix(semi + 1);
    if (entity == "amp") out += '&';
    else if (entity == "lt") out += '<';
    else if (entity == "gt") out += '>';
    else if (entity == "quot") out += '"';
    else if (entity == "apos") out += '\'';
    else if (entity.size() >= 2 && entity[0] == '#') {
      const bool hex = entity[1] == 'x';
      const std::string digits(entity.substr(hex ? 2 : 1));
      if (digits.empty() || digits.size() > 3) return false;
      char* end = nullptr;
      const long code = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
      if (*end != '\0' || code <= 0 || code > 0x7F) return false;
      out += static_cast<char>(code);
    } else {
      return false;
    }
  }
  return true;
}

// One line; false when it is not of the writer's form.
bool ParseQuickLine(std::string_view line, std::vector<AlarmLogRecord>& out) {
  SkipBlanks(line);
  while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
  if (line.empty()) return true;
  if (line.substr(0, 5) == "<?xml") return line.find('<', 1) == std::string_view::npos && line.back() == '>';
  if (line.front() != '<') return false;
  line.remove_prefix(1);
  const std::string_view element = Name(line);
  if (element.empty()) return false;
  AlarmLogRecord record;
  bool seen[4] = {};
  while (true) {
    const bool blank = !line.empty() && IsBlank(line.front());
    SkipBlanks(line);
    if (line == "/>") break;
    if (!blank) return false;
    const std::string_view name = Name(line);
    SkipBlanks(line);
    if (name.empty() || line.empty() || line.front() != '=') return false;
    line.remove_prefix(1);
    SkipBlanks(line);
    if (line.empty() || (line.front() != '"' && line.front() != '\'')) return false;
    const char quote = line.front();
    const size_t close = line.find(quote, 1);
    if (close == std::string_view::npos) return false;
    const std::string_view raw = line.substr(1, close - 1);
    line.remove_prefix(close + 1);
    if (raw.find('<') != std::string_view::npos) return false;
    static const char* const kNames[4] = {"DevName", "DateTime", "Type", "AlarmInfo"};
    std::string* const fields[4] = {&record.DevName, &record.DateTime, &record.Type, &record.AlarmInfo};
    for (int i = 0; i < 4; ++i) {
      if (name != kNames[i]) continue;
      if (seen[i] || !Decode(raw, *fields[i])) return false;
      seen[i] = true;
    }
  }
  if (element == kElement) out.push_back(std::move(record));
  return true;
}

bool ParseQuick(std::string_view text, std::vector<AlarmLogRecord>& out) {
  if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return false;  // no document at all
  std::vector<AlarmLogRecord> found;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    if (!ParseQuickLine(text.substr(0, end), found)) return false;
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  out.insert(out.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
  return true;
}

// One document of the text. The texts are GBK, whatever a declaration says:
// legacy encoding passes their bytes through. The parser stops without an
// error at top-level bytes it does not know, so a document is whole only when
// it gave as many alarms as the text holds element starts.
bool ParseAll(const std::string& text, std::vector<AlarmLogRecord>& out) {
  TiXmlDocument doc;
  doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
  if (doc.Error()) return false;
  std::vector<AlarmLogRecord> found;
  TakeElements(&doc, found);
  size_t starts = 0;
  for (size_t at = text.find("<AlarmLog"); at != std::string::npos; at = text.find("<AlarmLog", at + 1)) ++starts;
  if (found.size() < starts) return false;
  out.insert(out.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
  return true;
}

}  // namespace

AlarmDayRead ReadAlarmDayFile(const std::string& path, std::vector<AlarmLogRecord>& out) {
  if (!fileapi::Exists(path)) return AlarmDayRead::kMissing;
  std::string text;
  if (!fileapi::ReadWhole(path, text)) {
    WriteLog(3, "ReadAlarmDayFile: cannot read %s", path.c_str());
    return AlarmDayRead::kUnreadable;
  }
  // A zero byte ends the parser's text: a file holding one is damaged.
  if (text.find('\0') == std::string::npos && (ParseQuick(text, out) || ParseAll(text, out))) return AlarmDayRead::kRead;

  const size_t before = out.size();
  size_t bad = 0;
  std::string_view rest(text);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.empty() || line.substr(0, 2) == "<?") continue;
    if (line.find('\0') != std::string_view::npos || !ParseAll(std::string(line), out)) ++bad;
  }
  const size_t found = out.size() - before;
  WriteLog(3, "ReadAlarmDayFile: %s is damaged: %zu alarms read line by line, %zu lines skipped", path.c_str(),
           found, bad);
  return found > 0 ? AlarmDayRead::kRecovered : AlarmDayRead::kUnreadable;
}
