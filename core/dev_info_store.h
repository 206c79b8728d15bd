// The device list and "Config\\DevInfo.xml" that keeps it between runs.
#pragma once

#include <list>

#include "core/dev_info.h"

extern std::list<DevInfo> g_lstDevInfo;
extern std::list<DevGroupInfo> g_lstDevGroupInfo;
extern int g_bAlarmAudio;  // 0/1: alarm sounds on

// Reads "DevInfo.xml" into the lists. 0 when the file was parsed; -1 when it
// has no root element, or could not be loaded (its default document has then
// been written, so the caller reads once more).
int LoadDevInfo();

// Rewrites the device and group parts and the alarm-sound switch of the existing
// file; without a loadable file it logs and writes nothing. NVR channel records
// beyond their NVR's channel count are left out.
void SaveDevInfo();

// The record of g_lstDevInfo with exactly this DevName and DevId, or null.
DevInfo* FindDevInfo(const char* devName, const char* devId);

// True when a device of g_lstDevInfo has exactly this serial number.
bool IsDevSNExist(const char* sn);
