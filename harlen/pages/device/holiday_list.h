// The holiday periods of the common record as the holidays page lists and
// changes them (at most kHolidayPeriods, in order).
#pragma once

#include <QString>

#include "harlen/link/sections/system_cfg.h"

struct HolidayRowText {
  QString type;
  QString start;
  QString end;
};

// The type, start and end texts of a period's row.
HolidayRowText HolidayRow(const HolidayPeriod& period);

// The slot a new period is edited in: cleared first, so that the editor never
// shows what an earlier period left there. Null when the list is full.
HolidayPeriod* NewHolidaySlot(CommonCfg& common);
// Removes period `index`; the later ones move down one place. False for an index outside the list.
bool DeleteHoliday(CommonCfg& common, int index);
