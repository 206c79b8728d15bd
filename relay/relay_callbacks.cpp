#include "relay/relay_callbacks.h"

#include <cstring>

#include "live/streams/relay_video_player.h"
#include "relay/login/vss_info.h"
#include "relay/relay_record_page.h"

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

namespace {

// The page of a main-window context that takes data now; null while the
// window closes or has no page.
const RelayRecordPageGate* PageOf(void* context) {
  if (!context) return nullptr;
  auto* host = static_cast<IRelayCallbackHost*>(context);
  if (host->RelayClosing()) return nullptr;
  return host->RelayRecordPage();
}

}  // namespace

LONG RelayRealReplayCallback(LONG, const char*, DWORD, DWORD, LONG kind, const BYTE* data, LONG length,
                             const RelayFrameInfo* info, const char* fileName, void* context) {
  const RelayRecordPageGate* page = PageOf(context);
  if (!page) return 0;
  return page->With([&](IRelayRecordPage& p) { return p.InputReplayData(kind, data, length, info, fileName); },
                    LONG{0});
}

LONG RelayReplayByDateCallback(LONG, const char* deviceKey, DWORD unused, DWORD channel, LONG kind, const BYTE* data,
                               LONG length, const RelayFrameInfo* info, const BYTE* videoParam, const BYTE* audioParam,
                               LONG attached, LONG seconds, DWORD startSecond, void* context) {
  const RelayRecordPageGate* page = PageOf(context);
  if (!page) return 0;
  return page->With(
      [&](IRelayRecordPage& p) {
        return p.InputReplayDataByDate(deviceKey, unused, channel, kind, data, length, info, videoParam, audioParam,
                                       attached, seconds, startSecond);
      },
      LONG{0});
}

LONG RelayDownloadDataCallback(LONG, const char*, DWORD, DWORD, LONG, const BYTE* data, LONG length,
                               DWORD receivedLow, DWORD receivedHigh, DWORD totalLow, DWORD totalHigh,
                               const char* fileName, void* context) {
  const RelayRecordPageGate* page = PageOf(context);
  if (!page) return 0;
  return page->With(
      [&](IRelayRecordPage& p) {
        p.OnDownloadData(data, length, PelkMake64(receivedLow, receivedHigh), PelkMake64(totalLow, totalHigh),
                         fileName);
        return LONG{1};
      },
      LONG{0});
}

LONG RelayRealDataCallback(LONG, DWORD, DWORD, LONG kind, const BYTE* data, LONG length, const RelayFrameInfo* info,
                           void* context) {
  if (context) static_cast<RelayVideoPlayer*>(context)->InputData(kind, data, length, info);
  return 1;
}
