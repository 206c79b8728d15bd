#include "harlen/pages/device/holiday_list.h"

#include <algorithm>

#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"

HolidayRowText HolidayRow(const HolidayPeriod& period) {
  switch (period.mode) {
    case kHolidayByDate: {
      const auto& d = period.bydate;
      return {harlenres::LoadString(IDS_HOLIDAY_BY_DATE),
              harlenres::FormatString(IDS_HOLIDAY_DATE, {d.fromyear, d.frommonth, d.fromday}),
              harlenres::FormatString(IDS_HOLIDAY_DATE, {d.toyear, d.tomonth, d.today})};
    }
    case kHolidayByWeek: {
      const auto& w = period.byweek;
      return {harlenres::LoadString(IDS_HOLIDAY_BY_DATE + 1),
              harlenres::FormatString(IDS_HOLIDAY_WEEK_DAY, {w.frommonth, w.fromweek, w.fromweekday}),
              harlenres::FormatString(IDS_HOLIDAY_WEEK_DAY, {w.tomonth, w.toweek, w.toweekday})};
    }
    default: {
      const auto& m = period.bymonth;
      return {harlenres::LoadString(IDS_HOLIDAY_BY_MONTH),
              harlenres::FormatString(IDS_HOLIDAY_MONTH_DAY, {m.frommonth, m.fromday}),
              harlenres::FormatString(IDS_HOLIDAY_MONTH_DAY, {m.tomonth, m.today})};
    }
  }
}

HolidayPeriod* NewHolidaySlot(CommonCfg& common) {
  if (common.holidayCount >= kHolidayPeriods) return nullptr;
  HolidayPeriod* slot = &common.holidays[common.holidayCount];
  *slot = HolidayPeriod{};
  return slot;
}

bool DeleteHoliday(CommonCfg& common, int index) {
  const int count = static_cast<int>(std::min<uint32_t>(common.holidayCount, kHolidayPeriods));
  if (index < 0 || index >= count) return false;
  std::copy(common.holidays + index + 1, common.holidays + count, common.holidays + index);
  common.holidays[count - 1] = HolidayPeriod{};
  common.holidayCount = static_cast<uint32_t>(count - 1);
  return true;
}
