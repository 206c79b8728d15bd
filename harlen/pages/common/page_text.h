// The 8-bit (GBK) text fields of the configuration records as the pages show
// and store them.
#pragma once

#include <QString>
#include <cstddef>
#include <string_view>

#include "harlen/link/xml/field_text.h"

// GBK text to the window's text.
QString AnsiQText(std::string_view ansi);
template <size_t N>
QString FieldQText(const char (&field)[N]) {
  return AnsiQText(FieldText(field));
}

// The window's text as GBK.
std::string QTextAnsi(const QString& text);
// Stores the window's text into a field of `width` bytes: cut to width - 1
// bytes (never inside a double-byte character) and a terminating zero.
void StoreFieldQText(char* field, size_t width, const QString& text);
template <size_t N>
void StoreFieldQText(char (&field)[N], const QString& text) {
  StoreFieldQText(field, N, text);
}
