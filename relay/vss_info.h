// The logged-in relay servers (Vemo2Node) and their devices (RelayDevice).
//
// g_lstVssInfo is filled by the relay login; the trees, the grids, the patrol
// and the panes read it and never write it. List elements keep their address
// while they are in the list.
#pragma once

#include <list>

struct RelayDevice {
  int nType = 0;          // 0 video server, 3 cascaded relay node, 4 NVR, others single devices
  char IPAddr[260] = {};
  char DevName[260] = {};
  char MACAddr[260] = {};
  int nParentId = 0;      // id of the node above, 0 at the top
  int nId = 0;            // own id
  int nState = 0;         // 0 offline, 1 online, 2 watched, 3 recording, 4 watched and recording
  int nStream = 0;        // passed unchanged to Pelk_InviteDeviceVideo
  int bAlarmFlag = 0;     // alarm-blink flag
  int nAlarmBlinkCount = 0;
  int bAlarmBlink = 0;    // blink state
};

constexpr int kRelayKindVideoServer = 0;
constexpr int kRelayKindNode = 3;
constexpr int kRelayKindNvr = 4;

struct Vemo2Node {
  long nLoginHandle = 0;  // first word: the relay login handle (user id)
  char DevName[260] = {};
  char IPAddr[260] = {};  // the relay server's address
  int nPort = 0;          // and port
  std::list<RelayDevice> lstRelayDevice;
};

extern std::list<Vemo2Node> g_lstVssInfo;
