#include "harlen/pages/device/device_time.h"

#include "harlen/link/sections/harlen_save_string.h"

bool BuildSetTimeText(const QDateTime& local, int zoneIndex, std::string& text) {
  if (!local.isValid() || zoneIndex < 0 || zoneIndex > 2 * kZoneIndexOfUtc) return false;
  const QDate date = local.date();
  const QTime time = local.time();
  if (date.year() < 0 || date.year() > 0xFFFF) return false;
  DeviceTime record{};
  record.timezone = zoneIndex - kZoneIndexOfUtc;
  record.year = static_cast<uint16_t>(date.year());
  record.month = static_cast<uint16_t>(date.month());
  record.day = static_cast<uint8_t>(date.day());
  record.hour = static_cast<uint8_t>(time.hour());
  record.minute = static_cast<uint8_t>(time.minute());
  record.second = static_cast<uint8_t>(time.second());
  std::string built;
  CHarlenSaveString().SaveCtrlSetTime(record, built);
  if (built.empty()) return false;
  text = std::move(built);
  return true;
}
