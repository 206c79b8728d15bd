#include "alarm_map_wall/alarm/search_alarm_dlg.h"

CSearchAlarmDlg::CSearchAlarmDlg(QWidget* parent) : CDialog(IDD, parent) {}
