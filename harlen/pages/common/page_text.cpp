#include "harlen/pages/common/page_text.h"

#include <string>

#include "harlen/link/xml/text_codec.h"

QString AnsiQText(std::string_view ansi) {
  std::u16string wide;
  AnsiToUnicode(ansi, wide);
  return QString::fromStdU16String(wide);
}

std::string QTextAnsi(const QString& text) {
  std::string ansi;
  UnicodeToAnsi(text.toStdU16String(), ansi);
  return ansi;
}

void StoreFieldQText(char* field, size_t width, const QString& text) { CopyFieldText(field, width, QTextAnsi(text)); }
