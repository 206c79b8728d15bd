// The NVR as a device: section 2 (systemparam), the systemmanage element
// (read with the whole configuration, never sent back) and section 1 (common).
#pragma once

#include <cstdint>

struct MonitorCfg {
  uint8_t resolution;
  uint8_t language;
  uint8_t windowsmode;
  uint8_t patrolenable;
  uint32_t patrolinterval;
  uint8_t brightness;
  uint8_t contrast;
  uint8_t saturation;
  uint8_t chroma;
  uint8_t transparency;
  uint16_t autologoutmin;
};

enum DeviceMode : uint8_t { kMode720P = 1, kMode960P = 2, kMode1080P = 3 };

struct DeviceCfg {
  char name[64];
  char serial[20];
  uint32_t id;
  uint8_t channelnum;
  uint8_t hdnum;
  uint8_t alarmin;
  uint8_t alarmout;
  uint8_t videoSystem;  // 1 NTSC, 0 PAL
  uint32_t supportchl;  // 0 to 4
  uint8_t mode;         // DeviceMode
};

// A daylight-saving change: month and week share a byte as on the NVR; the
// hour has a byte of its own so that every hour of the day (0 to 23) fits.
struct SummerTimePoint {
  uint8_t month : 4;
  uint8_t week : 4;
  uint8_t weekday : 4;
  uint8_t hour;
};

struct SummerTime {
  uint16_t enable;
  uint16_t offset;
  SummerTimePoint start;
  SummerTimePoint end;
};

struct SystemInfo {
  uint32_t compiletime;  // a 32-bit time value
  int32_t timezone;      // -12 to 12
  char mainver[64];
  char guiver[64];
  char hwver[64];
};

struct SystemParam {
  MonitorCfg monitorcfg;
  DeviceCfg devicecfg;
  SummerTime summerTime;
  SystemInfo systeminfo;
};

enum AutoRebootMode : uint32_t { kRebootDisable = 0, kRebootEveryDay = 1, kRebootEveryWeek = 2, kRebootSingleTime = 3 };

struct SystemManage {
  uint32_t mode;  // AutoRebootMode
  // hour and min; for a single time they hold one 32-bit time value together
  // (hour the low half), see SingleTime().
  uint16_t hour;
  uint16_t min;
  uint8_t weekdays;  // bit 0 sunday to bit 6 saturday
  uint32_t nexttime;

  uint32_t SingleTime() const { return static_cast<uint32_t>(hour) | static_cast<uint32_t>(min) << 16; }
  void SetSingleTime(uint32_t time) {
    hour = static_cast<uint16_t>(time);
    min = static_cast<uint16_t>(time >> 16);
  }
};

enum HolidayMode : uint32_t { kHolidayByDate = 0, kHolidayByWeek = 1, kHolidayByMonth = 2 };

struct HolidayPeriod {
  uint32_t mode;  // HolidayMode; the fields below by mode
  union {
    struct {
      uint16_t fromyear;
      uint8_t frommonth;
      uint8_t fromday;
      uint16_t toyear;
      uint8_t tomonth;
      uint8_t today;
    } bydate;
    struct {
      uint8_t frommonth;
      uint8_t fromweek;
      uint8_t fromweekday;
      uint8_t tomonth;
      uint8_t toweek;
      uint8_t toweekday;
    } byweek;
    struct {
      uint8_t frommonth;
      uint8_t fromday;
      uint8_t tomonth;
      uint8_t today;
    } bymonth;
  };
};

constexpr int kHolidayPeriods = 10;
constexpr int kLogFlags = 29;
constexpr uint32_t kDefaultLogLevel = 24;

// The attribute names of the log flags, in record order.
extern const char* const kLogFlagNames[kLogFlags];

struct CommonCfg {
  uint32_t holidayCount;
  HolidayPeriod holidays[kHolidayPeriods];
  uint32_t loglevel[kLogFlags];
  uint32_t setipctime;
};
