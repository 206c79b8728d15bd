// Messages of the recording.
#pragma once

#include "platform/win_types.h"

// A device's record state changed (wParam: 2 started, 3 stopped; lParam 0).
// The recording thread posts it to the main window, which refreshes its device
// images and hands it on (wParam 0) to the record-scheme page while that is shown.
constexpr UINT WM_RECORD_STATE_CHANGED = WM_USER + 2009;
