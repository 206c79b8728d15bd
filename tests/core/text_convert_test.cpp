#include "core/text_convert.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

TEST(SplitString, Table) {
  const struct {
    const char* text;
    const char* sep;
    BOOL skipEmpty;
    CStringArray pieces;
  } cases[] = {
      {"a,,b", ",", TRUE, {"a", "b"}},
      {"a,,b", ",", FALSE, {"a", "", "b"}},
      {",a,", ",", TRUE, {"a"}},
      {",a,", ",", FALSE, {"", "a", ""}},
      {"a::b::c", "::", FALSE, {"a", "b", "c"}},
      {"a:::b", "::", FALSE, {"a", ":b"}},
      {"abc", ",", TRUE, {"abc"}},
      {"", ",", FALSE, {""}},
      {"", ",", TRUE, {}},
      {",,,", ",", TRUE, {}},
      {"abc", "", FALSE, {}},
      {"\xD5\xC5,\xC8\xFD", ",", FALSE, {"\xD5\xC5", "\xC8\xFD"}},
  };
  for (const auto& c : cases) {
    CStringArray out{"kept"};
    EXPECT_EQ(SplitString(c.text, c.sep, c.skipEmpty, &out), static_cast<int>(c.pieces.size()))
        << c.text << " / " << c.sep;
    CStringArray expected{"kept"};
    expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
    EXPECT_EQ(out, expected) << c.text << " / " << c.sep;
  }
  EXPECT_EQ(SplitString("a,b", ",", FALSE, nullptr), 0);
}

TEST(CodePage, AnsiAndWideRoundTrip) {
  CStringW wide;
  ASSERT_TRUE(AnsiToWide("\xD5\xC5\xC8\xFD cam", wide));
  EXPECT_EQ(wide, L"\u5F20\u4E09 cam");
  CString ansi;
  ASSERT_TRUE(WideToAnsi(wide, ansi));
  EXPECT_EQ(ansi, "\xD5\xC5\xC8\xFD cam");
}

TEST(CodePage, EmptyInputIsFalseAndInvalidBytesDoNotFail) {
  CStringW wide = L"old";
  EXPECT_FALSE(AnsiToWide("", wide));
  EXPECT_EQ(wide, L"old");
  CString ansi = "old";
  EXPECT_FALSE(WideToAnsi(L"", ansi));
  EXPECT_EQ(ansi, "old");

  ASSERT_TRUE(AnsiToWide("a\xD5", wide));  // cut-off two-byte character
  EXPECT_EQ(wide.substr(0, 1), L"a");
  EXPECT_GE(wide.size(), 2u);
}

TEST(GetNodeText, TextOrEmpty) {
  TiXmlDocument doc;
  doc.Parse("<r><a>text</a><b/><c></c></r>");
  const TiXmlElement* root = doc.RootElement();
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(GetNodeText(root->FirstChildElement("a")), "text");
  EXPECT_STREQ(GetNodeText(root->FirstChildElement("b")), "");
  EXPECT_STREQ(GetNodeText(root->FirstChildElement("c")), "");
  EXPECT_STREQ(GetNodeText(nullptr), "");
}
