#include "harlen/link/xml/text_codec.h"

#include <arpa/inet.h>
#include <iconv.h>
#include <netinet/in.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char* Utf16Name() { return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE"; }

// One conversion with iconv; `onInvalid` says what to put for input it cannot
// take and how many input bytes to step over. False when iconv cannot start.
template <class OnInvalid>
bool Convert(const char* to, const char* from, const char* in, size_t inBytes, std::string& out,
             OnInvalid onInvalid) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  char buffer[1024];
  char* src = const_cast<char*>(in);
  size_t srcLeft = inBytes;
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ or EINVAL (cut short at the end): replace and step over.
    const size_t skip = onInvalid(src, srcLeft, out);
    src += skip;
    srcLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return true;
}

}  // namespace

int AnsiToUnicode(std::string_view ansi, std::u16string& out) {
  std::string bytes;
  const char16_t replacement = u'\uFFFD';
  const bool done = Convert(Utf16Name(), "GBK", ansi.data(), ansi.size(), bytes,
                            [&](const char*, size_t, std::string& o) {
                              o.append(reinterpret_cast<const char*>(&replacement), sizeof replacement);
                              return size_t{1};
                            });
  if (!done) return 0;
  out.assign(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / sizeof(char16_t));
  return 1;
}

int UnicodeToAnsi(std::u16string_view wide, std::string& out) {
  std::string bytes;
  const bool done = Convert("GBK", Utf16Name(), reinterpret_cast<const char*>(wide.data()),
                            wide.size() * sizeof(char16_t), bytes, [](const char* src, size_t left, std::string& o) {
                              o.push_back('?');
                              if (left < sizeof(char16_t)) return left;
                              char16_t unit;
                              std::memcpy(&unit, src, sizeof unit);
                              // A surrogate pair is one character: step over both halves.
                              const bool pair = unit >= 0xD800 && unit <= 0xDBFF && left >= 2 * sizeof(char16_t);
                              return pair ? 2 * sizeof(char16_t) : sizeof(char16_t);
                            });
  if (!done) return 0;
  out = std::move(bytes);
  return 1;
}

uint8_t HexToByte(std::string_view text) {
  unsigned value = 0;
  unsigned shift = 0;
  for (auto it = text.rbegin(); it != text.rend(); ++it) {
    const char c = *it;
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      continue;
    }
    if (shift < 8) value ^= digit << shift;
    shift += 4;
  }
  return static_cast<uint8_t>(value);
}

std::string IpToString(uint32_t address) {
  const auto* b = reinterpret_cast<const unsigned char*>(&address);
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
  return text;
}

uint32_t StringToIp(std::string_view text) {
  const std::string copy(text);
  return inet_addr(copy.c_str());
}
