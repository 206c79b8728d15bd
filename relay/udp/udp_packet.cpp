#include "relay/udp/udp_packet.h"

#include <cstring>

namespace udplogin {
namespace {

void WriteU16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void WriteU32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void WriteHeader(uint8_t* packet, uint32_t payloadLength, uint16_t command) {
  std::memcpy(packet, "rnvq", 4);
  WriteU32(packet + 4, payloadLength);
  WriteU16(packet + 8, static_cast<uint16_t>(kHeaderSize));
  WriteU16(packet + 10, command);
  WriteU32(packet + 12, 0);
}

// The text's first kTextField bytes, the rest of the field zero.
void WriteTextField(uint8_t* field, const char* text) {
  if (text == nullptr) return;
  for (size_t i = 0; i < kTextField && text[i] != '\0'; ++i) field[i] = static_cast<uint8_t>(text[i]);
}

}  // namespace

uint16_t ReadU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

uint32_t ReadU32(const uint8_t* at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

uint64_t ReadU64(const uint8_t* at) {
  return static_cast<uint64_t>(ReadU32(at)) | (static_cast<uint64_t>(ReadU32(at + 4)) << 32);
}

LoginPacket BuildLoginPacket(const char* user, const char* password) {
  LoginPacket packet{};
  WriteHeader(packet.data(), kLoginSize - kHeaderSize, kCmdLogin);
  WriteTextField(packet.data() + 16, user);
  WriteTextField(packet.data() + 48, password);
  return packet;
}

KeepAlivePacket BuildKeepAlivePacket(uint32_t session1, uint32_t session2) {
  KeepAlivePacket packet{};
  WriteHeader(packet.data(), kKeepAliveSize - kHeaderSize, kCmdKeepAlive);
  WriteU32(packet.data() + 16, session1);
  WriteU32(packet.data() + 20, session2);
  return packet;
}

Datagram ReadDatagram(const uint8_t* data, size_t length) {
  Datagram datagram;
  if (data == nullptr || length < kHeaderSize) return datagram;
  switch (ReadU16(data + 10)) {
    case kCmdNotice:
      if (length >= kNoticeSize) datagram.kind = Datagram::kNotice;
      break;
    case kCmdLoginAnswer:
      if (length >= kLoginAnswerMin) {
        datagram.kind = Datagram::kLoginAnswer;
        datagram.result = ReadU32(data + 16);
        datagram.session1 = ReadU32(data + 24);
        datagram.session2 = ReadU32(data + 28);
      }
      break;
    case kCmdKeepAliveAnswer:
      datagram.kind = Datagram::kKeepAliveAnswer;
      break;
    default:
      break;
  }
  return datagram;
}

}  // namespace udplogin
