// The 8-bit (GBK) text fields of the configuration records as the pages show
// and store them.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
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

// An IPv4 address (network order) as dotted text.
QString DottedQText(uint32_t address);
// Reads dotted text typed by the user: true and `address` set for an address;
// false and `address` untouched for text that is none. All ones counts as none:
// it is what unreadable text turns into, and the NVR's sections refuse it.
bool AddressFromQText(const QString& text, uint32_t& address);
// Reads a port typed by the user: true and `port` set for a number from 1 to
// `highest` (digits only); false and `port` untouched for any other text.
bool PortFromQText(const QString& text, uint16_t& port, uint16_t highest = 65535);
