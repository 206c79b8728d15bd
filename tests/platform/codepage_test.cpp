#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace {

// "张三" and "中文" in GBK.
const std::string kZhangSan = "\xD5\xC5\xC8\xFD";
const std::string kZhongWen = "\xD6\xD0\xCE\xC4";

TEST(Codepage, GbkRoundTripsThroughWideUtf8AndQString) {
  for (const std::string& gbk : {std::string("camera 1"), kZhangSan, kZhongWen + "-" + kZhangSan, std::string()}) {
    EXPECT_EQ(codepage::WideToGbk(codepage::GbkToWide(gbk)), gbk);
    EXPECT_EQ(codepage::Utf8ToGbk(codepage::GbkToUtf8(gbk)), gbk);
    EXPECT_EQ(codepage::FromQString(codepage::ToQString(gbk)), gbk);
  }
  EXPECT_EQ(codepage::ToQString(kZhangSan), QString::fromUtf8("张三"));
}

TEST(Codepage, InvalidAndTruncatedBytesBecomeReplacementCharacters) {
  struct Case {
    std::string gbk;
    std::wstring wide;
  } cases[] = {
      {"a\xD5", L"a\uFFFD"},                  // lead byte cut off at the end
      {"\xFF\xFF" "b", L"\uFFFD\uFFFD" L"b"},  // bytes GBK never uses
      {"\xFF", L"\uFFFD"},
      {kZhangSan + "\xD5", L"张三\uFFFD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(codepage::GbkToWide(c.gbk), c.wide) << c.gbk;
  }
}

TEST(Codepage, CharactersOutsideGbkBecomeQuestionMarks) {
  EXPECT_EQ(codepage::FromQString(QString::fromUtf8("a\xF0\x9F\x98\x80" "b")), "a?b");
  EXPECT_EQ(codepage::Utf8ToGbk("x\xC3"), "x?");  // invalid UTF-8 input
}

}  // namespace
