// Which module the main window opens first for the logged-in user's rights.
#pragma once

// Module codes, as g_nCurModule holds them.
enum MainModule {
  kNoModule = -1,
  kModuleLive = 0,
  kModuleRecord = 1,
  kModuleAlarm = 2,
  kModuleCfg = 3,
  kModuleWall = 4,
  kModuleMap = 5,
};

// Indexes of the rights in g_nCurRights.
enum RightIndex {
  kRightSurPTZ = 0,
  kRightAlarm = 1,
  kRightRecord = 2,
  kRightPTZ = 3,
  kRightUserManager = 4,
  kRightHighLeve = 5,
  kRightWallMap = 6,
};

// Live view with SurPTZ, else record query with Record, else alarm info with
// Alarm, else configuration with UserManager; kNoModule with none of them.
MainModule FirstModuleForRights(const int rights[7]);
