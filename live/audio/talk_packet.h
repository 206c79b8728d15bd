// The talk media packet of an NVR (little-endian): bytes 8-9 sequence number,
// bytes 10-11 payload size, byte 14 stream type (non-zero for audio), the
// payload from byte 20. A packet is read only after its header and the payload
// it announces are known to lie inside what was received.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace talk {

inline constexpr size_t kPacketHeaderSize = 20;
// The decoder keeps a copy of at most this many bytes of a packet.
inline constexpr size_t kPacketMaxSize = 1600;
// Longest payload the decoder plays; longer ones are dropped.
inline constexpr size_t kPayloadMaxSize = 1360;

struct PacketView {
  uint16_t sequence = 0;
  uint16_t payloadSize = 0;
  uint8_t streamType = 0;
  const uint8_t* payload = nullptr;  // payloadSize bytes
};

// The packet's fields, or std::nullopt when `length` is shorter than the
// header, longer than kPacketMaxSize, or shorter than the header plus the
// announced payload.
std::optional<PacketView> ParsePacket(const uint8_t* data, size_t length);

}  // namespace talk
