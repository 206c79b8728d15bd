// Millisecond tick count and sleeping.
#pragma once

#include "platform/win_types.h"

// Milliseconds since an arbitrary start, from a monotonic clock; wraps like a DWORD.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
