// The set-time request of the device page: the time picked and the zone
// chosen, as the control text the NVR takes (control code 3).
#pragma once

#include <QDateTime>
#include <string>

// Zone list index 0..24 is UTC-12..UTC+12.
constexpr int kZoneIndexOfUtc = 12;

// The set-time text for `local` in the zone of list index `zoneIndex`: false,
// and nothing built, when the time is not valid or no zone is chosen, so that
// no made-up time is ever sent.
bool BuildSetTimeText(const QDateTime& local, int zoneIndex, std::string& text);
