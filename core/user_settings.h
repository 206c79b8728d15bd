// Display and behaviour settings of the client, kept in "UserInfo.xml".
#pragma once

#include "platform/win_types.h"

struct SyncTimeInfo {  // clock synchronisation with the devices
  int enable;
  int interval;
  int diff;
};

extern CString g_strDispInfo;
extern CString g_strTitle;    // names the log folder "D:\\<title>-Log"
extern CString g_strVersion;
extern int g_bAutoSwitchStream;
extern int g_bShowLastFrame;
extern int g_nCapturePicFmt;
extern int g_nDefDisplayMode;
extern int g_nKbConfigMode;
extern int g_nMonitorMode;  // 1: extension monitors in use
// The multi-screen option of the local settings: the "MonitorMode" setting.
inline int& g_bMultiScreen = g_nMonitorMode;
extern int g_nFullDisp;     // "FilpMode", also every saved login's "FullDisp"
extern int g_bFilterAlarm;
extern int g_nLoginType;    // 0 local accounts, else cloud account login
extern SyncTimeInfo g_SyncTime;
extern int g_nBufferCount;
extern int g_nBufferTick;
extern int g_bAutoLogin;
