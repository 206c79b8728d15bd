// The clock of the serving threads: a millisecond tick count and a sleep. The
// program uses the system's; tests hand the threads a clock of their own, whose
// sleeps move its time on, so pacing is checked without waiting.
#pragma once

#include "platform/win_types.h"

class ISessionClock {
 public:
  virtual ~ISessionClock() = default;
  // Milliseconds since an arbitrary start; wraps like a DWORD.
  virtual DWORD Now() = 0;
  virtual void Sleep(DWORD milliseconds) = 0;
};

// GetTickCount and Sleep of the platform.
ISessionClock& SystemSessionClock();
