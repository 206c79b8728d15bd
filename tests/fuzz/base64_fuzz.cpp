// Base64 decoder fed with arbitrary bytes: decoding into a buffer sized by
// GetLength stays inside it (AddressSanitizer watches the heap buffer), and the
// input taken as raw bytes survives Encode -> Decode unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const int len = static_cast<int>(size);

  // Decode the input as Base64 text into an exactly sized heap buffer.
  const int decodedSize = CBase64::GetLength(len, FALSE);
  std::vector<BYTE> decoded(static_cast<size_t>(decodedSize));
  const int n = CBase64::Decode(reinterpret_cast<const char*>(data), decoded.data(), len, decodedSize);
  if (n < 0 || n >= decodedSize || decoded[n] != 0) std::abort();

  // Encode the input as bytes and decode it back.
  const int encodedLen = CBase64::GetLength(len, TRUE);
  std::vector<char> encoded(static_cast<size_t>(encodedLen) + 1);
  const int e = CBase64::Encode(data, encoded.data(), len);
  if (e != encodedLen || encoded[e] != '\0') std::abort();
  const int backSize = CBase64::GetLength(e, FALSE);
  std::vector<BYTE> back(static_cast<size_t>(backSize));
  const int b = CBase64::Decode(encoded.data(), back.data(), e, backSize);
  if (b != len || (len > 0 && std::memcmp(back.data(), data, size) != 0)) std::abort();
  return 0;
}
