// Day maps: where the recordings of one device and day lie, minute by minute.
//
// A day map is 1440 letters, letter i for minute i of the day: 'A' a schedule
// recording covers the minute, 'B' an IO-alarm or motion recording, 'C' none.
// Whoever fills a map sets it to 'C' first (ResetDayMap); the builder only adds.
//
// CRecDayMapBuilder fills a day record from the client's own record folders:
// the map, and the list of the day's record files sorted by name. The search
// page, the relay handler of a peer's by-date search and the relay by-date
// replay thread all build their day records with it.
#pragma once

#include <list>
#include <string>

#include "platform/win_types.h"

struct RecSchemeInfo;

constexpr int kDayMinutes = 1440;
constexpr char kDayMapSchedule = 'A';  // schedule recording
constexpr char kDayMapAlarm = 'B';     // IO-alarm or motion recording
constexpr char kDayMapNone = 'C';      // no recording

// One record file of a day.
struct RecDayFile {
  std::string strFilePath;  // full path (ANSI, the program's Windows form)
  int nSeconds = 0;         // length in seconds, 0 when the file does not open
  int nStartSecond = 0;     // hours x 3600 + minutes x 60 + seconds, from the name
};

// The by-date record of one device and day.
struct RecDayInfo {
  char szDevIp[32] = {};             // the device's IPAddr
  WORD wYear = 0;
  WORD wMonth = 0;                   // 1 to 12
  BYTE byDay = 0;                    // 1 to 31
  char szDayMap[kDayMinutes + 1] = {};  // letters, then a zero byte
  std::list<RecDayFile> lstFile;     // sorted by file name
};

// Sets every minute of the map to 'C' and ends it with a zero byte.
void ResetDayMap(char (&szDayMap)[kDayMinutes + 1]);

// Some minute of the 1440 letters is recorded ('A' or 'B'); a map not filled
// yet (zero bytes) has none.
bool DayMapHasRecords(const char* szDayMap);

class CRecDayMapBuilder {
 public:
  // The scheme list is read, never changed; by default the program's own.
  CRecDayMapBuilder();
  explicit CRecDayMapBuilder(const std::list<RecSchemeInfo*>& schemes);

  // Adds the record files of the day of pDay from every scheme that records the
  // device pDay->szDevIp (channel nChannel for devices other than cameras):
  // Schedule files as 'A', then IO and Motion files as 'B', storage path by
  // storage path, later files overwriting earlier letters. Always 1.
  int SearchLocalRecByDate(RecDayInfo* pDay, int nChannel);

  // Adds the record files that `pattern` ("<folder>\*.*") finds: their minutes
  // get `letter`, and each goes into the file list by name.
  void FillDayMapFromFolder(const std::string& pattern, RecDayInfo* pDay, char letter);

  // Length of a record file in whole seconds: its key-frame table's length, or
  // 0 when it does not open.
  static int GetRecFileSeconds(const char* pszFilePath);

 private:
  const std::list<RecSchemeInfo*>& m_lstScheme;
};
