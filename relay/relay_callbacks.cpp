#include "relay/relay_callbacks.h"

#include <cstring>

#include "live/streams/relay_video_player.h"
#include "relay/login/vss_info.h"

void RegisterRelayCallbacks(HWND mainWnd, IRelayCallbackHost* context) {
  Pelk_SetMsgWnd(mainWnd);
  Pelk_SetGetUserIdCallback(RelayGetUserIdCallback, context);
  Pelk_SetRealReplayCallback(RelayRealReplayCallback, context);
  Pelk_SetDownloadRealDataCallback(RelayDownloadDataCallback, context);
  Pelk_SetReplayByDateCallback(RelayReplayByDateCallback, context);
}

LONG RelayUserIdOf(const char* deviceKey, const std::string& localMac) {
  char mac[PELK_KEY_PART_SIZE];
  char ip[PELK_KEY_PART_SIZE];
  SplitDeviceKey(deviceKey, mac, ip);
  if (localMac == mac) return 0;
  CsLock lock(&g_csVssInfo);
  for (const Vemo2Node& server : g_lstVssInfo) {
    if (!server.bHasDeviceList) continue;
    for (const RelayDevice& device : server.lstRelayDevice) {
      if (std::strcmp(device.MACAddr, mac) == 0 && device.nParentId == 0) return server.nLoginHandle;
    }
  }
  return 0;
}

LONG RelayGetUserIdCallback(const char* deviceKey, LONG, LONG, void* context) {
  if (context == nullptr) return 0;
  return RelayUserIdOf(deviceKey, static_cast<IRelayCallbackHost*>(context)->RelayLocalMac());
}

LONG RelayRealReplayCallback(LONG, const char*, DWORD, DWORD, LONG, const BYTE*, LONG, const RelayFrameInfo*,
                             const char*, void*) {
  return 0;  // no record search page takes replayed data yet
}

LONG RelayReplayByDateCallback(LONG, const char*, DWORD, DWORD, LONG, const BYTE*, LONG, const RelayFrameInfo*,
                               const BYTE*, const BYTE*, LONG, LONG, DWORD, void*) {
  return 0;  // no record search page takes replayed data yet
}

LONG RelayDownloadDataCallback(LONG, const char*, DWORD, DWORD, LONG, const BYTE*, LONG, DWORD, DWORD, DWORD, DWORD,
                               const char*, void*) {
  return 0;  // no record search page takes replayed data yet
}

LONG RelayRealDataCallback(LONG, DWORD, DWORD, LONG kind, const BYTE* data, LONG length, const RelayFrameInfo* info,
                           void* context) {
  if (context) static_cast<RelayVideoPlayer*>(context)->InputData(kind, data, length, info);
  return 1;
}
