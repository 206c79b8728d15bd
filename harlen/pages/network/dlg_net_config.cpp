#include "harlen/pages/network/dlg_net_config.h"

void CDlgNetConfig::FillFromConfig() {}
