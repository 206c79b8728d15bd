#include "relay/relay_callbacks.h"

#include "live/streams/relay_video_player.h"

void RegisterRelayCallbacks(HWND mainWnd, void* context) {
  Pelk_SetMsgWnd(mainWnd);
  Pelk_SetGetUserIdCallback(RelayGetUserIdCallback, context);
  Pelk_SetRealReplayCallback(RelayRealReplayCallback, context);
  Pelk_SetDownloadRealDataCallback(RelayDownloadDataCallback, context);
  Pelk_SetReplayByDateCallback(RelayReplayByDateCallback, context);
}

// No relay user owns a device and no replay is served yet: every request is
// refused, which also holds while closing or without a record search window.
long RelayGetUserIdCallback(const char*, long, long, void*) { return 0; }

long RelayRealReplayCallback(const void*, void*) { return 0; }

long RelayReplayByDateCallback(const void*, void*) { return 0; }

long RelayDownloadDataCallback(const void*, void*) { return 0; }

long RelayRealDataCallback(long, long, long, long kind, const BYTE* data, long length,
                           const PelkFrameInfo* info, void* context) {
  if (context) static_cast<RelayVideoPlayer*>(context)->InputData(kind, data, length, info);
  return 1;
}
