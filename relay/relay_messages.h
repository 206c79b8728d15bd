// Message numbers of the relay service posted to the main window.
#pragma once

#include "core/start_thread.h"  // WM_STARTTHREAD_DONE (WM_USER+6003)
#include "pelk/pelk.h"
#include "platform/win_types.h"

constexpr UINT WM_VSS_LOGIN_RESULT = WM_USER + 5910;
constexpr UINT WM_SESSION_REPLAY_END = WM_USER + 6000;
constexpr UINT WM_SESSION_DOWNLOAD_END = WM_USER + 6001;
constexpr UINT WM_SESSION_REPLAY_BY_DATE_END = WM_USER + 6002;
constexpr UINT WM_UDP_LOGIN_STATUS = WM_USER + 7000;
constexpr UINT WM_UDP_DEVICE_LIST = WM_USER + 7001;

// The relay library's messages (WM_USER+8000 to +8064) stand in pelk/pelk.h.
