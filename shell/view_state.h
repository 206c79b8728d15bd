// What the main window shows, read by the device trees.
#pragma once

#include "shell/module_rights.h"  // the module codes

// Module on the main monitor: 0 live video, 1 record query, 2 alarm info,
// 3 configuration, 4 TV wall, 5 e-map.
extern int g_nCurModule;
// Page of the configuration manager: 0 devices, 1 users, 2 record schemes,
// 3 remote configuration, 4 maintenance; -1 until a page was opened (a new main
// window sets it), so that the first opening of the configuration module
// fills its first page.
extern int g_nCfgPage;
// On in live video, record query and alarm info; off in configuration, TV wall and e-map.
extern int g_bShowChannels;

