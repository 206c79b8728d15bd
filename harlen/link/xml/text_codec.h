// Text helpers between the records' 8-bit GBK text and the windows' UTF-16
// text, and the small value conversions the pages use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// GBK to UTF-16: 1 done, 0 failed (out untouched). Bytes that are not GBK
// become U+FFFD, so text from an NVR never fails to show.
int AnsiToUnicode(std::string_view ansi, std::u16string& out);
// UTF-16 to GBK: 1 done, 0 failed (out untouched). Characters that GBK cannot
// hold become '?'.
int UnicodeToAnsi(std::u16string_view wide, std::string& out);

// Reads hex digits from the last character to the first, each shifted four
// bits further left than the one before and joined by exclusive or into one
// byte; other characters are skipped ("1A" is 0x1A, "1-a" too).
uint8_t HexToByte(std::string_view text);

// An IPv4 address (32 bits in network order) as dotted text.
std::string IpToString(uint32_t address);
// Dotted text to an IPv4 address in network order; INADDR_NONE (all ones)
// for text that is not an address.
uint32_t StringToIp(std::string_view text);
