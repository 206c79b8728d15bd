#include "harlen/pages/channels/dlg_rec_param.h"

void CDlgRecParam::FillFromConfig() {}
