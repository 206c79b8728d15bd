// The report list's typed comparison, row quicksort and column string.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/list_compare.h"
#include "ui/report_columns.h"

using listcompare::CompareTexts;

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

struct CompareCase {
  const char* a;
  const char* b;
  int expected;  // sign
  const char* why;
};

}  // namespace

TEST(ListCompare, TypedRulesTable) {
  const CompareCase cases[] = {
      {"9", "10", -1, "decimal integers read as hexadecimal keep their order"},
      {"10", "1A", -1, "16 < 26 in hexadecimal"},
      {"1A", "9", 1, "26 > 9"},
      {"face", "FF", 1, "a word of hexadecimal digits is a number: 0xFACE > 0xFF"},
      {"0x10", "15", -1, "a 0x prefix is taken: 16 < 21"},
      {"FFFFFFFF", "100000000", 0, "a value beyond 32 bits is clamped to 0xFFFFFFFF"},
      {"5%", "12.5%", -1, "percent numbers compare numerically"},
      {"12.5%", "100%", -1, "percent numbers compare numerically"},
      {"5%", "5", 0, "5% and 5 are equal"},
      {"2.5", "10", -1, "2.5 is no hexadecimal number, both are numbers"},
      {"-1.5", "0.5", -1, "negative numbers"},
      {"2%x", "10", 1, "2%x is no number: falls to text, '2' > '1'"},
      {"5%%", "10", 1, "only one trailing percent sign makes a number"},
      {"2024-03-05 08:00:00", "2024-03-05 10:00:00", -1, "date-times"},
      {"2023-12-31", "2024-01-01", -1, "dates across a year"},
      {"2024/3/5", "2024-03-04", 1, "dates in both forms"},
      {"09:30", "10:15", -1, "times: '09:30' is no number"},
      {"face", "apple", 1, "a hexadecimal word against another word compares as text"},
      {"Camera", "camera", -1, "text is case-sensitive, upper-case first"},
      {"abc", "abcd", -1, "a prefix sorts first"},
      {"", "x", -1, "the empty text is text"},
      {"\xb1\xb1\xbe\xa9", "\xc9\xcf\xba\xa3", -1, "GBK bytes compare unsigned: 北京 before 上海"},
      {"2024-03-05", "hello", -1, "a date against a word compares as text"},
  };
  for (const CompareCase& c : cases) {
    EXPECT_EQ(Sign(CompareTexts(c.a, c.b)), c.expected) << c.a << " vs " << c.b << ": " << c.why;
    EXPECT_EQ(Sign(CompareTexts(c.b, c.a)), -c.expected) << c.b << " vs " << c.a << " (reversed)";
  }
}

TEST(ListCompare, RuleParsers) {
  EXPECT_FALSE(listcompare::ParseHex(""));
  EXPECT_FALSE(listcompare::ParseHex("12 "));
  EXPECT_FALSE(listcompare::ParseHex("0x"));
  EXPECT_EQ(listcompare::ParseHex(" 1f"), 0x1Fu);
  EXPECT_EQ(listcompare::ParseHex("-1"), 0xFFFFFFFFu);
  EXPECT_FALSE(listcompare::ParsePercentNumber("%"));
  EXPECT_FALSE(listcompare::ParsePercentNumber("5 %"));
  EXPECT_EQ(listcompare::ParsePercentNumber("7.25%"), 7.25);
  EXPECT_FALSE(listcompare::ParseDateTime("2024-02-30"));
  EXPECT_FALSE(listcompare::ParseDateTime("25:00"));
  EXPECT_TRUE(listcompare::ParseDateTime("2024-02-29 23:59:59"));
  EXPECT_TRUE(listcompare::ParseDateTime("3/5/2024 1:05 PM"));
}

TEST(ListCompare, QuickSortOrdersBothWaysAndStaysInBounds) {
  std::vector<std::string> texts = {"1A", "9", "10", "FF", "0", "9", "200"};
  std::vector<int> rows(texts.size());
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
  auto compare = [&](int a, int b) { return CompareTexts(texts[static_cast<size_t>(a)], texts[static_cast<size_t>(b)]); };
  listcompare::QuickSortRows(rows, 0, static_cast<int>(rows.size()) - 1, true, compare);
  std::vector<std::string> sorted;
  for (int r : rows) sorted.push_back(texts[static_cast<size_t>(r)]);
  EXPECT_EQ(sorted, (std::vector<std::string>{"0", "9", "9", "10", "1A", "FF", "200"}));
  listcompare::QuickSortRows(rows, 0, static_cast<int>(rows.size()) - 1, false, compare);
  sorted.clear();
  for (int r : rows) sorted.push_back(texts[static_cast<size_t>(r)]);
  EXPECT_EQ(sorted, (std::vector<std::string>{"200", "FF", "1A", "10", "9", "9", "0"}));

  // A comparison that is no order at all must not run outside the range.
  std::vector<int> many(50);
  for (int i = 0; i < 50; ++i) many[static_cast<size_t>(i)] = i;
  unsigned seed = 7;
  listcompare::QuickSortRows(many, 0, 49, true, [&](int, int) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % 3) - 1;
  });
  std::vector<int> check = many;
  std::sort(check.begin(), check.end());
  for (int i = 0; i < 50; ++i) EXPECT_EQ(check[static_cast<size_t>(i)], i);
}

TEST(ReportColumns, ColumnStringTable) {
  auto columns = ParseColumnHeader("Time,150;Device,120,1;Type,80,2");
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[0].title, "Time");
  EXPECT_EQ(columns[0].width, 150);
  EXPECT_EQ(columns[0].align, ColumnAlign::Left);
  EXPECT_EQ(columns[1].align, ColumnAlign::Center);
  EXPECT_EQ(columns[2].align, ColumnAlign::Right);
  EXPECT_EQ(columns[2].width, 80);

  columns = ParseColumnHeader("A,50;;B");
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[1].title, "B");
  EXPECT_EQ(columns[1].width, 100);

  columns = ParseColumnHeader("Name,,2");  // empty fields are dropped before counting
  ASSERT_EQ(columns.size(), 1u);
  EXPECT_EQ(columns[0].width, 2);
  EXPECT_EQ(columns[0].align, ColumnAlign::Left);

  EXPECT_TRUE(ParseColumnHeader(";;,;").empty());
  columns = ParseColumnHeader("X,abc,7");
  ASSERT_EQ(columns.size(), 1u);
  EXPECT_EQ(columns[0].width, 0);
}
