// The page the configuration module opens on.
#pragma once

// For the main window's switch to the configuration module: the page code to
// open through its page member, or -1 when the manager is only shown on its
// current page. A code outside 0 to 4 opens the record page under a
// cloud-account login (`loginType` not 0) and the device page otherwise; the
// record page (2) is opened again so that it shows the default scheme.
int CfgModulePageToOpen(int cfgPage, int loginType);
