// Removing a device that left the cloud account: every record of its device
// id goes from g_lstDevInfo, with what depends on it.
//
// The TV wall unbinds the id first. Then, under g_csAppData, record by record
// (the first whose DevId matches, again and again): panes watching it stop; a
// stream object that records stops recording and, when no view draws from it,
// its pump and decoders; the record's recording state and folder are cleared;
// the maintenance page, the messaging control and the map forget it; the relay
// peers hear of it (an NVR: a device-list change, any other device: the state
// 0 of its channel, the last digit of a video server's DevName, else 0); the
// record is erased. An NVR's and a video server's records all go; of any other
// device only the first. Afterwards the device trees are rebuilt, as they point
// into the list. The stream objects are stopped, not deleted: a pane or a
// pop-up may still hold them.
#pragma once

#include <functional>
#include <string>

#include "core/dev_info.h"

// What the removal tells beyond the device list; an empty hook is skipped.
struct CloudDeviceRemovalHost {
  std::function<void(const char* devId)> unbindFromTVWall;
  std::function<void(DevInfo& dev)> stopWatch;
  std::function<void(const char* ipAddr)> removeFromMaintenance;
  std::function<void(const char* devName)> removeFromMap;
  CGimbroCtrl* gimbro = nullptr;
  std::string localMac;  // this client's MAC text, the left part of relay keys
  std::function<void()> refreshDevList;
};

// The number of records removed.
int RemoveCloudDevice(const char* devId, const CloudDeviceRemovalHost& host);
