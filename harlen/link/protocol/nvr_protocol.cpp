#include "harlen/link/protocol/nvr_protocol.h"

namespace {

// Reads a 32-bit number item (section, control code); false when it is absent
// or too short to hold one.
bool FindNumberItem(const uint8_t* payload, size_t length, uint32_t type, int& number) {
  NvrItemView item;
  if (!FindNvrItem(payload, length, type, item) || item.length < 4) return false;
  number = static_cast<int>(ReadLe32(item.value));
  return true;
}

bool FindText(const uint8_t* payload, size_t length, std::string& text) {
  NvrItemView item;
  if (!FindNvrItem(payload, length, NVRMC_TLV_DATA, item)) return false;
  text.assign(reinterpret_cast<const char*>(item.value), item.length);
  return true;
}

// The header fields read: command at 8 and status at 16, so a header item must
// hold at least 20 bytes to be read at all.
constexpr uint32_t kHeaderBytesRead = 20;

}  // namespace

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void WriteLe32(uint8_t* p, uint32_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
  p[3] = static_cast<uint8_t>(value >> 24);
}

bool FindNvrItem(const uint8_t* payload, size_t payloadLength, uint32_t type, NvrItemView& item) {
  if (payload == nullptr || payloadLength <= NVRMC_ITEM_HEAD_SIZE) return false;
  size_t offset = 0;
  while (offset < payloadLength && payloadLength - offset >= NVRMC_ITEM_HEAD_SIZE) {
    const uint32_t itemType = ReadLe32(payload + offset);
    const uint32_t itemLength = ReadLe32(payload + offset + 4);
    if (itemType == NVRMC_TLV_END || itemType >= NVRMC_TLV_INVALID || itemLength >= NVRMC_ITEM_LENGTH_LIMIT) {
      return false;
    }
    const size_t valueOffset = offset + NVRMC_ITEM_HEAD_SIZE;
    if (itemLength > payloadLength - valueOffset) return false;  // the value runs past the payload
    if (itemType == type) {
      item.value = payload + valueOffset;
      item.length = itemLength;
      return true;
    }
    offset = valueOffset + itemLength;
  }
  return false;
}

bool ParseNvrReply(const uint8_t* payload, size_t payloadLength, NvrReply& reply) {
  NvrItemView header;
  if (!FindNvrItem(payload, payloadLength, NVRMC_TLV_HEADER, header) || header.length < kHeaderBytesRead) {
    return false;
  }
  reply = NvrReply{};
  reply.command = static_cast<int>(ReadLe32(header.value + 8));
  reply.status = static_cast<int>(ReadLe32(header.value + 16));
  switch (reply.command) {
    // Acknowledgements: the header alone. 4387, 4389 and 4396 answer requests
    // this library never sends; they are delivered all the same.
    case NVRMC_CMD_SET_CONFIG_REPLY:
    case 4387:
    case 4389:
    case 4396:
    case NVRMC_CMD_SET_IPC_NETPARAM_REPLY:
      return true;
    case NVRMC_CMD_RESTORE_DEFAULT_REPLY:
    case NVRMC_CMD_GET_CONFIG_REPLY:
      FindNumberItem(payload, payloadLength, NVRMC_TLV_SECTION, reply.argument);
      return reply.hasData = FindText(payload, payloadLength, reply.data);
    case 4393:  // answers a request this library never sends
    case NVRMC_CMD_SEARCH_IPC_REPLY:
      return reply.hasData = FindText(payload, payloadLength, reply.data);
    case NVRMC_CMD_CONTROL_REPLY:
      FindNumberItem(payload, payloadLength, NVRMC_TLV_CTRL_CODE, reply.argument);
      return reply.hasData = FindText(payload, payloadLength, reply.data);
    default:
      return false;
  }
}
