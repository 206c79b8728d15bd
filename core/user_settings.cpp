#include "core/user_settings.h"

CString g_strDispInfo;
CString g_strTitle;
CString g_strVersion;
int g_bAutoSwitchStream = 1;
int g_bShowLastFrame = 0;
int g_nCapturePicFmt = 1;
int g_nDefDisplayMode = 9;
int g_nKbConfigMode = 0;
int g_nMonitorMode = 1;
int g_nFullDisp = 0;
int g_bFilterAlarm = 0;
int g_nLoginType = 0;
SyncTimeInfo g_SyncTime = {0, 60, 10};
int g_nBufferCount = 50;
int g_nBufferTick = 300;
int g_bAutoLogin = 0;
