#include "alarm_map_wall/alarm/log/alarm_log_reader.h"

#include <tinyxml.h>

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
  if (text.find('\0') == std::string::npos && ParseAll(text, out)) return AlarmDayRead::kRead;

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
