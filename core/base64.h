// Base64 with the standard alphabet (A-Z a-z 0-9 + /) and "=" padding.
//
// Buffer sizes:
//   - Encode writes GetLength(len, TRUE) characters plus a terminating zero, so
//     its output buffer must hold GetLength(len, TRUE) + 1 characters.
//   - GetLength(len, FALSE) is the size of a buffer that always holds what `len`
//     characters decode to *and* the terminating zero: len * 3 / 4 + 1.
//   - Decode never writes past `outSize` bytes, whatever the input: it stops when
//     the buffer is full and writes the terminating zero only when it fits.
#pragma once

#include "platform/win_types.h"

class CBase64 {
 public:
  // Encodes `len` bytes of `in` into `out`, zero-terminated; returns the number
  // of characters written (without the zero). 0 for a null buffer, len <= 0 or
  // an input too long for an int result (`out` then holds an empty text when it
  // is not null).
  static int Encode(const BYTE* in, char* out, int len);

  // Decodes the first `len` characters of `in` into `out` (room for `outSize`
  // bytes). Characters above 127 and outside the alphabet are skipped; decoding
  // stops at the first "=". Returns the number of bytes decoded; the output is
  // zero-terminated when the buffer has room left for the zero.
  static int Decode(const char* in, BYTE* out, int len, int outSize);

  // bEncode TRUE: characters of the encoding of `len` bytes (without the zero):
  //   len / 3 * 4, plus 4 when len is not a multiple of 3.
  // bEncode FALSE: buffer size for decoding `len` characters, zero included
  //   (see above). 0 for len < 0 (and, encoding, for an input too long).
  static int GetLength(int len, BOOL bEncode);
};
