// The alarm record every alarm travels in: nine signed 32-bit words, whether a
// local device raised it (the device-messaging control's alarm event) or a
// relay peer reported it (the relay library's alarm message); and its time.
#pragma once

#include <cstdint>
#include <string>

#include "gimbro/gimbro.h"

struct RelayAlarmRecord;

// The device-messaging control's record holds the nine words (year, month,
// day, spare, hour, minute, second, type code of alarm_types.h, sub-flag) and
// carries the relay's alarms here too.
using AlarmRecord = GimbroAlarmRecord;

AlarmRecord AlarmRecordOf(const RelayAlarmRecord& alarm);
RelayAlarmRecord RelayRecordOf(const AlarmRecord& alarm);

// Local devices' alarms dated before this year are dated this year.
constexpr int32_t kFirstAlarmYear = 1990;

// The alarm time value: the record's date and time taken as local time (the
// system decides daylight saving), in seconds since 1970-01-01 00:00:00 UTC.
// 64 bits: a date past 2038 keeps its own time. Fields out of their range
// carry over as calendar arithmetic does (second 60 is the next minute).
int64_t AlarmTimeValue(const AlarmRecord& alarm);

// "HH:MM:SS" of the record's time of day.
std::string AlarmTimeText(const AlarmRecord& alarm);

// A time value as local "YYYY-MM-DD HH:MM:SS"; empty when the system cannot
// express it.
std::string FormatAlarmDateTime(int64_t value);

// The day text of a time value as the alarm log's day folders name it,
// "%d-%d-%d" of year, month and day without leading zeros ("2026-1-5").
std::string AlarmDayText(int64_t value);
