// The by-time slots of the record search page: eight for local and NVR days
// (PlaybackStatus) and eight for relay days (VssPlaybackStatus). Slot r belongs
// to row r of the time-line bar; only slots 0 to 6 (the row count) are ever
// taken, slot 7 stays free.
#pragma once

#include <string>

#include "core/dev_info.h"
#include "records/recfile/media_param.h"
#include "records/search/rec_day_map.h"

constexpr int kPlaybackSlots = 8;
constexpr int kPlaybackRowCount = 7;

// A local or NVR day on a row.
struct PlaybackStatus {
  int bPlaying = 0;
  int nRow = -1;          // time-line row; -1 free
  int nPlayer = -1;       // player index; -1 none
  int nYear = 0;
  int nMonth = 0;
  int nDay = 0;
  char szDevKey[32] = {}; // IPAddr, or DevId when logged in through the cloud account
  int nStartSecond = 0;   // start second of the file (or 10-minute piece) being played
  RecDayInfo day;         // the day's map and files
  int nCurFile = -1;      // 1-based index in the day's file list; -1 before the first
  int nChannel = 0;
};

// A relay day on a row.
struct VssPlaybackStatus {
  int bPlaying = 0;
  int nRow = -1;
  int nPlayer = -1;
  int nYear = 0;
  int nMonth = 0;
  int nDay = 0;
  char szDevKey[260] = {};  // the relay channel's MAC text, ':', its IP text
  int nChannel = -1;
  int nStartSecond = 0;
  int nPosSecond = 0;
  char szDayMap[kDayMinutes] = {};
  VideoParam video{};
  AudioParam audio{};
};

// The channel of a device for its day row: the last character of DevName for
// a video server, CurNVRChannel for an NVR channel, else 0.
int DayRowChannel(const DevInfo& dev);

// The device key of a slot, cut to the slot's 31 characters (never split
// inside a double-byte character): DevId after a cloud login, else IPAddr.
void SlotDeviceKey(const DevInfo& dev, bool cloudLogin, char (&key)[32]);

struct PlaybackSlots;

// Where a day plays from a second: the first file (counted from 1) that starts
// after the second (played from its beginning) or that holds it (played from
// second - start).
struct DayFilePick {
  int nIndex = -1;        // 1-based place in the day's file list; -1 none
  int nOffset = 0;        // seconds into the file
  int nStartSecond = 0;   // the file's start second of the day
  std::string strPath;
};
DayFilePick PickDayFile(const RecDayInfo& day, int second);

// The player that a new recording opens on. busy[i]: player i exists and
// plays (or does not exist). The selected player is taken when it is free;
// otherwise the lowest free one. With `slots`, a player that a time-line slot
// holds is never taken. -1 when none qualifies.
int ChoosePlayer(const bool (&busy)[4], int selected, const PlaybackSlots* slots);

struct PlaybackSlots {
  PlaybackStatus pb[kPlaybackSlots];
  VssPlaybackStatus vss[kPlaybackSlots];
  int nNextRow = 0;                  // the next by-time search starts looking here
  int nRowCount = kPlaybackRowCount;

  // The next slot whose two entries are both not playing, looking from the
  // counter on (mod the row count) and stepping the counter past playing ones;
  // -1 when all seven play.
  int FindFreeRow();
  // A used local or NVR row shows the device key and channel already.
  bool ShowsDevice(const char* key, int channel) const;
  // Whether a player plays a slot of either table.
  bool HoldsPlayer(int player) const;
};
