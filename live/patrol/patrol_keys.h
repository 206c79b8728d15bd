// Device keys of patrol points: the text that names a camera in a plan.
//
// A local camera is named by its DevName, a channel of a local NVR (DevType 4)
// by "IPAddr:DevName", a relay device by "MAC:name" or, for a relay NVR,
// "MAC:IP:name" (a MAC text holds '-', never ':'). A key without ':' names a
// local device; a key with one names a local device when a local record has
// exactly that key, else a relay device. So names holding '-' or ':' never
// move a key to the wrong side (a relay camera "MAC:Front-Door" is no local
// NVR channel), and plans keep the key texts they always had.
#pragma once

#include <functional>
#include <string>

#include "core/dev_info.h"

// The key of a local device record.
std::string LocalDeviceKey(const DevInfo& dev);

// True when the key names a local device (see above). The caller holds
// g_csAppData (or is the UI thread, which changes the list).
bool PatrolKeyIsLocal(const std::string& key);

// The first record of g_lstDevInfo that the key names, or null. The caller
// holds g_csAppData (or is the UI thread, which changes the list).
DevInfo* FindLocalDeviceByKey(const std::string& key);

// The relay channel of a relay key: the decimal number behind the first '-' of
// the text after the first ':'; 0 when there is none.
int PatrolRelayChannel(const std::string& key);

// The state word of the relay device a relay key names (0 offline, non-zero
// online), or -1 when no logged-in relay server has it. The relay service
// provides it; without it every relay key is offline.
using RelayKeyStateFn = std::function<int(const std::string& key)>;

// Whether the camera a key names is online: a local device by its nOnline, a
// relay device by its state word; a key found nowhere is offline. Takes
// g_csAppData while it reads the local list.
bool PatrolKeyOnline(const std::string& key, const RelayKeyStateFn& relayState);
