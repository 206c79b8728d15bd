// What a player's command becomes for the source it plays: a relay file or day
// (the relay library's steering calls, with their speed codes) or an NVR day
// (the device-messaging control's time replay), and the texts and seconds
// that an NVR day replay is started and moved with. Plain logic, no windows.
#pragma once

#include <string>

#include "platform/win_types.h"

namespace replaycmd {

// Player commands (event 4 of the playback control) and their values.
enum : LONG {
  kContinue = 1,
  kPause = 2,
  kStop = 3,
  kSlow = 4,       // 0 step pause, 1 step continue, else the slow-down factor
  kPrevious = 6,
  kNext = 7,
  kFast = 8,       // the speed-up factor
  kSeek = 9,       // seconds from the start of the played piece
  kNormal = 12,
};

// The NVR's replay stop (file and time replays), and its replay state "ended".
constexpr LONG kNvrStop = 7;
constexpr LONG kNvrStateEnded = 7;

// The relay speed code of a factor: 0 normal; slow 2, 4, 8, 16, 32 give 2 to 6;
// fast 2, 4, 8, 16, 32 give 7 to 11; any other factor gives 1.
LONG RelaySlowCode(LONG factor);
LONG RelayFastCode(LONG factor);

// One relay steering call: which one, and its value (speed code or second).
enum class RelayOp { kNone, kContinue, kPause, kStop, kStepPause, kStepContinue, kPrevious, kNext, kSpeed, kSeek };
struct RelayStep {
  RelayOp op = RelayOp::kNone;
  LONG value = 0;
};

// A command for a relay day: a seek goes to the value plus the start second of
// the piece that plays (a second of the day).
RelayStep RelayDayStep(LONG command, LONG value, int startSecond);
// A command for a relay file: a seek keeps its value (seconds into the file).
RelayStep RelayFileStep(LONG command, LONG value);

// NVR days are streamed in 10-minute pieces.
constexpr int kNvrPieceSeconds = 600;

// The start second of the piece that holds a second of the day.
inline int NvrPieceStart(int second) { return second - second % kNvrPieceSeconds; }

// A command for an NVR day: next and previous become seeks of +600 and -600
// seconds; everything else is passed on as it came.
struct NvrStep {
  LONG command = 0;
  LONG value = 0;
};
NvrStep NvrDayStep(LONG command, LONG value);

// A command for an NVR file: the player's stop becomes the NVR's stop (7);
// previous and next have no piece to go to in a single file (as on a local
// file) and, like commands the NVR does not know, become none (kNone); every
// other command is passed on as it came (a seek: seconds into the file).
constexpr LONG kNone = 0;
NvrStep NvrFileStep(LONG command, LONG value);

// The time text of a second of a day, "YYYYMMDDhhmmss".
std::string NvrTimeText(int year, int month, int day, int second);

// Where a seek by `value` seconds lands on an NVR day: relative to the start
// of the piece that holds the cursor's second.
inline int NvrSeekTarget(int cursorSecond, int value) { return NvrPieceStart(cursorSecond) + value; }
// A seek of a whole piece or more moves the slot's piece start by the value.
inline bool NvrSeekMovesPiece(int value) { return value >= kNvrPieceSeconds || value <= -kNvrPieceSeconds; }

// A day at 00:00:00 as an automation date (days since 1899-12-30).
DATE DayDate(int year, int month, int day);

}  // namespace replaycmd
