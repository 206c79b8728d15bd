#include "core/gbk_search.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"

namespace {

// GBK bytes of the Chinese names used below.
#define ZHANG "\xD5\xC5"  // initial z
#define SAN "\xC8\xFD"    // initial s
#define MEN "\xC3\xC5"    // initial m
#define KOU "\xBF\xDA"    // initial k
#define LI "\xC0\xEE"     // initial l
#define SI "\xCB\xC4"     // initial s

}  // namespace

TEST(GbkText, CharCountAndLeft) {
  const struct {
    CString text;
    int chars;
  } counts[] = {
      {"", 0}, {"abc", 3}, {ZHANG SAN, 2}, {"a" ZHANG "b", 3},
      {"\xD5", 1},            // a lead byte alone at the end counts as one character
      {"a" ZHANG "\xC8", 3},
  };
  for (const auto& c : counts) EXPECT_EQ(GetGbkCharCount(c.text), c.chars) << c.text;

  const struct {
    CString text;
    int n;
    CString left;
  } lefts[] = {
      {ZHANG SAN "abc", 1, ZHANG}, {ZHANG SAN "abc", 3, ZHANG SAN "a"},
      {ZHANG SAN "abc", 9, ZHANG SAN "abc"}, {ZHANG SAN, 0, ""}, {ZHANG SAN, -1, ""},
      {"a\xD5", 2, "a\xD5"}, {"a\xD5", 1, "a"},
  };
  for (const auto& c : lefts) EXPECT_EQ(GbkLeft(c.text, c.n), c.left) << c.text << " " << c.n;
}

TEST(GbkText, PinyinInitialRangeEnds) {
  const struct {
    unsigned code;
    char letter;  // 0: in no range
  } cases[] = {
      {0xB0A0, 0},   {0xB0A1, 'a'}, {0xB0C4, 'a'}, {0xB0C5, 'b'}, {0xBBF6, 'h'}, {0xBBF7, 'j'},
      {0xBC84, 'j'}, {0xBCA1, 'j'}, {0xC4C2, 'm'}, {0xC4C3, 'n'}, {0xC5B6, 'o'}, {0xC5BD, 'o'},
      {0xD4D1, 'z'}, {0xD7F9, 'z'}, {0xD7FA, 0},   {0xD5C5, 'z'}, {0xC8FD, 's'},
      {0x8140, 0},   {0xFEFE, 0},
  };
  for (const auto& c : cases) {
    const BYTE lead = static_cast<BYTE>(c.code >> 8), trail = static_cast<BYTE>(c.code & 0xFF);
    for (char letter = 'a'; letter <= 'z'; ++letter) {
      EXPECT_EQ(GetPinyinInitial(lead, trail, letter), letter == c.letter ? TRUE : FALSE)
          << std::hex << c.code << " " << letter;
    }
  }
}

// GB2312's first level is sorted by pinyin: the first and the last character of
// every initial have that initial and no other.
TEST(GbkText, PinyinInitialsFollowTheGb2312Order) {
  const struct {
    const char* first;
    const char* last;
    char letter;
  } rows[] = {
      {"啊", "澳", 'a'}, {"芭", "怖", 'b'}, {"擦", "错", 'c'}, {"搭", "堕", 'd'}, {"蛾", "贰", 'e'},
      {"发", "咐", 'f'}, {"噶", "过", 'g'}, {"哈", "祸", 'h'}, {"击", "骏", 'j'}, {"喀", "阔", 'k'},
      {"垃", "络", 'l'}, {"妈", "穆", 'm'}, {"拿", "诺", 'n'}, {"哦", "沤", 'o'}, {"啪", "瀑", 'p'},
      {"期", "群", 'q'}, {"然", "弱", 'r'}, {"撒", "所", 's'}, {"塌", "唾", 't'}, {"挖", "误", 'w'},
      {"昔", "迅", 'x'}, {"压", "孕", 'y'}, {"匝", "座", 'z'},
  };
  for (const auto& row : rows) {
    for (const char* utf8 : {row.first, row.last}) {
      const std::string gbk = codepage::Utf8ToGbk(utf8);
      ASSERT_EQ(gbk.size(), 2u) << utf8;
      for (char letter = 'a'; letter <= 'z'; ++letter) {
        EXPECT_EQ(GetPinyinInitial(static_cast<BYTE>(gbk[0]), static_cast<BYTE>(gbk[1]), letter),
                  letter == row.letter ? TRUE : FALSE)
            << utf8 << " " << letter;
      }
    }
  }
  // Device names found by their initials across the corrected ends.
  const struct {
    const char* name;
    const char* initials;
  } names[] = {{"摄像机", "sxj"}, {"基站", "jz"}, {"钠灯", "nd"}, {"哪里", "nl"}, {"祸", "h"}};
  for (const auto& n : names) {
    EXPECT_TRUE(MatchNameFilter(codepage::Utf8ToGbk(n.name), n.initials, FALSE, '*')) << n.name;
  }
}

TEST(GbkText, MatchGbkChars) {
  const struct {
    CString text, pattern;
    BOOL match;
  } cases[] = {
      {"Cam", "cAM", TRUE},       {"Cam", "Ca", FALSE},        {"", "", TRUE},
      {ZHANG SAN, "zs", TRUE},    {ZHANG SAN, "ZS", TRUE},     {ZHANG SAN, "sz", FALSE},
      {ZHANG SAN, ZHANG "s", TRUE}, {ZHANG SAN, LI "s", FALSE}, {"zs", ZHANG SAN, FALSE},
      {ZHANG "1", "z1", TRUE},    {ZHANG, "1", FALSE},         {"\x81\x40", "a", FALSE},
      // cut-off lead byte: equals only itself, never read beyond
      {ZHANG "\xC8", "zs", FALSE}, {ZHANG "\xC8", "z\xC8", TRUE}, {"\xC8", SAN, FALSE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchGbkChars(c.text, c.pattern), c.match) << c.text << " / " << c.pattern;
  }
}

// The device tree's search box: text, pattern, anywhere flag, wildcard -> match.
TEST(GbkText, MatchNameFilterPatterns) {
  const struct {
    CString text, pattern;
    BOOL anywhere;
    char wildcard;
    BOOL match;
  } cases[] = {
      // empty text, empty pattern, non-ASCII wildcard
      {"", "", FALSE, '*', FALSE},
      {"", "a", TRUE, '*', FALSE},
      {"Door cam", "", FALSE, '*', TRUE},
      {"Door cam", "*cam", FALSE, '\xD5', FALSE},
      {"Door cam", "cam", TRUE, '\xAA', FALSE},
      // no wildcard and x* : the text starts with x
      {"Door cam", "door", FALSE, '*', TRUE},
      {"Door cam", "cam", FALSE, '*', FALSE},
      {"Door cam", "door*", FALSE, '*', TRUE},
      {"Door cam", "cam*", FALSE, '*', FALSE},
      {"Door", "Door cam", FALSE, '*', FALSE},
      // wildcards alone
      {"Door cam", "*", FALSE, '*', TRUE},
      {"Door cam", "**", FALSE, '*', TRUE},
      // *x : the text ends with x
      {"Door cam", "*cam", FALSE, '*', TRUE},
      {"DOOR CAM", "*cam", FALSE, '*', TRUE},
      {"Door camera", "*cam", FALSE, '*', FALSE},
      {"am", "*cam", FALSE, '*', FALSE},
      // x*y : starts with x and ends with y
      {"Door cam", "d*m", FALSE, '*', TRUE},
      {"Door cam", "door*cam", FALSE, '*', TRUE},
      {"Door cam", "d*x", FALSE, '*', FALSE},
      {"Door cam", "x*m", FALSE, '*', FALSE},
      // *x* : x strictly inside, text at least two characters longer
      {"Door cam", "*or*", FALSE, '*', TRUE},
      {"Door cam", "*oor ca*", FALSE, '*', TRUE},
      {"Door cam", "*oor cam*", FALSE, '*', FALSE},
      {"Door cam", "*door*", FALSE, '*', FALSE},
      {"Door cam", "*cam*", FALSE, '*', FALSE},
      {"Door cam 2", "*cam*", FALSE, '*', TRUE},
      {"Door cam", "*xyz*", FALSE, '*', FALSE},
      // two wildcards elsewhere, more than two
      {"abc", "a*b*c", FALSE, '*', FALSE},
      {"abc", "a*b*", FALSE, '*', FALSE},
      {"abc", "*a*b", FALSE, '*', FALSE},
      {"abc", "a**", FALSE, '*', FALSE},
      {"abc", "**c", FALSE, '*', FALSE},
      {"abc", "***", FALSE, '*', FALSE},
      {"abcde", "*b*d*", FALSE, '*', FALSE},
      // another ASCII wildcard: '*' is then an ordinary character
      {"Door cam", "?cam", FALSE, '?', TRUE},
      {"Door cam", "*cam", FALSE, '?', FALSE},
      {"*cam", "*cam", FALSE, '?', TRUE},
      // anywhere: the pattern at any position, the wildcard taken literally
      {"Door cam", "cam", TRUE, '*', TRUE},
      {"Door cam", "OR C", TRUE, '*', TRUE},
      {"Door cam", "*cam", TRUE, '*', FALSE},
      {"a*cam", "*cam", TRUE, '*', TRUE},
      {"Door cam", "door cam!", TRUE, '*', FALSE},
      // Chinese names and pinyin initials
      {ZHANG SAN, "zs", FALSE, '*', TRUE},
      {ZHANG SAN, "ZS", FALSE, '*', TRUE},
      {ZHANG SAN, "z", FALSE, '*', TRUE},
      {ZHANG SAN, "zx", FALSE, '*', FALSE},
      {LI SI, "zs", FALSE, '*', FALSE},
      {LI SI, "*s", FALSE, '*', TRUE},
      {ZHANG SAN, ZHANG "*", FALSE, '*', TRUE},
      {ZHANG SAN, ZHANG "s", FALSE, '*', TRUE},
      {ZHANG SAN, SAN, FALSE, '*', FALSE},
      {ZHANG SAN, "*" SAN, FALSE, '*', TRUE},
      {ZHANG SAN, "z*" SAN, FALSE, '*', TRUE},
      {ZHANG SAN MEN KOU, "*" SAN MEN "*", FALSE, '*', TRUE},
      {ZHANG SAN MEN KOU, "*sm*", FALSE, '*', TRUE},
      {ZHANG SAN MEN KOU, "*" ZHANG SAN "*", FALSE, '*', FALSE},
      {ZHANG SAN MEN KOU, "mk", TRUE, '*', TRUE},
      {ZHANG SAN MEN KOU, "km", TRUE, '*', FALSE},
      {"cam " ZHANG SAN, "*zs", FALSE, '*', TRUE},
      // a GBK trail byte equal to the wildcard is no wildcard
      {"\x81\x40x", "\x81\x40", FALSE, '@', TRUE},
      // cut-off lead byte at the end of the text
      {ZHANG "\xC8", "zs", FALSE, '*', FALSE},
      {ZHANG "\xC8", "*\xC8", FALSE, '*', TRUE},
      {ZHANG "\xC8", "s", TRUE, '*', FALSE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchNameFilter(c.text, c.pattern, c.anywhere, c.wildcard), c.match)
        << "text '" << c.text << "' pattern '" << c.pattern << "' anywhere " << c.anywhere
        << " wildcard '" << c.wildcard << "'";
  }
}
