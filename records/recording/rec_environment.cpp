#include "records/recording/rec_environment.h"

#include "platform/storage_drive.h"

namespace {

class SystemEnvironment : public IRecEnvironment {
 public:
  RecNow Now() override { return RecNowAt(time(nullptr)); }
  bool FreeBytes(const std::string& path, uint64_t* bytes) override { return storage::FreeBytes(path, bytes); }
  bool SameDrive(const std::string& a, const std::string& b) override { return storage::SameDrive(a, b); }
};

}  // namespace

RecNow RecNowAt(time_t moment) {
  struct tm local {};
  localtime_r(&moment, &local);
  RecNow now;
  now.year = local.tm_year + 1900;
  now.month = local.tm_mon + 1;
  now.day = local.tm_mday;
  now.hour = local.tm_hour;
  now.minute = local.tm_min;
  now.second = local.tm_sec;
  now.dayOfWeek = local.tm_wday + 1;
  now.epochSeconds = static_cast<double>(moment);
  return now;
}

RecNow RecNowLocal(int year, int month, int day, int hour, int minute, int second) {
  struct tm local {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return RecNowAt(mktime(&local));
}

IRecEnvironment& SystemRecEnvironment() {
  static SystemEnvironment environment;
  return environment;
}
