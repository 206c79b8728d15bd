// MD5 message digest (RFC 1321) and its two hexadecimal text forms.
#pragma once

#include <cstdint>

struct Md5Context {
  uint32_t state[4];        // A, B, C, D
  uint32_t count[2];        // number of bits hashed, modulo 2^64 (low word first)
  unsigned char buffer[64]; // input block being filled
};

void Md5Init(Md5Context* context);
void Md5Update(Md5Context* context, const unsigned char* input, unsigned length);
// Writes the 16-byte digest and wipes the context.
void Md5Final(unsigned char digest[16], Md5Context* context);

// Digest of the text up to its terminating zero as 32 upper-case hexadecimal
// digits and a zero (`out` holds at least 33 bytes). Used for passwords.
void Md5UpperHex(const char* text, char* out);

// Digest of `length` bytes as 32 lower-case hexadecimal digits and a zero
// (`out` holds at least 33 bytes). Returns 0.
int Md5LowerHex(const unsigned char* data, char* out, unsigned length);
