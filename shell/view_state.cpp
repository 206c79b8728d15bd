#include "shell/view_state.h"

int g_nCurModule = 0;
int g_nCfgPage = -1;
int g_bShowChannels = 1;
