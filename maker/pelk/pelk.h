// Pelk: the relay library. The calls the live video makes to serve a stream
// to a remote peer through the relay service.
#pragma once

#include "platform/win_types.h"

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
