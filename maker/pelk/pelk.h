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

// Frame information handed with every frame of a relayed live video (kind 0
// video, 1 audio) on the relay library's thread.
struct PelkFrameInfo {
  DWORD dwFlags;      // key-frame and similar bits, as in the stream's frame header
  DWORD dwSequence;
  DWORD dwTimeStamp;  // milliseconds
  DWORD dwReserved;
};
