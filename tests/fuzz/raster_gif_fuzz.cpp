// Fuzz target of the GIF decoder (and of the drawing of what it loads).
#include "tests/fuzz/raster_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzDecodeAndDraw(data, size, RASTER_FORMAT_GIF);
  return 0;
}
