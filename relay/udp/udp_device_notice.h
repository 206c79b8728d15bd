// The device notices of the account's login server and what they carry.
//
// A notice is the first 1232 bytes of a command-2 datagram (udp_packet.h):
//   0   16 bytes  packet header
//   16  u64       device id, used as decimal text
//   24  u32       notice code: 100001001 a device was added to the account,
//                 100001004 a device has new addresses; other codes mean nothing
//   28  text      for 100001004: five lines separated by "\r\n"; the part of
//                 line 1 after its first ':' is the address, of line 2 the PTZ
//                 port and of line 4 the video port (lines 3 and 5 are not used)
// The text ends at its first zero byte or at the notice's end.
//
// For 100001001 the client asks the cloud account service for the device
// (CloudLoginEx with the device id); the answer's root holds, in this order of
// use, err (processing stops after a non-zero value), msg, ip and ls, whose
// children are device records (core/cloud_device.h; the last one counts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/dev_info.h"

namespace udplogin {

constexpr uint32_t kNoticeDeviceAdded = 100001001;
constexpr uint32_t kNoticeNewAddresses = 100001004;

struct DeviceNotice {
  std::string deviceId;  // decimal text of the u64 at 16
  uint32_t code = 0;
  std::string text;      // from 28 up to the first zero byte or the end
};

// std::nullopt for a block shorter than a notice (1232 bytes) or null.
std::optional<DeviceNotice> ReadDeviceNotice(const uint8_t* block, size_t length);

struct NewAddresses {
  std::string ip;
  int ptzPort = 0;
  int videoPort = 0;
};

// The addresses of a 100001004 text. std::nullopt (with the reason in `why`)
// unless there are exactly five lines (a line end after the fifth line adds
// no line), lines 1, 2 and 4 each hold a ':', the address is not empty and
// fits IPAddr, and both ports are numbers from 1 to 65535.
std::optional<NewAddresses> ReadNewAddresses(const std::string& text, std::string* why = nullptr);

// The device of a cloud answer to a 100001001 notice: the last record of "ls",
// each record starting from a zeroed DevInfo. When the answer's "ip" equals the
// address in the record's devreginfo, that address and its ptz, web and video
// ports replace IPAddr, PtzPort, WebPort and VideoPort. False (with the reason
// in `why`) when the answer does not parse, its err is not 0, it holds no
// record, or the record has no address.
bool ReadNoticeDeviceAnswer(const char* answer, DevInfo* device, std::string* why = nullptr);

}  // namespace udplogin
