// The packets of the UDP login at the account's login server.
//
// Every packet starts with a 16-byte header, numbers little-endian:
//   0  4  magic "rnvq"
//   4  4  payload length (bytes after the header)
//   8  2  header word, always 16
//   10 2  command
//   12 4  reserved, 0
// Commands: 5 login (client, 80 bytes: user name at 16 and password at 48, 32
// bytes each, zero-filled, no terminator when a text fills its field); 6 login
// answer (server, read from 160 bytes on: result at 16, 0 = accepted; session
// words at 24 and 28); 9 keep-alive (client, 24 bytes: the two session words
// at 16 and 20); 10 keep-alive answer (server, 16 bytes or more, nothing read);
// 2 device notice (server, read from 1232 bytes on: the first 1232 bytes are
// handed on whole, see udp_device_notice.h).
//
// Of a received packet only the length and the command are checked; its magic,
// payload length and header word are not.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace udplogin {

constexpr size_t kHeaderSize = 16;
constexpr size_t kLoginSize = 80;
constexpr size_t kKeepAliveSize = 24;
constexpr size_t kLoginAnswerMin = 160;
constexpr size_t kNoticeSize = 1232;
constexpr size_t kReadMax = 1500;  // a received datagram is read up to this size
constexpr size_t kTextField = 32;  // user name and password fields of the login

enum Command : uint16_t {
  kCmdNotice = 2,
  kCmdLogin = 5,
  kCmdLoginAnswer = 6,
  kCmdKeepAlive = 9,
  kCmdKeepAliveAnswer = 10,
};

using LoginPacket = std::array<uint8_t, kLoginSize>;
using KeepAlivePacket = std::array<uint8_t, kKeepAliveSize>;

// The login: the first 32 bytes of each text (a null text is empty).
LoginPacket BuildLoginPacket(const char* user, const char* password);
KeepAlivePacket BuildKeepAlivePacket(uint32_t session1, uint32_t session2);

// What a received datagram is.
struct Datagram {
  enum Kind {
    kIgnored,          // shorter than a header, too short for its command, or another command
    kNotice,           // a device notice: its first kNoticeSize bytes are the notice
    kLoginAnswer,      // result and session words below
    kKeepAliveAnswer,
  };
  Kind kind = kIgnored;
  uint32_t result = 0;
  uint32_t session1 = 0;
  uint32_t session2 = 0;
};

Datagram ReadDatagram(const uint8_t* data, size_t length);

uint16_t ReadU16(const uint8_t* at);
uint32_t ReadU32(const uint8_t* at);
uint64_t ReadU64(const uint8_t* at);

}  // namespace udplogin
