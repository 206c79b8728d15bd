#include "alarm_map_wall/alarm/log/alarm_log_format.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "core/fixed_text.h"

namespace {

// True when text[i] and text[i + 1] make one GBK character. A lead byte
// followed by anything but a trail byte stands alone, so that a quote or a
// slash after it is still seen as what it is.
bool GbkPairAt(std::string_view text, size_t i) {
  if (i + 1 >= text.size()) return false;
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  const unsigned char trail = static_cast<unsigned char>(text[i + 1]);
  return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (GbkPairAt(text, i)) {
      out += text.substr(i, 2);
      ++i;
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        if (c < 0x20) {
          char ref[8];
          std::snprintf(ref, sizeof ref, "&#x%X;", c);
          out += ref;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
}

int ReadPart(std::string_view part) { return std::atoi(std::string(part).c_str()); }

}  // namespace

std::string AlarmLogLine(const AlarmLogEntry& entry) {
  std::string line = "<AlarmLog DevName=\"";
  AppendEscaped(line, entry.DevName);
  line += "\" DateTime=\"" + std::to_string(entry.DateTime) + "\" Type=\"" + std::to_string(entry.Type) +
          "\" AlarmInfo=\"";
  AppendEscaped(line, entry.AlarmInfo);
  line += "\" />";
  return line;
}

std::string RelayAlarmLogName(const char* mac, const char* ip) {
  const std::string joined = std::string(mac ? mac : "") + "_" + (ip ? ip : "");
  char name[260] = {};
  CopyFixedText(name, joined.c_str());
  return name;
}

std::string AlarmLogFileName(std::string_view devLogName) {
  std::string out;
  out.reserve(devLogName.size());
  for (size_t i = 0; i < devLogName.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(devLogName[i]);
    if (GbkPairAt(devLogName, i)) {
      out += devLogName.substr(i, 2);
      ++i;
      continue;
    }
    out += (c == ':' || c == '/' || c == '\\') ? '_' : static_cast<char>(c);
  }
  // A dot is never a GBK character's second byte: runs of dots are found bytewise.
  std::string mapped = out;
  for (size_t i = 0; i < out.size(); ++i) {
    const bool run = (i + 1 < out.size() && out[i + 1] == '.') || (i > 0 && out[i - 1] == '.');
    if (out[i] == '.' && run) mapped[i] = '_';
  }
  return mapped;
}

std::string AlarmFolder(const std::string& programFolder) { return programFolder + "Alarm"; }

std::string AlarmDayFolder(const std::string& programFolder, const std::string& dayText) {
  return AlarmFolder(programFolder) + "\\" + dayText;
}

std::string AlarmDayFile(const std::string& programFolder, const std::string& dayText, std::string_view devLogName) {
  return AlarmDayFolder(programFolder, dayText) + "\\" + AlarmLogFileName(devLogName) + ".xml";
}

bool ParseAlarmDayName(std::string_view name, int& year, int& month, int& day) {
  year = month = day = 0;
  const size_t first = name.find('-');
  if (first == std::string_view::npos) return false;
  year = ReadPart(name.substr(0, first));
  const std::string_view rest = name.substr(first + 1);
  const size_t second = rest.find('-');
  month = ReadPart(rest.substr(0, second));
  day = second == std::string_view::npos ? 0 : ReadPart(rest.substr(second + 1));
  return true;
}

int64_t AlarmDayStart(int year, int month, int day) {
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31) return -1;
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}

int64_t AlarmDayStartOf(int64_t value) {
  const std::time_t t = static_cast<std::time_t>(value);
  std::tm tm{};
  if (localtime_r(&t, &tm) == nullptr) return -1;
  tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
  tm.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&tm));
}
