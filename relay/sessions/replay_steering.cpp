#include "relay/sessions/replay_steering.h"

#include "records/recfile/rec_file_reader.h"

using namespace replaypace;

void ReplaySteering::ApplySpeed(const SpeedSetting& setting, DWORD now) {
  factor = setting.factor;
  if (setting.pause) {
    step = true;
    paused = false;
    lastKeyTime = now;
    return;
  }
  intervalMs = setting.intervalMs;
  speedCode = setting.speedCode;
  if (!setting.keepKeySkip) keySkipSeconds = setting.keySkipSeconds;
  paused = false;
  step = false;
}

bool ReplaySteering::ApplyControl(int code, int fps, CRecFileReader& reader, DWORD seconds) {
  bool goOn = true;
  switch (code) {
    case kControlBack20:
    case kControlForward20: {
      const long n = static_cast<long>(reader.GetPosRatio() * seconds);
      reader.SeekKeyFrame(JumpEntry(n, static_cast<long>(seconds), code == kControlForward20));
      intervalMs = NormalInterval(fps);
      speedCode = kNormalSpeedCode;
      break;
    }
    case kControlPause:
      paused = true;
      intervalMs = NormalInterval(fps);
      speedCode = kNormalSpeedCode;
      break;
    case kControlResume:
      paused = false;
      intervalMs = NormalInterval(fps);
      speedCode = kNormalSpeedCode;
      factor = 1;
      break;
    case kControlStop: goOn = false; break;
    case kControlPauseOnly: paused = true; break;
    case kControlContinue: paused = false; break;
    default: break;
  }
  if ((code == kControlBack20 || code == kControlForward20) && paused) {
    // One frame of the new place is shown, then the session pauses again.
    reader.SeekNextKeyFrame();
    step = true;
    paused = false;
  } else {
    step = false;
  }
  return goOn;
}
