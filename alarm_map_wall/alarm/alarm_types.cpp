#include "alarm_map_wall/alarm/alarm_types.h"

namespace {

// General codes 1 to 24 (25 depends on the sub-flag). Entries 423 to 425 of
// the string table belong to no code.
constexpr UINT kGeneralStrings[] = {403, 404, 405, 406, 407, 408, 409, 410, 411, 412, 413, 414,
                                    415, 416, 417, 418, 419, 420, 421, 422, 426, 427, 1419, 1420};
constexpr int kIpConflict = 25;
constexpr UINT kIpConflictRaised = 1086;
constexpr UINT kIpConflictCleared = 1087;

struct NvrEntry {
  UINT stringId;
  int soundClass;
};
// NVR codes 0 to 14; a zero string id marks a dropped code.
constexpr NvrEntry kNvr[] = {{0, 0},    {428, 1},  {429, 2},  {430, 3},  {431, 4},
                             {432, 5},  {433, 6},  {434, 7},  {435, 8},  {0, 0},
                             {436, 9},  {437, 10}, {438, 11}, {439, 12}, {444, 13}};
constexpr int kNvrLastCode = 14;

}  // namespace

AlarmKind GeneralAlarmKind(int code, int subFlag) {
  if (code == kIpConflict) return {false, subFlag != 0 ? kIpConflictRaised : kIpConflictCleared, code};
  if (code < 1 || code > 24) return {};
  return {false, kGeneralStrings[code - 1], code};
}

AlarmKind NvrAlarmKind(int code) {
  if (code > kNvrLastCode) return {false, 0, 0};
  if (code < 0 || kNvr[code].stringId == 0) return {};
  return {false, kNvr[code].stringId, kNvr[code].soundClass};
}

AlarmKind AlarmKindOf(int devType, int code, int subFlag) {
  return devType == 4 ? NvrAlarmKind(code) : GeneralAlarmKind(code, subFlag);
}

UINT SearchTypeStringId(int code) { return code >= 1 && code <= 20 ? kGeneralStrings[code - 1] : 0; }

UINT AlarmSoundTimer(int soundClass) {
  switch (soundClass) {
    case 12: case 13: case 14: case 20: case 21: case 22: return 100;
    case 10: case 11: case 15: case 16: case 17: return 200;
    case 6: case 7: case 8: case 9: return 300;
    case 1: case 2: case 3: case 4: case 5: return 400;
    case 0: case 18: case 19: return 500;
    default: return 0;
  }
}

int AlarmSoundSlot(UINT timerId) {
  for (int i = 0; i < kAlarmSoundCount; ++i) {
    if (kAlarmSoundTimers[i] == timerId) return i;
  }
  return -1;
}

const char* AlarmSoundFile(int slot) {
  static const char* const kFiles[kAlarmSoundCount] = {"Alarm1.wav", "Alarm2.wav", "Alarm3.wav", "Alarm4.wav",
                                                       "Alarm5.wav"};
  return slot >= 0 && slot < kAlarmSoundCount ? kFiles[slot] : nullptr;
}
