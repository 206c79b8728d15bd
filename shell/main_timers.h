// The main window's timer periods go through here so that a test can run the
// start-up chain on a fast clock and see which timers fired in which order.
#pragma once

#include <vector>

#include "platform/win_types.h"

namespace maintimers {

// Every period is divided by `divisor` (1: real time).
void SetDivisor(int divisor);
UINT Scaled(UINT ms);

// Records the id of every main-window timer that fires while recording is on.
void StartRecording();
void StopRecording();
void Fired(UINT_PTR id);
std::vector<UINT_PTR> FiredTimers();

}  // namespace maintimers
