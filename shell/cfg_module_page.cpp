#include "shell/cfg_module_page.h"

int CfgModulePageToOpen(int cfgPage, int loginType) {
  if (cfgPage < 0 || cfgPage > 4) return loginType != 0 ? 2 : 0;
  return cfgPage == 2 ? 2 : -1;
}
