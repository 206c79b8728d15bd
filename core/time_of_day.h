// A time of day in whole seconds, the form the record schedule uses.
#pragma once

#include <compare>
#include <string>

struct TimeOfDay {
  int seconds = 0;  // 0 .. 86399 since midnight

  static TimeOfDay FromHms(int hour, int minute, int second) {
    return TimeOfDay{hour * 3600 + minute * 60 + second};
  }
  int GetHour() const { return seconds / 3600; }
  int GetMinute() const { return seconds / 60 % 60; }
  int GetSecond() const { return seconds % 60; }
  auto operator<=>(const TimeOfDay&) const = default;
};

// Parses the fixed form "H:M:S" or "H:M" (one or two digits each, hours 0-23,
// minutes and seconds 0-59), whatever the user's locale. A leading date part
// separated by blanks ("2024-05-01 08:30:00") is ignored. False (out unchanged)
// for any other text.
bool ParseTimeOfDay(const char* text, TimeOfDay& out);

// "%H:%M:%S" with two digits each.
std::string FormatTimeOfDay(TimeOfDay time);
