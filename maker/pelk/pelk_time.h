// Date forms that cross the relay: automation dates and SYSTEMTIMEs become one
// locale-free text "YYYY-MM-DD HH:MM:SS" (or year, month and day numbers).
#pragma once

#include <string>

#include "platform/win_types.h"

namespace pelk {

struct CivilTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// An automation date (days since 1899-12-30, time as the fraction), rounded
// to the nearest second.
CivilTime FromAutomationDate(DATE date);
DATE ToAutomationDate(const CivilTime& time);
CivilTime FromSystemTime(const SYSTEMTIME& time);

// "YYYY-MM-DD HH:MM:SS".
std::string FormatTimeText(const CivilTime& time);
// Reads that form back; false for anything else.
bool ParseTimeText(const char* text, CivilTime* time);

}  // namespace pelk
