// Request frames of the NVR link, written into a caller's buffer.
//
// Each function writes one whole frame (the 12-byte frame head, then the
// payload: header item, the request's items, terminator) at the start of the
// buffer and returns the frame's length in bytes, or -1 when the frame would
// not fit in `capacity` (nothing past the buffer is ever written).
#pragma once

#include <cstddef>
#include <cstdint>

struct IpcHeadInfo;

int WriteGetConfigRequest(uint8_t* buffer, size_t capacity, int section);
int WriteSetConfigRequest(uint8_t* buffer, size_t capacity, int section, const char* text, size_t textLength);
int WriteRestoreDefaultRequest(uint8_t* buffer, size_t capacity);
int WriteSearchCamerasRequest(uint8_t* buffer, size_t capacity);
int WriteSetIpcNetParamRequest(uint8_t* buffer, size_t capacity, const IpcHeadInfo& info);
int WriteControlRequest(uint8_t* buffer, size_t capacity, int code, const char* text, size_t textLength);
// A status query: the control code and an empty text item.
int WriteQueryStatusRequest(uint8_t* buffer, size_t capacity, int code);

// The length of the SetConfig frame that carries a text of `textLength` bytes.
size_t SetConfigFrameSize(size_t textLength);
