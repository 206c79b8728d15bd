// Pelk: the relay library through which peers exchange live video, PTZ and
// device data. This header declares the library's calls as the program makes
// them; it grows as more of the relay is built.
#pragma once

#include "platform/win_types.h"

// Starts the library before the main window exists; 0 on success.
int Pelk_Init();

// Stops the library and frees what it holds; the program's last call at exit.
void Pelk_Release();

// Answers a peer's request for live video of a session with the stream's
// video and audio parameter blocks. -> handle of the served video (>= 1), or
// 0 on failure.
long Pelk_RspDeviceVideo(long sessionId, const BYTE* videoParam, long videoLength,
                         const BYTE* audioParam, long audioLength);
// Sends one frame (kind 0 video, 1 audio) with its 16-byte frame header. 0 done.
long Pelk_ReportAVData(long handle, long kind, const BYTE* data, long length, const BYTE* header,
                       long headerLength);
// Ends the served video. 0 done.
long Pelk_CloseDeviceVideo(long handle);

// Tells this client's own peers the state of one of its devices: device key
// "MAC:IP" (this client's MAC), channel (0 for a single device), state 0
// offline, 1 online, 2 recording started, 3 recording stopped. 0 done.
long Pelk_ReportDeviceState(const char* deviceKey, long channel, long state);

// Frame information handed with every frame of a relayed live video (kind 0
// video, 1 audio) on the relay library's thread.
struct PelkFrameInfo {
  DWORD dwFlags;      // key-frame and similar bits, as in the stream's frame header
  DWORD dwSequence;
  DWORD dwTimeStamp;  // milliseconds
  DWORD dwReserved;
};

// --- Main window registration, relay logins and message records ---

// Callbacks the main window registers; each gets the registered context last.
// GetUserId (device key "MAC:IP", two words not used, context) -> login handle
// of the relay server that owns the device, 0 for none.
typedef long (*PelkGetUserIdCallback)(const char* deviceKey, long word1, long word2, void* context);
// Replay, replay by date and download of recorded data for a peer. `request`
// carries the library's request values; 0 refuses.
typedef long (*PelkRealReplayCallback)(const void* request, void* context);
typedef long (*PelkReplayByDateCallback)(const void* request, void* context);
typedef long (*PelkDownloadRealDataCallback)(const void* request, void* context);
// Live relay video: (three relay words, kind 0 video or 1 audio, data, length,
// frame information, context), called on the library's thread.
typedef long (*PelkRealDataCallback)(long word1, long word2, long word3, long kind, const BYTE* data,
                                     long length, const PelkFrameInfo* info, void* context);

// The window that receives the library's messages (WM_USER+8000 to +8064).
void Pelk_SetMsgWnd(HWND hwnd);
void Pelk_SetGetUserIdCallback(PelkGetUserIdCallback callback, void* context);
void Pelk_SetRealReplayCallback(PelkRealReplayCallback callback, void* context);
void Pelk_SetReplayByDateCallback(PelkReplayByDateCallback callback, void* context);
void Pelk_SetDownloadRealDataCallback(PelkDownloadRealDataCallback callback, void* context);
// Registers the real-data callback for the video of one relay device (key
// "MAC:IP", main and sub session ids). 0 done.
long Pelk_SetRealDataCallback(PelkRealDataCallback callback, const char* deviceKey, long mainId,
                              long subId, void* context);
// Asks a relay server (login handle) for a device's video: device key "MAC:IP",
// stream word, channel. 0 done.
long Pelk_InviteDeviceVideo(long loginHandle, const char* deviceKey, long stream, long channel);
// Logs out of a relay server. 0 done.
long Pelk_LoginOut(long loginHandle);
// Stops this client's relay server. 0 done.
long Pelk_StopTS();
// Gives back a record the library handed over with a message (kind 1 a
// message record, 2 an inner block of one).
void Pelk_Delete(void* record, int kind);
