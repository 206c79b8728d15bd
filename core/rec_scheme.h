// Record schemes: which devices record, where, how long and when.
#pragma once

#include <list>

#include "core/dev_info.h"
#include "core/time_of_day.h"

// One weekly span of a scheme.
struct RecTime {
  int TimeDuration = 0;  // the span's slot
  int DayOfWeek = 0;     // 1 Sunday .. 7 Saturday, 8 every day
  TimeOfDay StartTime;
  TimeOfDay EndTime;
};

// The plain fields of a scheme, as the file carries them.
struct RecSchemeSettings {
  char SchemeName[260] = {};
  char StoragePath1[1024] = {};  // record folders, each ending in a backslash when set
  char StoragePath2[1024] = {};
  char StoragePath3[1024] = {};
  int SaveDate = 0;       // days to keep
  int StorageScheme = 0;  // storage policy
  int OnOff = 0;
  int PreRecTime = 0;
  int RecFileTime = 0;    // file length
  int RecAudio = 0;
  int RecStreamType = 0;  // 1 main, 0 sub-stream
  int StartType = 0;      // schedule, motion, IO
  int DetRecTime = 0;     // record time after a motion detection
};

// A scheme lives on the heap; g_lstRecSchemeInfo holds pointers to them.
struct RecSchemeInfo : RecSchemeSettings {
  std::list<DevInfo> lstDev;      // copies of the devices the scheme records
  std::list<RecTime> lstRecTime;
};

// Guarded by g_csAppData while the recording thread runs.
extern std::list<RecSchemeInfo*> g_lstRecSchemeInfo;
