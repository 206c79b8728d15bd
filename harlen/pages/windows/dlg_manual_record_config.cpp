#include "harlen/pages/windows/dlg_manual_record_config.h"

void CDlgManualRecordConfig::ConnectNvr() {}
