// "Config\\BroadcastInfo.xml": the devices chosen to receive a voice broadcast
// and the audio format.
//
//   <BroadcastList audio="1">            1: G.711, 0: AAC
//       <DevInfo DevId="..." DevName="..." />
//   </BroadcastList>
#pragma once

#include <string>
#include <vector>

#include "core/dev_info.h"

// Audio selection of the broadcast.
enum : int { kBroadcastG711 = 0, kBroadcastAac = 1 };

// One device of the broadcast list, as the file names it (GBK texts).
struct BroadcastDevice {
  std::string devId;
  std::string devName;
  int devType = 0;
};

struct BroadcastSettings {
  int audio = kBroadcastG711;
  std::vector<BroadcastDevice> devices;
};

// The text that names a device in the broadcast trees and by which the
// broadcast finds its record: "DevId-DevName" for an NVR record, else DevName.
std::string BroadcastLabel(const DevInfo& dev);
std::string BroadcastLabel(const BroadcastDevice& dev);

BroadcastDevice ToBroadcastDevice(const DevInfo& dev);

// Reads the file into `settings` (the list cleared first). A missing or
// unparsable file is replaced by the default (AAC, no devices), which is then
// read. Each DevInfo element takes the record of g_lstDevInfo with the same
// DevId and DevName (an NVR's own record, channel 0, never); unknown devices
// are skipped. -1 when no file could be read.
int LoadBroadcastInfo(BroadcastSettings& settings);

// Rewrites the existing file with `settings`; a file that cannot be loaded is
// left as it is (logged) and -1 returned.
int SaveBroadcastInfo(const BroadcastSettings& settings);
