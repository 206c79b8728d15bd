#include "harlen/pages/alarm/dlg_alarm_config.h"

void CDlgAlarmConfig::FillFromConfig() {}
