#include "core/base64.h"

#include <climits>
#include <cstdint>

namespace {

// Longest input whose encoding, zero included, still has an int length.
constexpr int kMaxEncodeLength = (INT_MAX - 5) / 4 * 3;

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of a Base64 character, -1 for a character outside the alphabet.
int CharValue(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

int CBase64::Encode(const BYTE* in, char* out, int len) {
  if (!out) return 0;
  if (!in || len <= 0 || len > kMaxEncodeLength) {
    out[0] = '\0';
    return 0;
  }
  int n = 0;
  int i = 0;
  for (; i + 3 <= len; i += 3) {
    const uint32_t v = (uint32_t(in[i]) << 16) | (uint32_t(in[i + 1]) << 8) | in[i + 2];
    out[n++] = kAlphabet[(v >> 18) & 63];
    out[n++] = kAlphabet[(v >> 12) & 63];
    out[n++] = kAlphabet[(v >> 6) & 63];
    out[n++] = kAlphabet[v & 63];
  }
  const int rest = len - i;
  if (rest > 0) {
    uint32_t v = uint32_t(in[i]) << 16;
    if (rest == 2) v |= uint32_t(in[i + 1]) << 8;
    out[n++] = kAlphabet[(v >> 18) & 63];
    out[n++] = kAlphabet[(v >> 12) & 63];
    out[n++] = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out[n++] = '=';
  }
  out[n] = '\0';
  return n;
}

int CBase64::Decode(const char* in, BYTE* out, int len, int outSize) {
  if (!out || outSize <= 0) return 0;
  int n = 0;
  if (in && len > 0) {
    // Bits gathered from the characters read so far, most significant first.
    uint32_t bits = 0;
    int bitCount = 0;
    for (int i = 0; i < len && n < outSize; ++i) {
      const unsigned char c = static_cast<unsigned char>(in[i]);
      if (c == '=') break;
      if (c > 127) continue;
      const int value = CharValue(c);
      if (value < 0) continue;
      bits = (bits << 6) | static_cast<uint32_t>(value);
      bitCount += 6;
      if (bitCount >= 8) {
        bitCount -= 8;
        out[n++] = static_cast<BYTE>((bits >> bitCount) & 0xFF);
        bits &= (1u << bitCount) - 1;
      }
    }
  }
  if (n < outSize) out[n] = 0;
  return n;
}

int CBase64::GetLength(int len, BOOL bEncode) {
  if (len < 0) return 0;
  if (bEncode) return len > kMaxEncodeLength ? 0 : len / 3 * 4 + (len % 3 ? 4 : 0);
  return static_cast<int>(static_cast<int64_t>(len) * 3 / 4 + 1);
}
