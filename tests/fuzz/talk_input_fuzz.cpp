// Feeds arbitrary bytes to the readers of an NVR's talk input: the talk
// packet (a view must lie inside the bytes) and the talk answer text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "live/audio/talk_answer.h"
#include "live/audio/talk_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const auto packet = talk::ParsePacket(data, size)) {
    if (packet->payload < data || packet->payload + packet->payloadSize > data + size) __builtin_trap();
  }
  talk::ParseTalkAnswer(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
