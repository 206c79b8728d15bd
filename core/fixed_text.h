// Bounded copies of GBK text into the fixed-size char fields of the records.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Length of the longest prefix of `text` (at most `limit` bytes) that does not
// split a GBK double-byte character. Invalid bytes count as single characters.
size_t GbkPrefixLength(const char* text, size_t length, size_t limit);

// Copies `src` (null reads as "") into `dst` of `size` bytes: at most size - 1
// bytes, cut before a double-byte character that would not fit, and always
// zero-terminated; the rest of `dst` is left as it was. Returns the bytes copied.
size_t CopyFixedText(char* dst, size_t size, const char* src);

template <size_t N>
size_t CopyFixedText(char (&dst)[N], const char* src) {
  return CopyFixedText(dst, N, src);
}

// The text of a fixed field, up to its zero or, when a caller filled it to the
// brim without one, up to its end: never reads past the field.
template <size_t N>
std::string_view FixedTextView(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

template <size_t N>
std::string FixedText(const char (&field)[N]) {
  return std::string(FixedTextView(field));
}
