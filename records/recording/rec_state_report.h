// A device's record state, told to this client's relay peers and to the main
// window: the one route of every recording start and stop, whether the
// recording thread or the record-scheme page ended it.
#pragma once

#include <string>

#include "platform/win_types.h"

struct DevInfo;

// state 2 recording started, 3 stopped. The peers get it with the device's key
// ("<localMac>:<IPAddr>") and channel; the main window (mainWnd, may be null)
// gets WM_RECORD_STATE_CHANGED posted, so it refreshes its device images and a
// shown record-scheme page on its own thread. Any thread.
void ReportDeviceRecordState(const std::string& localMac, const DevInfo& dev, int state, HWND mainWnd);
