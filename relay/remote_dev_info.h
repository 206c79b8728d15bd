// The cascade file "Config\\RemoteDevInfo.xml": relay devices whose video is
// asked for at start, one element per device under <DevList>:
//   <RemodeDev ParentIp="..." ParentPort="..." MyIp="..." Mac="..." DevName="..." />
// ParentIp/ParentPort name the relay server, MyIp/Mac/DevName the device.
#pragma once

#include <functional>

#include "platform/win_types.h"

constexpr int kRemoteDevTextMax = 260;  // characters kept of each text attribute

struct RemoteDevEntry {
  char ParentIp[kRemoteDevTextMax + 1] = {};
  int ParentPort = 0;
  char MyIp[kRemoteDevTextMax + 1] = {};
  char Mac[kRemoteDevTextMax + 1] = {};
  char DevName[kRemoteDevTextMax + 1] = {};
};

// The file text written when the file is missing.
extern const char kRemoteDevInfoEmpty[];

// Reads the file and hands each child element of the root to `onEntry` (a
// missing text attribute reads as empty, a missing port as 0). A missing file
// is created with kRemoteDevInfoEmpty; a file that cannot be parsed is left as
// it is (logged). FALSE when nothing was read.
BOOL LoadRemoteDevInfo(const std::function<void(const RemoteDevEntry&)>& onEntry);

// Rewrites the file (atomically) with one RemodeDev element for each device of
// kind 2 or 4 of every relay server in g_lstVssInfo; the entries of servers
// not logged in now are kept as they were. FALSE when writing failed.
BOOL SaveRemoteDevInfo();

// One cascade entry: finds the relay server (address, port) and its device
// (IP, MAC, name) in g_lstVssInfo and, when the device is online (state 1),
// asks for its video. TRUE when the video was asked for.
BOOL InviteRemoteDevVideo(const char* parentIp, int parentPort, const char* myIp, const char* mac,
                          const char* devName);
