// The relay servers this client is logged in to (Vemo2Node) and their devices
// (RelayDevice), kept in g_lstVssInfo in login order.
//
// The UI thread is the only one that changes g_lstVssInfo and the device lists
// in it, and it holds g_csVssInfo while it does. The relay library's threads
// (the user lookup callback) read them only under g_csVssInfo; the UI thread
// reads them without it. List elements keep their address while they are in
// the list.
#pragma once

#include <list>
#include <memory>

#include "pelk/pelk.h"
#include "platform/critical_section.h"

class RelayVideoPlayer;

// One device of a relay server's device list as this client keeps it: the
// library's 360-byte entry and this client's own words (zero when the entry
// arrives). State in these copies: 0 offline, 1 online, 2 online and shown
// here, 3 online and recording, 4 online, recording and shown here.
struct RelayDevice : RelayDeviceEntry {
  // Used by the main window's periodic device walk (alarm blinking).
  int bAlarmFlag = 0;
  int nAlarmBlinkCount = 0;
  int bAlarmBlink = 0;
  int nReserved = 0;
  // The player of the pane that shows the device's video here (the pane owns it).
  std::weak_ptr<RelayVideoPlayer> pRelayPlayer;

  RelayDevice() = default;
  explicit RelayDevice(const RelayDeviceEntry& entry) : RelayDeviceEntry(entry) {}
};

constexpr int kRelayKindVideoServer = 0;
constexpr int kRelayKindCamera = 1;
constexpr int kRelayKindNode = 3;
constexpr int kRelayKindNvr = 4;

// One relay server (a line of "Config\VssInfo.xml" logged in to).
struct Vemo2Node {
  LONG nLoginHandle = 0;       // Pelk_Login's handle; never 0 in a posted record
  char DevName[256] = {};
  char IPAddr[256] = {};       // as written in the file (a host name stays a host name)
  int nPort = 0;
  char LoginName[260] = {};
  char Password[260] = {};     // as stored in the file
  bool bHasDeviceList = false; // false until the server's first device list arrived
  std::list<RelayDevice> lstRelayDevice;
};

extern std::list<Vemo2Node> g_lstVssInfo;
extern CRITICAL_SECTION g_csVssInfo;
