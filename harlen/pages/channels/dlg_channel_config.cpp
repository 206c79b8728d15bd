#include "harlen/pages/channels/dlg_channel_config.h"

void CDlgChannelConfig::FillFromConfig() {}
