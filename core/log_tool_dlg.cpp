#include "core/log_tool_dlg.h"

CLogToolDlg::CLogToolDlg(QWidget* parent) : CDialog(IDD, parent) {}
