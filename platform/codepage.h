// Conversion between the program's 8-bit ANSI text (GBK) and wide / UTF-8 text.
//
// Invalid or truncated GBK bytes never make a conversion fail: each undecodable
// byte becomes U+FFFD. Characters that GBK cannot hold become '?'.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace codepage {

std::wstring GbkToWide(std::string_view gbk);
std::string WideToGbk(std::wstring_view wide);

std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

// Window boundary: ANSI text of the program to and from Qt strings.
QString ToQString(std::string_view gbk);
std::string FromQString(const QString& text);

}  // namespace codepage
