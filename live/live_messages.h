// Window messages raised by the live-video objects (the control event sinks
// and the stream object). Heap texts and records sent with them are owned by
// the message (platform/post_message.h) and released after delivery.
#pragma once

#include "platform/win_types.h"

constexpr UINT WM_TALKPARAMCHANGED = WM_USER + 4000;        // stream id, heap text (audio parameters)
constexpr UINT WM_REMOTE_RECFILE_RESPONSE = WM_USER + 5100; // 0, heap text
constexpr UINT WM_NVR_RECDAY_RESPONSE = WM_USER + 5105;     // GimbroId, heap text
constexpr UINT WM_MAINT_RESPONSE = WM_USER + 5200;          // see CGimbroEvents::AUXResponse
constexpr UINT WM_DEVSTATUSRESPONSE = WM_USER + 5300;       // GimbroId, status code
constexpr UINT WM_DEVCHANNELSCHANGED = WM_USER + 5305;      // GimbroId, heap text
constexpr UINT WM_DEVSTATEREPORT = WM_USER + 5310;          // GimbroId, heap text
constexpr UINT WM_DEVALARM = WM_USER + 5400;                // GimbroId, heap GimbroAlarmRecord
constexpr UINT WM_PTZ_RESPONSE = WM_USER + 5500;            // GimbroId, heap text
constexpr UINT WM_STORAGE_FORMAT_RESPONSE = WM_USER + 5700; // flag, GimbroId
constexpr UINT WM_STORAGE_UNMOUNT_RESPONSE = WM_USER + 5800;// flag, GimbroId
constexpr UINT WM_FILE_TRANSFER_EVENT = WM_USER + 5900;     // GimbroId, status code (record search page: transfer number)
constexpr UINT WM_PATROL_POINT = WM_USER + 6000;            // pane index, heap text (256-byte device key)
