#include "core/fixed_text.h"

#include <cstring>

size_t GbkPrefixLength(const char* text, size_t length, size_t limit) {
  size_t i = 0;
  while (i < length) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t step = (c >= 0x81 && c <= 0xFE && i + 1 < length) ? 2 : 1;
    if (i + step > limit) break;
    i += step;
  }
  return i;
}

size_t CopyFixedText(char* dst, size_t size, const char* src) {
  if (!dst || size == 0) return 0;
  if (!src) src = "";
  const size_t length = strnlen(src, size);  // never looks further than one byte past the room
  const size_t take = length < size ? length : GbkPrefixLength(src, length, size - 1);
  std::memcpy(dst, src, take);
  dst[take] = '\0';
  return take;
}
