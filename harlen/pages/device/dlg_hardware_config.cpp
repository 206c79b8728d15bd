#include "harlen/pages/device/dlg_hardware_config.h"

void CDlgHardwareConfig::ShowFormatProgress(const FormatProgress&) {}

void CDlgHardwareConfig::FillDiskList() {}
