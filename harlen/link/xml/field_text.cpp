#include "harlen/link/xml/field_text.h"

#include <cstring>

namespace {

// GBK: a byte from 0x81 to 0xFE starts a two-byte character.
bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

void CopyFieldText(char* field, size_t width, std::string_view text) {
  if (field == nullptr || width == 0) return;
  std::memset(field, 0, width);
  const size_t room = width - 1;
  size_t taken = 0;
  while (taken < text.size()) {
    const size_t characterLength =
        IsGbkLeadByte(static_cast<unsigned char>(text[taken])) && taken + 1 < text.size() ? 2 : 1;
    if (taken + characterLength > room) break;
    taken += characterLength;
  }
  if (taken > 0) std::memcpy(field, text.data(), taken);
}

std::string_view FieldText(const char* field, size_t width) {
  if (field == nullptr) return {};
  const void* zero = std::memchr(field, 0, width);
  return std::string_view(field, zero != nullptr ? static_cast<const char*>(zero) - field : width);
}
