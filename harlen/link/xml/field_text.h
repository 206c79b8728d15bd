// The fixed text fields of the configuration records: 8-bit GBK text, a field
// of width n holds at most n - 1 bytes and a terminating zero.
#pragma once

#include <cstddef>
#include <string_view>

// Copies `text` into a field of `width` bytes: as many whole characters as fit
// in width - 1 bytes (a double-byte character is never cut in two), then a
// zero. The rest of the field is cleared.
void CopyFieldText(char* field, size_t width, std::string_view text);

template <size_t N>
void CopyFieldText(char (&field)[N], std::string_view text) {
  CopyFieldText(field, N, text);
}

// The text of a field, up to its zero or its last byte, whichever comes first.
std::string_view FieldText(const char* field, size_t width);

template <size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return FieldText(field, N);
}
