#include "harlen/pages/device/dlg_holiday_config.h"

void CDlgHolidayConfig::FillFromConfig() {}
