// Little-endian fields of file headers.
#pragma once

#include <cstdint>

namespace le {

inline uint16_t U16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t U32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t S32(const unsigned char* p) { return static_cast<int32_t>(U32(p)); }

}  // namespace le
