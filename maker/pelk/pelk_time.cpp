#include "pelk/pelk_time.h"

#include <cmath>
#include <cstdio>

namespace pelk {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int* year, int* month, int* day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp + (mp < 10 ? 3 : -9);
  *year = static_cast<int>(y + (m <= 2));
  *month = static_cast<int>(m);
  *day = static_cast<int>(d);
}

const long long kAutomationEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

CivilTime FromAutomationDate(DATE date) {
  if (!std::isfinite(date)) date = 0;
  const long long seconds = std::llround(date * 86400.0);
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  CivilTime time;
  CivilFromDays(days + kAutomationEpoch, &time.year, &time.month, &time.day);
  time.hour = static_cast<int>(rest / 3600);
  time.minute = static_cast<int>(rest / 60 % 60);
  time.second = static_cast<int>(rest % 60);
  return time;
}

DATE ToAutomationDate(const CivilTime& time) {
  const long long days = DaysFromCivil(time.year, static_cast<unsigned>(time.month), static_cast<unsigned>(time.day)) -
                         kAutomationEpoch;
  return static_cast<double>(days) + (time.hour * 3600 + time.minute * 60 + time.second) / 86400.0;
}

CivilTime FromSystemTime(const SYSTEMTIME& time) {
  return CivilTime{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond};
}

std::string FormatTimeText(const CivilTime& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                time.minute, time.second);
  return text;
}

bool ParseTimeText(const char* text, CivilTime* time) {
  if (!text) return false;
  CivilTime parsed;
  int consumed = 0;
  if (std::sscanf(text, "%4d-%2d-%2d %2d:%2d:%2d%n", &parsed.year, &parsed.month, &parsed.day, &parsed.hour,
                  &parsed.minute, &parsed.second, &consumed) != 6 ||
      text[consumed] != 0) {
    return false;
  }
  if (parsed.month < 1 || parsed.month > 12 || parsed.day < 1 || parsed.day > 31 || parsed.hour < 0 ||
      parsed.hour > 23 || parsed.minute < 0 || parsed.minute > 59 || parsed.second < 0 || parsed.second > 59) {
    return false;
  }
  *time = parsed;
  return true;
}

}  // namespace pelk
