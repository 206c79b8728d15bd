#include "harlen/pages/device/dlg_dev_param_config.h"

void CDlgDevParamConfig::FillFromConfig() {}

void CDlgDevParamConfig::ShowDeviceTime(const DeviceTime&) {}
