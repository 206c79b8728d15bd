#include "relay/file_data/file_data_frame.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace filedata {
namespace {

constexpr char kTemplate[] =
    "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n<XML_ONDREX>\n<MESSAGE_HEADER\nMsg_type=\"MEDIA_DATA_MESSAGE\"\n"
    "Msg_code=\"2\"\nMsg_flag=\"0\"\n/>\n<MESSAGE_BODY>\n<POS StartPos=\"%u\"\nDataLen=\"%d\"\n/>\n</MESSAGE_BODY>\n"
    "</XML_ONDREX>";

// A decimal number of at most 10 digits that fits 32 bits.
bool ReadNumber(const char* text, uint32_t* value) {
  if (text == nullptr || *text == '\0' || std::strlen(text) > 10) return false;
  uint64_t number = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
    number = number * 10 + static_cast<uint64_t>(*c - '0');
  }
  if (number > UINT32_MAX) return false;
  *value = static_cast<uint32_t>(number);
  return true;
}

}  // namespace

std::string FrameHeader(uint32_t startPos, uint32_t dataLen) {
  char text[kMaxHeaderText + 1];
  const int length = std::snprintf(text, sizeof text, kTemplate, startPos, static_cast<int>(dataLen));
  return std::string(text, static_cast<size_t>(length));
}

std::vector<uint8_t> BuildFrame(uint32_t startPos, const uint8_t* chunk, uint32_t dataLen) {
  const std::string header = FrameHeader(startPos, dataLen);
  std::vector<uint8_t> frame(header.size() + kSeparatorSize + dataLen, 0);
  std::memcpy(frame.data(), header.data(), header.size());
  if (dataLen > 0) std::memcpy(frame.data() + header.size() + kSeparatorSize, chunk, dataLen);
  return frame;
}

std::optional<Frame> ReadFrame(const uint8_t* data, size_t length) {
  if (data == nullptr) return std::nullopt;
  const size_t scan = std::min(length, kMaxHeaderText + 1);
  const void* zero = std::memchr(data, 0, scan);
  if (zero == nullptr) return std::nullopt;
  const size_t textLength = static_cast<const uint8_t*>(zero) - data;
  if (textLength == 0 || length - textLength < kSeparatorSize) return std::nullopt;
  for (size_t i = 0; i < kSeparatorSize; ++i) {
    if (data[textLength + i] != 0) return std::nullopt;
  }
  TiXmlDocument document;
  document.Parse(std::string(reinterpret_cast<const char*>(data), textLength).c_str());
  const TiXmlElement* root = document.RootElement();
  if (document.Error() || root == nullptr) return std::nullopt;
  const TiXmlElement* header = root->FirstChildElement("MESSAGE_HEADER");
  const char* type = header != nullptr ? header->Attribute("Msg_type") : nullptr;
  if (type == nullptr || std::strcmp(type, "MEDIA_DATA_MESSAGE") != 0) return std::nullopt;
  const TiXmlElement* body = root->FirstChildElement("MESSAGE_BODY");
  const TiXmlElement* pos = body != nullptr ? body->FirstChildElement("POS") : nullptr;
  if (pos == nullptr) return std::nullopt;
  Frame frame;
  if (!ReadNumber(pos->Attribute("StartPos"), &frame.startPos) || !ReadNumber(pos->Attribute("DataLen"), &frame.dataLen))
    return std::nullopt;
  const size_t chunkAt = textLength + kSeparatorSize;
  if (length - chunkAt != frame.dataLen) return std::nullopt;
  frame.chunk = data + chunkAt;
  return frame;
}

}  // namespace filedata
