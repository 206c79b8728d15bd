#include "harlen/pages/channels/dlg_param_config.h"

void CDlgParamConfig::FillFromConfig() {}
