// What the recording threads take from outside: the local clock and the free
// space of the storage drives. The program uses the system's
// (SystemRecEnvironment); tests hand the threads their own.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "core/time_of_day.h"

// One moment, as the record schedule reads it.
struct RecNow {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int dayOfWeek = 5;        // 1 Sunday .. 7 Saturday
  double epochSeconds = 0;  // the same moment, seconds since 1970

  TimeOfDay Time() const { return TimeOfDay::FromHms(hour, minute, second); }
};

// The local time of `moment`.
RecNow RecNowAt(time_t moment);
// A local date and time (normalised like mktime: day 32 is the next month's 1st).
RecNow RecNowLocal(int year, int month, int day, int hour, int minute, int second);

class IRecEnvironment {
 public:
  virtual ~IRecEnvironment() = default;
  virtual RecNow Now() = 0;
  // Free bytes of the drive of a storage path; false when they cannot be
  // measured (a missing drive, a failed query).
  virtual bool FreeBytes(const std::string& path, uint64_t* bytes) = 0;
  // Whether two storage paths are on one drive (one file system).
  virtual bool SameDrive(const std::string& a, const std::string& b) = 0;
};

// The system clock and the drives of platform/storage_drive.h.
IRecEnvironment& SystemRecEnvironment();

constexpr uint64_t kGiB = 1024ull * 1024 * 1024;
