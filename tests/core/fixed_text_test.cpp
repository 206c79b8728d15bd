#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/fixed_text.h"
#include "core/time_of_day.h"

TEST(FixedText, CopiesAreBoundedAndNeverSplitACharacter) {
  struct Case {
    std::string src;
    std::string expected;
  };
  const std::string ch = "\xB4\xF3";  // one GBK character
  const Case cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"abcdefg", "abcdefg"},       // exactly size - 1
      {"abcdefgh", "abcdefg"},      // one over
      {"abcdef" + ch, "abcdef"},    // the character would need the last byte
      {"abcde" + ch, "abcde" + ch},
      {ch + ch + ch + ch + ch, ch + ch + ch},
  };
  for (const Case& c : cases) {
    char field[8 + 2];
    std::memset(field, '#', sizeof field);
    CopyFixedText(field, 8, c.src.c_str());
    EXPECT_EQ(std::string(field), c.expected) << c.src;
    EXPECT_EQ(field[8], '#');  // nothing past the field
    EXPECT_EQ(field[9], '#');
  }
  char field[4] = {'x', 'x', 'x', 'x'};
  CopyFixedText(field, nullptr);
  EXPECT_STREQ(field, "");
  char full[3] = {'a', 'b', 'c'};  // filled to the brim without a zero
  EXPECT_EQ(FixedText(full), "abc");
}

TEST(TimeOfDay, ParsesTheFixedFormWithOrWithoutADate) {
  struct Case {
    const char* text;
    bool ok;
    int h, m, s;
  };
  const Case cases[] = {
      {"08:05:09", true, 8, 5, 9},        {"8:5:9", true, 8, 5, 9},
      {"23:59:59", true, 23, 59, 59},     {"00:00:00", true, 0, 0, 0},
      {"12:30", true, 12, 30, 0},         {"2024-05-01 18:30:15", true, 18, 30, 15},
      {"1899/12/30  7:00:01 ", true, 7, 0, 1},
      {"24:00:00", false, 0, 0, 0},       {"12:60:00", false, 0, 0, 0},
      {"12:00:60", false, 0, 0, 0},       {"", false, 0, 0, 0},
      {"noon", false, 0, 0, 0},           {"12:00:00 PM", false, 0, 0, 0},
      {"12:00:", false, 0, 0, 0},         {"123:00:00", false, 0, 0, 0},
      {"2024-05-01", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TimeOfDay t = TimeOfDay::FromHms(1, 2, 3);
    EXPECT_EQ(ParseTimeOfDay(c.text, t), c.ok) << c.text;
    EXPECT_EQ(t, c.ok ? TimeOfDay::FromHms(c.h, c.m, c.s) : TimeOfDay::FromHms(1, 2, 3)) << c.text;
  }
  TimeOfDay unused;
  EXPECT_FALSE(ParseTimeOfDay(nullptr, unused));
  EXPECT_EQ(FormatTimeOfDay(TimeOfDay::FromHms(7, 3, 0)), "07:03:00");
}
