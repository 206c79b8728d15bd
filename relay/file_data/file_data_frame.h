// The frames that carry a file in chunks: a header text of the device-messaging
// family, four zero bytes, then the chunk.
//
//   <?xml version="1.0" encoding="GB2312" ?>\n<XML_ONDREX>\n<MESSAGE_HEADER\n
//   Msg_type="MEDIA_DATA_MESSAGE"\nMsg_code="2"\nMsg_flag="0"\n/>\n<MESSAGE_BODY>\n
//   <POS StartPos="%u"\nDataLen="%d"\n/>\n</MESSAGE_BODY>\n</XML_ONDREX>
//
// StartPos is the chunk's place in the file, DataLen its length; the last frame
// of a file has DataLen 0 and the file's final position. The header text holds
// at most 1023 characters and no zero byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace filedata {

constexpr size_t kMaxHeaderText = 1023;
constexpr size_t kSeparatorSize = 4;

// The header text of a chunk.
std::string FrameHeader(uint32_t startPos, uint32_t dataLen);
// The whole frame: header text, four zero bytes, the chunk.
std::vector<uint8_t> BuildFrame(uint32_t startPos, const uint8_t* chunk, uint32_t dataLen);

// A received frame, its chunk pointing into the frame's bytes.
struct Frame {
  uint32_t startPos = 0;
  uint32_t dataLen = 0;
  const uint8_t* chunk = nullptr;
};

// std::nullopt unless the bytes hold a header text of at most 1023
// characters naming a MEDIA_DATA_MESSAGE with StartPos and DataLen, then the
// four zero bytes, then exactly DataLen bytes.
std::optional<Frame> ReadFrame(const uint8_t* data, size_t length);

}  // namespace filedata
