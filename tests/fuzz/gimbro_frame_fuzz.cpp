// Feeds arbitrary bytes, in arbitrary pieces, to the Gimbro frame reader.
#include <cstddef>
#include <cstdint>

#include "maker/gimbro/gimbro_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gimbro_wire::FrameReader reader;
  gimbro_wire::Frame frame;
  size_t offset = 0;
  while (offset < size) {
    const size_t piece = 1 + data[offset] % 64;
    const size_t take = piece < size - offset ? piece : size - offset;
    reader.Feed(reinterpret_cast<const char*>(data + offset), take);
    offset += take;
    while (reader.Next(frame) == gimbro_wire::FrameReader::Result::kFrame) {
      if (frame.body.size() > gimbro_wire::kMaxBody) __builtin_trap();
    }
  }
  return 0;
}
