// The alarm blink of a device's tree items: an alarm sets the item's blink
// flag and zeroes its counter; every second the state flips, ten times, and
// then the flag is cleared and the item shows its normal image again.
#pragma once

constexpr int kAlarmBlinkTicks = 10;

// One second of one item's blink. Returns the state to show (1 alarm image,
// 0 normal image). Call only while `flag` is set.
int AlarmBlinkTick(int& flag, int& count, int& state);

// What an alarm does to the blink fields.
void StartAlarmBlink(int& flag, int& count);
