#include "harlen/pages/device/holiday_list.h"

#include <algorithm>

#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"

HolidayRowText HolidayRow(const HolidayPeriod& period) {
  switch (period.mode) {
    case kHolidayByDate: {
      const auto& d = period.bydate;
      return {harlenres::LoadString(IDS_HOLIDAY_BY_DATE), QStringLiteral("%1年%2月%3日").arg(d.fromyear).arg(d.frommonth).arg(d.fromday),
              QStringLiteral("%1年%2月%3日").arg(d.toyear).arg(d.tomonth).arg(d.today)};
    }
    case kHolidayByWeek: {
      const auto& w = period.byweek;
      return {harlenres::LoadString(IDS_HOLIDAY_BY_DATE + 1),
              QStringLiteral("%1月第%2周第%3天").arg(w.frommonth).arg(w.fromweek).arg(w.fromweekday),
              QStringLiteral("%1月第%2周第%3天").arg(w.tomonth).arg(w.toweek).arg(w.toweekday)};
    }
    default: {
      const auto& m = period.bymonth;
      return {harlenres::LoadString(IDS_HOLIDAY_BY_MONTH), QStringLiteral("%1月%2日").arg(m.frommonth).arg(m.fromday),
              QStringLiteral("%1月%2日").arg(m.tomonth).arg(m.today)};
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
