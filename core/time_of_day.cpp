#include "core/time_of_day.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

// Reads one or two digits; false when there is none.
bool ReadNumber(const char*& p, int& value) {
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
  value = *p++ - '0';
  if (std::isdigit(static_cast<unsigned char>(*p))) value = value * 10 + (*p++ - '0');
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool ParseTimeOfDay(const char* text, TimeOfDay& out) {
  if (!text) return false;
  const char* end = text + std::strlen(text);
  while (end > text && IsBlank(end[-1])) --end;
  // The time is the last blank-separated word.
  const char* p = end;
  while (p > text && !IsBlank(p[-1])) --p;
  int hour = 0, minute = 0, second = 0;
  if (!ReadNumber(p, hour) || *p++ != ':' || !ReadNumber(p, minute)) return false;
  if (p < end) {
    if (*p++ != ':' || !ReadNumber(p, second)) return false;
  }
  if (p != end || hour > 23 || minute > 59 || second > 59) return false;
  out = TimeOfDay::FromHms(hour, minute, second);
  return true;
}

std::string FormatTimeOfDay(TimeOfDay time) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.GetHour(), time.GetMinute(),
                time.GetSecond());
  return text;
}
