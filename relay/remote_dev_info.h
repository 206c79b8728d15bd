// The cascade file "Config\\RemoteDevInfo.xml": relay devices whose video is
// asked for at start, one element per device under <DevList>:
//   <RemodeDev ParentIp="..." ParentPort="..." MyIp="..." Mac="..." DevName="..." />
// ParentIp/ParentPort name the relay server, MyIp/Mac/DevName the device.
#pragma once

#include <functional>
#include <vector>

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

// Rewrites the file with one RemodeDev element for each device shown here now
// (state 2 or 4) of every relay server in g_lstVssInfo that has a device list;
// the entries of servers not logged in now are kept as they were. A file that
// cannot be loaded is left alone (TRUE). The new text replaces the old file
// only once it is written whole. FALSE when writing failed.
BOOL SaveRemoteDevInfo();

// One cascade entry: finds the first relay server with this address (exact)
// and port that has a device list, and in it the first device with this IP,
// MAC and name; only when that device is online (state 1) its video is asked
// for, on its stream word, or stream 1 when the main grid's layout
// `mainLayout` is 1, 4 or 6 and g_bAutoSwitchStream is on; channel 0, or the
// last digit of the name for a video server. TRUE when it was asked for.
BOOL InviteRemoteDevVideo(const char* parentIp, int parentPort, const char* myIp, const char* mac,
                          const char* devName, int mainLayout);

struct RelayDevice;
// The channel a relay device's video is asked for with.
int RemoteDevChannel(const RelayDevice& device);

// The cascade at start: the file's devices are asked for once their relay
// server is logged in with its device list. A server whose first list has not
// come when the file is read (a slow login) gets its invitations when it comes.
class CCascadeInvites {
 public:
  // Reads the file and invites every entry whose server has its list now;
  // the others wait for OnFirstDeviceList.
  void Start(int mainLayout);
  // The first device list of a relay server (its address as written and port)
  // arrived: its waiting entries are invited.
  void OnFirstDeviceList(const char* serverIp, int serverPort, int mainLayout);
  size_t Waiting() const { return m_waiting.size(); }

 private:
  std::vector<RemoteDevEntry> m_waiting;
};
