// Feeds arbitrary bytes, in arbitrary pieces, to the NVR link's frame reader,
// and every payload it yields (and the bytes themselves) to the item finder
// and the reply reader.
#include <cstddef>
#include <cstdint>

#include "harlen/link/protocol/nvr_frame_reader.h"
#include "harlen/link/protocol/nvr_protocol.h"

namespace {

void ReadPayload(const uint8_t* payload, size_t length) {
  for (uint32_t type : {0u, 1u, 19u, 20u, 60u, 67u, 68u}) {
    NvrItemView item;
    if (FindNvrItem(payload, length, type, item)) {
      if (item.value < payload || item.value + item.length > payload + length) __builtin_trap();
    }
  }
  NvrReply reply;
  if (ParseNvrReply(payload, length, reply) && reply.data.size() > length) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadPayload(data, size);
  NvrFrameReader reader(4096);  // small, so that oversized frames come up often
  size_t offset = 0;
  while (offset < size) {
    const size_t piece = 1 + data[offset] % 64;
    const size_t take = piece < size - offset ? piece : size - offset;
    size_t fed = 0;
    while (fed < take) {
      size_t used = 0;
      const NvrFrameReader::Event event = reader.Feed(data + offset + fed, take - fed, used);
      if (used == 0 && event == NvrFrameReader::Event::kNeedMore) __builtin_trap();
      fed += used;
      if (event == NvrFrameReader::Event::kFrame) {
        if (reader.PayloadLength() > 4096) __builtin_trap();
        ReadPayload(reader.Payload(), reader.PayloadLength());
      }
    }
    offset += take;
  }
  return 0;
}
