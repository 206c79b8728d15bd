// The report list's typed comparison of two cell texts and its row quicksort.
//
// Two texts compare by the first rule that both satisfy:
//   1. whole hexadecimal number (unsigned base-16 conversion consumes every
//      character; plain decimal integers pass too and keep their order);
//   2. number with an optional '%' as the last character;
//   3. date and/or time;
//   4. otherwise byte-wise, as multi-byte text of the ANSI code page.
// Descending order comes from the quicksort's direction, never from negating a
// comparison.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace listcompare {

// Rule 1: the text read as an unsigned 32-bit hexadecimal number (a leading
// sign, white space and "0x" are taken like the C library does; values that do
// not fit become 0xFFFFFFFF).
std::optional<uint32_t> ParseHex(std::string_view text);

// Rule 2: the text read as a decimal number, optionally followed by one '%'.
std::optional<double> ParsePercentNumber(std::string_view text);

// Rule 3: seconds since 0001-01-01 of a date ("2024-03-05", "2024/3/5",
// "3/5/2024"), a time ("13:45", "13:45:10", with an optional AM/PM) or a date
// followed by a time.
std::optional<int64_t> ParseDateTime(std::string_view text);

// Negative, zero or positive.
int CompareTexts(std::string_view a, std::string_view b);

// Sorts the row numbers rows[lo..hi] by compare(rowA, rowB), ascending or
// descending, with the pivot taken as the row number in the middle position.
// Stays inside lo..hi even when compare is not a consistent order.
void QuickSortRows(std::vector<int>& rows, int lo, int hi, bool ascending,
                   const std::function<int(int, int)>& compare);

}  // namespace listcompare
