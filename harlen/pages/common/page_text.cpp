#include "harlen/pages/common/page_text.h"

#include <netinet/in.h>

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

QString DottedQText(uint32_t address) { return QString::fromStdString(IpToString(address)); }

bool AddressFromQText(const QString& text, uint32_t& address) {
  const uint32_t value = StringToIp(QTextAnsi(text.trimmed()));
  if (value == INADDR_NONE) return false;
  address = value;
  return true;
}

bool PortFromQText(const QString& text, uint16_t& port, uint16_t highest) {
  const QString digits = text.trimmed();
  if (digits.isEmpty() || digits.size() > 5) return false;
  for (QChar c : digits) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  }
  const uint value = digits.toUInt();
  if (value < 1 || value > highest) return false;
  port = static_cast<uint16_t>(value);
  return true;
}
