#include "live/audio/talk_packet.h"

namespace talk {
namespace {

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

std::optional<PacketView> ParsePacket(const uint8_t* data, size_t length) {
  if (!data || length < kPacketHeaderSize || length > kPacketMaxSize) return std::nullopt;
  PacketView view;
  view.sequence = ReadU16(data + 8);
  view.payloadSize = ReadU16(data + 10);
  view.streamType = data[14];
  if (kPacketHeaderSize + view.payloadSize > length) return std::nullopt;
  view.payload = data + kPacketHeaderSize;
  return view;
}

}  // namespace talk
