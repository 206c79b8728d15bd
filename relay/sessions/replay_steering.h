// The steering state that both served replays (a file, a day) keep on their
// serving thread, and what a speed request and a control code do to it. The
// pacing numbers come from replay_pacing.h.
#pragma once

#include "platform/win_types.h"
#include "relay/sessions/replay_pacing.h"

class CRecFileReader;

struct ReplaySteering {
  int intervalMs = 40;
  int speedCode = replaypace::kNormalSpeedCode;  // file replays only
  bool paused = false;
  bool step = false;  // pause after the next frame
  double keySkipSeconds = 4.0;
  DWORD lastKeyTime = 0;
  int factor = 1;

  // A speed request's setting, taken at `now`.
  void ApplySpeed(const replaypace::SpeedSetting& setting, DWORD now);
  // A control code on the file the reader plays (K = `seconds`) at `fps`;
  // false for the stop code (5), which the caller ends its loop on.
  bool ApplyControl(int code, int fps, CRecFileReader& reader, DWORD seconds);
};
