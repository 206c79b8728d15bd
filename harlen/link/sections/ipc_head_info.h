// A network camera as the NVR's camera search reports it, and the 88-byte
// record that changes its network settings (item 60 of the NVR link).
//
//   offset  width  field
//    0      20     serial (text, at most 19 characters)
//   20       6     MAC address
//   26       2     unused, zero
//   28       4     IP address, 32-bit in network order
//   32       4     mask
//   36       4     gateway
//   40       4     DNS1
//   44       4     DNS2
//   48       2     rtpoverrtsp (16-bit little-endian, as the ports below)
//   50       2     videoport
//   52       2     ptzport
//   54       2     webport
//   56      16     username (text, at most 15 characters)
//   72      16     password (text, at most 15 characters)
#pragma once

#include <cstdint>

struct IpcHeadInfo {
  char serial[20];
  uint8_t mac[6];
  uint32_t ip;  // the addresses are in network order, as StringToIp gives them
  uint32_t mask;
  uint32_t gateway;
  uint32_t dns1;
  uint32_t dns2;
  uint16_t rtpoverrtsp;
  uint16_t videoport;
  uint16_t ptzport;
  uint16_t webport;
  char username[16];
  char password[16];
};

constexpr int kIpcHeadInfoWireSize = 88;

// Writes the record's 88 wire bytes; texts are cut to their field less one.
void PackIpcHeadInfo(const IpcHeadInfo& info, uint8_t out[kIpcHeadInfoWireSize]);
// Reads 88 wire bytes; texts end at their field's last byte at the latest.
void UnpackIpcHeadInfo(const uint8_t in[kIpcHeadInfoWireSize], IpcHeadInfo& info);
