#include "shell/module_rights.h"

MainModule FirstModuleForRights(const int rights[7]) {
  if (rights[kRightSurPTZ]) return kModuleLive;
  if (rights[kRightRecord]) return kModuleRecord;
  if (rights[kRightAlarm]) return kModuleAlarm;
  if (rights[kRightUserManager]) return kModuleCfg;
  return kNoModule;
}
