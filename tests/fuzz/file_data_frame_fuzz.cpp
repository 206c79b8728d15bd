// Feeds arbitrary bytes to the reader of the framed file chunks: a frame it
// accepts has its chunk inside the bytes and exactly DataLen long.
#include <cstddef>
#include <cstdint>

#include "relay/file_data/file_data_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (const auto frame = filedata::ReadFrame(data, size)) {
    if (frame->chunk < data || frame->chunk + frame->dataLen != data + size) __builtin_trap();
  }
  return 0;
}
