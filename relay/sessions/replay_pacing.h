// The pace of a served replay: what a speed request and a control code do to
// the serving thread's frame interval, speed code, key-skip period and speed
// factor. One table for a file replay and one for a day replay; both divide
// integers left to right and never let the frame interval fall below 1 ms
// (fast files at the fast speeds would otherwise reach 0 or less and the
// thread would never wait between frames).
#pragma once

namespace replaypace {

constexpr int kNormalSpeedCode = 21;  // the file replay's speed code at normal speed
constexpr int kMinIntervalMs = 1;

// What one speed request sets. `pause` (speed 0) sets nothing of the rest but
// the factor: the thread pauses after its next frame.
struct SpeedSetting {
  bool pause = false;
  bool keepKeySkip = false;  // the key-skip period stays as it was (an unknown speed of a file replay)
  int intervalMs = 0;
  int speedCode = kNormalSpeedCode;  // file replays only
  double keySkipSeconds = 0;
  int factor = 1;
};

// The file replay's table for speeds 0 to 11 (anything else: normal) at `fps`
// frames per second (below 1 counts as 1).
SpeedSetting FileReplaySpeed(int speed, int fps);
// The day replay's table (its files are paced at 25 frames per second).
SpeedSetting DayReplaySpeed(int speed, int fps);

// 1000 / fps (at least 1 ms), the interval at normal speed after a control code.
int NormalInterval(int fps);
// The interval a file replay starts with: 1000 / fps - 2, at least 1 ms.
int FileStartInterval(int fps);

// Control codes of WM_RELAY_REPLAY_SEEK and WM_RELAY_REPLAY_SEEK_BY_DATE.
enum ControlCode : int {
  kControlBack20 = 1,
  kControlForward20 = 2,
  kControlPause = 3,
  kControlResume = 4,
  kControlStop = 5,
  kControlPauseOnly = 6,
  kControlContinue = 7,
};

// The key-table entry of a 20-second jump from the current second `n` of a
// file of `k` seconds: n - 20 (0 when below 1) back, n + 20 (k - 1 when not
// below k) forward.
unsigned JumpEntry(long n, long k, bool forward);

}  // namespace replaypace
