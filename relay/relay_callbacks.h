// The relay library's callbacks that the main window registers. The context of
// the four main-window callbacks is the main window as an IRelayCallbackHost;
// that of the real-data callback is the pane's RelayVideoPlayer. All run on
// the relay library's threads.
#pragma once

#include <string>

#include "pelk/pelk.h"

class RelayRecordPageGate;

// What the callbacks read of the main window on the library's threads.
class IRelayCallbackHost {
 public:
  virtual ~IRelayCallbackHost() = default;
  // True once the close sequence began; an atomic flag, read on any thread.
  virtual bool RelayClosing() const = 0;
  // This client's MAC text, fixed before the callbacks are registered.
  virtual std::string RelayLocalMac() const = 0;
  // The record search page that takes relay replay and download data (null:
  // the main window has none).
  virtual const RelayRecordPageGate* RelayRecordPage() const = 0;
};

// Registers the main window with the relay library: Pelk_SetMsgWnd, then the
// GetUserId, RealReplay, DownloadRealData and ReplayByDate callbacks with
// `context` as theirs.
void RegisterRelayCallbacks(HWND mainWnd, IRelayCallbackHost* context);

// The login handle of the relay server that lists the key's device (its MAC
// at the top level of the list); 0 for this client's own MAC or none.
// Reads g_lstVssInfo under g_csVssInfo.
LONG RelayUserIdOf(const char* deviceKey, const std::string& localMac);

// The user lookup answers 0 without a context, else as RelayUserIdOf. The
// replay and download data callbacks hand their data to the record search
// page; they answer 0 without a context, without a page or while the main
// window closes (the download callback 1 when the page took the piece).
LONG RelayGetUserIdCallback(const char* deviceKey, LONG word1, LONG word2, void* context);
LONG RelayRealReplayCallback(LONG loginHandle, const char* deviceKey, DWORD session1, DWORD session2, LONG kind,
                             const BYTE* data, LONG length, const RelayFrameInfo* info, const char* fileName,
                             void* context);
LONG RelayReplayByDateCallback(LONG loginHandle, const char* deviceKey, DWORD unused, DWORD channel, LONG kind,
                               const BYTE* data, LONG length, const RelayFrameInfo* info, const BYTE* videoParam,
                               const BYTE* audioParam, LONG attached, LONG seconds, DWORD startSecond,
                               void* context);
LONG RelayDownloadDataCallback(LONG loginHandle, const char* deviceKey, DWORD stream, DWORD channel, LONG kind,
                               const BYTE* data, LONG length, DWORD receivedLow, DWORD receivedHigh,
                               DWORD totalLow, DWORD totalHigh, const char* fileName, void* context);

// Hands one relay frame to the RelayVideoPlayer in `context` (none when null);
// always 1.
LONG RelayRealDataCallback(LONG loginHandle, DWORD mainId, DWORD subId, LONG kind, const BYTE* data, LONG length,
                           const RelayFrameInfo* info, void* context);
