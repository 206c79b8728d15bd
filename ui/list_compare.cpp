#include "ui/list_compare.h"

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace listcompare {

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

template <class T>
int Order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Reads an unsigned integer of 1..maxDigits decimal digits at text[pos].
bool ReadNumber(std::string_view text, size_t& pos, size_t maxDigits, int& value) {
  size_t start = pos;
  value = 0;
  while (pos < text.size() && pos - start < maxDigits && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  return pos > start;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Days from 0001-01-01 to the date (proleptic Gregorian).
int64_t DayNumber(int y, int m, int d) {
  int64_t yy = y - 1;
  int64_t days = yy * 365 + yy / 4 - yy / 100 + yy / 400;
  for (int i = 1; i < m; ++i) days += DaysInMonth(y, i);
  return days + d - 1;
}

// A date "Y-M-D", "Y/M/D" (four-digit year first) or "M/D/Y"; days or nothing.
std::optional<int64_t> ReadDate(std::string_view text, size_t& pos) {
  size_t p = pos;
  int a = 0, b = 0, c = 0;
  size_t aStart = p;
  if (!ReadNumber(text, p, 4, a)) return std::nullopt;
  size_t aDigits = p - aStart;
  if (p >= text.size() || (text[p] != '-' && text[p] != '/')) return std::nullopt;
  char sep = text[p++];
  if (!ReadNumber(text, p, 2, b)) return std::nullopt;
  if (p >= text.size() || text[p] != sep) return std::nullopt;
  ++p;
  size_t cStart = p;
  if (!ReadNumber(text, p, 4, c)) return std::nullopt;
  int y, m, d;
  if (aDigits == 4) {
    y = a, m = b, d = c;
  } else if (sep == '/' && p - cStart == 4) {
    m = a, d = b, y = c;
  } else {
    return std::nullopt;
  }
  if (y < 100 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return std::nullopt;
  pos = p;
  return DayNumber(y, m, d);
}

// A time "H:M" or "H:M:S" with an optional AM/PM; seconds or nothing.
std::optional<int64_t> ReadTime(std::string_view text, size_t& pos) {
  size_t p = pos;
  int h = 0, m = 0, s = 0;
  if (!ReadNumber(text, p, 2, h)) return std::nullopt;
  if (p >= text.size() || text[p] != ':') return std::nullopt;
  ++p;
  if (!ReadNumber(text, p, 2, m)) return std::nullopt;
  if (p < text.size() && text[p] == ':') {
    ++p;
    if (!ReadNumber(text, p, 2, s)) return std::nullopt;
  }
  size_t q = p;
  while (q < text.size() && text[q] == ' ') ++q;
  if (q + 2 <= text.size()) {
    std::string mark(text.substr(q, 2));
    for (char& ch : mark) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (mark == "AM" || mark == "PM") {
      if (h < 1 || h > 12) return std::nullopt;
      h = h % 12 + (mark == "PM" ? 12 : 0);
      p = q + 2;
    }
  }
  if (h > 23 || m > 59 || s > 59) return std::nullopt;
  pos = p;
  return static_cast<int64_t>(h) * 3600 + m * 60 + s;
}

// The C locale for number conversion: the program's locale may use a decimal comma.
locale_t CLocale() {
  static locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

std::optional<uint32_t> ParseHex(std::string_view text) {
  if (text.empty()) return std::nullopt;
  size_t p = 0;
  while (p < text.size() && IsSpace(text[p])) ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  // "0x" counts as a prefix only when a hexadecimal digit follows it.
  if (p + 2 < text.size() && text[p] == '0' && (text[p + 1] == 'x' || text[p + 1] == 'X') &&
      HexDigit(text[p + 2]) >= 0) {
    p += 2;
  }
  size_t digitsStart = p;
  uint64_t value = 0;
  bool overflow = false;
  for (; p < text.size() && HexDigit(text[p]) >= 0; ++p) {
    value = value * 16 + static_cast<uint64_t>(HexDigit(text[p]));
    if (value > 0xFFFFFFFFull) {
      overflow = true;
      value = 0xFFFFFFFFull;
    }
  }
  if (p == digitsStart || p != text.size()) return std::nullopt;
  if (overflow) return 0xFFFFFFFFu;
  uint32_t result = static_cast<uint32_t>(value);
  return negative ? static_cast<uint32_t>(0u - result) : result;
}

std::optional<double> ParsePercentNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::string copy(text);  // strtod needs a terminated string
  char* end = nullptr;
  double value = strtod_l(copy.c_str(), &end, CLocale());
  if (end == copy.c_str()) return std::nullopt;
  size_t used = static_cast<size_t>(end - copy.c_str());
  if (used == copy.size()) return value;
  if (used + 1 == copy.size() && copy[used] == '%') return value;
  return std::nullopt;
}

std::optional<int64_t> ParseDateTime(std::string_view text) {
  size_t p = 0;
  while (p < text.size() && text[p] == ' ') ++p;
  int64_t seconds = 0;
  bool any = false;
  size_t datePos = p;
  if (auto days = ReadDate(text, datePos)) {
    seconds = *days * 86400;
    p = datePos;
    any = true;
    while (p < text.size() && text[p] == ' ') ++p;
  }
  size_t timePos = p;
  if (auto time = ReadTime(text, timePos)) {
    // A time alone stands on the base date 1899-12-30, like an empty date part.
    if (!any) seconds = DayNumber(1899, 12, 30) * 86400;
    seconds += *time;
    p = timePos;
    any = true;
  }
  while (p < text.size() && text[p] == ' ') ++p;
  if (!any || p != text.size()) return std::nullopt;
  return seconds;
}

int CompareTexts(std::string_view a, std::string_view b) {
  auto hexA = ParseHex(a), hexB = ParseHex(b);
  if (hexA && hexB) return Order(*hexA, *hexB);
  auto numA = ParsePercentNumber(a), numB = ParsePercentNumber(b);
  if (numA && numB) return Order(*numA, *numB);
  auto dateA = ParseDateTime(a), dateB = ParseDateTime(b);
  if (dateA && dateB) return Order(*dateA, *dateB);
  // Byte-wise over unsigned bytes: GBK lead and trail bytes order as the code page does.
  size_t n = std::min(a.size(), b.size());
  int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  return Order(a.size(), b.size());
}

void QuickSortRows(std::vector<int>& rows, int lo, int hi, bool ascending,
                   const std::function<int(int, int)>& compare) {
  while (lo < hi) {
    int pivot = rows[static_cast<size_t>((lo + hi) / 2)];
    int i = lo, j = hi;
    auto before = [&](int row) {
      int c = compare(row, pivot);
      return ascending ? c < 0 : c > 0;
    };
    auto after = [&](int row) {
      int c = compare(row, pivot);
      return ascending ? c > 0 : c < 0;
    };
    do {
      while (i < hi && before(rows[static_cast<size_t>(i)])) ++i;
      while (j > lo && after(rows[static_cast<size_t>(j)])) --j;
      if (i <= j) {
        if (i != j) std::swap(rows[static_cast<size_t>(i)], rows[static_cast<size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    // Recurse into the smaller part, loop on the larger: bounded stack depth.
    if (j - lo < hi - i) {
      if (lo < j) QuickSortRows(rows, lo, j, ascending, compare);
      lo = i;
    } else {
      if (i < hi) QuickSortRows(rows, i, hi, ascending, compare);
      hi = j;
    }
  }
}

}  // namespace listcompare
