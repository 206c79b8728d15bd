#include "shell/alarm_blink.h"

int AlarmBlinkTick(int& flag, int& count, int& state) {
  if (count < kAlarmBlinkTicks) {
    state = state ? 0 : 1;
    ++count;
    return state;
  }
  flag = 0;
  count = 0;
  return 0;
}

void StartAlarmBlink(int& flag, int& count) {
  flag = 1;
  count = 0;
}
