// Section 5 (IPCChannelParam): the network cameras assigned to the NVR's 16
// channels, and the list of cameras that a camera search found.
#pragma once

#include <cstdint>

#include "harlen/link/sections/ipc_head_info.h"

constexpr int kIpcChannels = 16;
constexpr int kIpcSearchResults = 16;

struct IpcChannelEntry {
  uint32_t chanid;  // 1 to 16
  char channame[32];
  uint32_t used;
  char ip[16];  // dotted text
  uint16_t port;
  uint8_t streammode;
  uint8_t netmode;
  char username[40];
  char passwd[40];
};

// The entry of channel n is slot n - 1.
struct IpcChannelTable {
  uint32_t count;
  IpcChannelEntry entries[kIpcChannels];
};

struct IpcSearchList {
  uint32_t count;
  IpcHeadInfo cameras[kIpcSearchResults];
};
