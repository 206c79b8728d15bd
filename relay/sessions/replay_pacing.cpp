#include "relay/sessions/replay_pacing.h"

#include <algorithm>

namespace replaypace {

namespace {

int AtLeastOne(int ms) { return std::max(ms, kMinIntervalMs); }
int Fps(int fps) { return std::max(fps, 1); }

}  // namespace

int NormalInterval(int fps) { return AtLeastOne(1000 / Fps(fps)); }

int FileStartInterval(int fps) { return AtLeastOne(1000 / Fps(fps) - 2); }

SpeedSetting FileReplaySpeed(int speed, int fps) {
  const int base = 1000 / Fps(fps);
  SpeedSetting s;
  switch (speed) {
    case 0: s.pause = true; s.factor = 0; return s;
    case 1: s.intervalMs = base; s.speedCode = 21; s.keySkipSeconds = 4.0; s.factor = 1; break;
    case 2: s.intervalMs = base / 2 - 5; s.speedCode = 11; s.keySkipSeconds = 2.0; s.factor = 2; break;
    case 3: s.intervalMs = base / 4; s.speedCode = 6; s.keySkipSeconds = 1.0; s.factor = 4; break;
    case 4: s.intervalMs = base / 8; s.speedCode = 3; s.keySkipSeconds = 0.5; s.factor = 8; break;
    case 5: s.intervalMs = base / 16; s.speedCode = 2; s.keySkipSeconds = 0.25; s.factor = 16; break;
    case 6: s.intervalMs = base / 32; s.speedCode = 1; s.keySkipSeconds = 0.125; s.factor = 32; break;
    case 7: s.intervalMs = base * 2; s.speedCode = 41; s.keySkipSeconds = 8.0; s.factor = 0; break;
    case 8: s.intervalMs = base * 4; s.speedCode = 81; s.keySkipSeconds = 16.0; s.factor = 0; break;
    case 9: s.intervalMs = base * 8; s.speedCode = 161; s.keySkipSeconds = 32.0; s.factor = 0; break;
    case 10: s.intervalMs = base * 16; s.speedCode = 321; s.keySkipSeconds = 64.0; s.factor = 0; break;
    case 11: s.intervalMs = base * 32; s.speedCode = 641; s.keySkipSeconds = 128.0; s.factor = 0; break;
    default: s.intervalMs = base; s.speedCode = 21; s.keepKeySkip = true; s.factor = 1; break;
  }
  s.intervalMs = AtLeastOne(s.intervalMs);
  return s;
}

SpeedSetting DayReplaySpeed(int speed, int fps) {
  const int base = 1000 / Fps(fps);
  SpeedSetting s;
  switch (speed) {
    case 0: s.pause = true; s.factor = 0; return s;
    case 2: s.intervalMs = base / 2; s.keySkipSeconds = 4.0; s.factor = 2; break;
    case 3: s.intervalMs = base / 4; s.keySkipSeconds = 2.0; s.factor = 4; break;
    case 4: s.intervalMs = base / 8; s.keySkipSeconds = 1.0; s.factor = 8; break;
    case 5: s.intervalMs = base / 16; s.keySkipSeconds = 0.5; s.factor = 16; break;
    case 6: s.intervalMs = base / 32; s.keySkipSeconds = 0.25; s.factor = 32; break;
    case 7: s.intervalMs = base * 2; s.keySkipSeconds = 16.0; s.factor = 0; break;
    case 8: s.intervalMs = base * 4; s.keySkipSeconds = 32.0; s.factor = 0; break;
    case 9: s.intervalMs = base * 8; s.keySkipSeconds = 64.0; s.factor = 0; break;
    case 10: s.intervalMs = base * 16; s.keySkipSeconds = 128.0; s.factor = 0; break;
    case 11: s.intervalMs = base * 32; s.keySkipSeconds = 256.0; s.factor = 0; break;
    default: s.intervalMs = base; s.keySkipSeconds = 8.0; s.factor = 1; break;  // 1 and any other
  }
  s.intervalMs = AtLeastOne(s.intervalMs);
  return s;
}

unsigned JumpEntry(long n, long k, bool forward) {
  if (forward) {
    const long target = n + 20;
    return static_cast<unsigned>(target >= k ? std::max(k - 1, 0L) : target);
  }
  const long target = n - 20;
  return static_cast<unsigned>(target < 1 ? 0 : target);
}

}  // namespace replaypace
