#include "shell/live_controls.h"

CGimbroCtrl* g_pGimbroCtrl = nullptr;
CGimbroEvents* g_pGimbroEvents = nullptr;
CStrevaCtrl* g_pStrevaCtrl = nullptr;
