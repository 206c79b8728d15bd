// The relay library's callbacks that the main window registers. The context of
// the four main-window callbacks is the main window; that of the real-data
// callback is the pane's RelayVideoPlayer.
#pragma once

#include "pelk/pelk.h"

// Registers the main window with the relay library: Pelk_SetMsgWnd, then the
// GetUserId, RealReplay, DownloadRealData and ReplayByDate callbacks with
// `context` (the main window) as theirs.
void RegisterRelayCallbacks(HWND mainWnd, void* context);

// Each answers 0 at once when the context is null, the record search window
// does not exist or the main window is closing. Relay users and served
// replays come with the relay subsystem: until then every call answers 0.
long RelayGetUserIdCallback(const char* deviceKey, long word1, long word2, void* context);
long RelayRealReplayCallback(const void* request, void* context);
long RelayReplayByDateCallback(const void* request, void* context);
long RelayDownloadDataCallback(const void* request, void* context);

// Hands one relay frame to the RelayVideoPlayer in `context` (none when null);
// always 1. Runs on the relay library's thread.
long RelayRealDataCallback(long word1, long word2, long word3, long kind, const BYTE* data, long length,
                           const PelkFrameInfo* info, void* context);
