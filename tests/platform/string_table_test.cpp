#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/string_table.h"

namespace {

class StringTableTest : public ::testing::Test {
 protected:
  void SetUp() override { stringtable::SetFolder(VEMO_TEST_SOURCE_DIR "/platform/fixtures/Lang"); }
  void TearDown() override {
    FreeLanguageLibrary();
    stringtable::SetFolder("");
  }
};

}  // namespace

TEST_F(StringTableTest, LoadsTheTableOfTheChosenLanguage) {
  ASSERT_TRUE(LoadLanguageLibrary("LangSC.dll"));
  EXPECT_EQ(LoadStringW(228), QString::fromUtf8("程序正在运行..."));
  EXPECT_EQ(LoadStringA(228), codepage::Utf8ToGbk("程序正在运行..."));
  EXPECT_EQ(LoadStringW(911), QString::fromUtf8("只允许  添加十个点。"));

  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  EXPECT_EQ(LoadStringA(228), "The program is runing...");
  EXPECT_EQ(LoadStringA(911), "Only allowed to  add ten patrol points.");
  EXPECT_EQ(LoadStringA(912), "first line\nsecond line");
}

TEST_F(StringTableTest, MissingIdsAndFilesGiveEmptyTexts) {
  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  EXPECT_EQ(LoadStringA(913), "");
  EXPECT_EQ(LoadStringA(4242), "");
  EXPECT_TRUE(LoadStringW(4242).isEmpty());

  // A missing library leaves no table at all, as does one that is not a table.
  const char* failing[] = {"LangRS.dll", "LangTK.dll", "", nullptr};
  for (const char* name : failing) {
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    EXPECT_FALSE(LoadLanguageLibrary(name)) << (name ? name : "null");
    EXPECT_EQ(LoadStringA(228), "") << (name ? name : "null");
  }
  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  FreeLanguageLibrary();
  EXPECT_EQ(LoadStringA(228), "");
}

TEST(StringTableShipped, EnglishTableIsFoundInTheProgramFolder) {
  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  EXPECT_EQ(LoadStringA(275), "Login...");
  EXPECT_TRUE(LoadLanguageLibrary("LangSC.dll"));
  FreeLanguageLibrary();
}
