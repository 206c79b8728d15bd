// The two alarm type tables (devices other than NVRs and every relay peer; the
// NVRs) with the string ids of their texts and their sound classes, and the
// five alarm sounds the classes select.
#pragma once

#include "platform/win_types.h"

struct AlarmKind {
  bool dropped = true;  // no alarm: the record leaves no trace
  UINT stringId = 0;    // the text's string id; 0 for an empty text
  int soundClass = 0;
};

// The general table: codes 1 to 25 (type 25 reads "IP address conflict" while
// the sub-flag is set, "... disappears" when it is 0); the sound class is the
// code. Code 0, codes above 25 and negative codes are dropped.
AlarmKind GeneralAlarmKind(int code, int subFlag);
// The NVR table: codes 1 to 8 and 10 to 14 with renumbered sound classes 1 to
// 13; 0, 9 and negative codes are dropped; 15 and above are kept with an empty
// text and class 0.
AlarmKind NvrAlarmKind(int code);
// The table of a device type (4 NVR, anything else general).
AlarmKind AlarmKindOf(int devType, int code, int subFlag);

// The text of a code as the alarm search shows a log's Type: codes 1 to 20 have
// strings 403 to 422; any other code 0 (no text).
UINT SearchTypeStringId(int code);

// The sounds: five one-second timers of the alarm panel, each playing its
// wave file of the program folder.
constexpr int kAlarmSoundCount = 5;
constexpr UINT kAlarmSoundTimers[kAlarmSoundCount] = {100, 200, 300, 400, 500};
// A sound class's timer; 0 for the silent classes 23 to 25, above 25 and negative.
UINT AlarmSoundTimer(int soundClass);
// The timer's slot 0 to 4, -1 for another id.
int AlarmSoundSlot(UINT timerId);
// "Alarm1.wav" to "Alarm5.wav" by slot.
const char* AlarmSoundFile(int slot);
