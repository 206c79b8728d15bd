#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <regex>
#include <set>

#include "platform/codepage.h"
#include "platform/file_api.h"
#include "platform/paths.h"
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

// The shipped tables: one id set, a Chinese text for each id of the Chinese
// table (the names of things such as "IP" or "VSS" may stay Latin beside it).
TEST(StringTableShipped, BothTablesHoldEveryIdAndTheChineseOneIsChinese) {
  auto ids = [](const char* file) {
    std::string xml;
    EXPECT_TRUE(fileapi::ReadWhole(paths::ProgramFolder() + "Lang/" + file, xml)) << file;
    std::set<UINT> found;
    static const std::regex id("<String id=\"([0-9]+)\"");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), id); it != std::sregex_iterator(); ++it)
      found.insert(static_cast<UINT>(std::stoul((*it)[1])));
    return found;
  };
  const std::set<UINT> english = ids("LangEn.xml");
  EXPECT_EQ(ids("LangSC.xml"), english);
  EXPECT_GT(english.size(), 250u);

  ASSERT_TRUE(LoadLanguageLibrary("LangSC.dll"));
  static const QRegularExpression han(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
  for (UINT id : english) {
    const QString text = LoadStringW(id);
    EXPECT_TRUE(text.contains(han)) << "string " << id << " is not Chinese: " << text.toStdString();
  }
  FreeLanguageLibrary();
}

TEST_F(StringTableTest, RemembersTheIdsAskedForUntilTheNextLoad) {
  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  LoadStringA(228);
  LoadStringW(4242);  // missing ones count too
  EXPECT_EQ(stringtable::AskedIds(), (std::set<UINT>{228, 4242}));
  ASSERT_TRUE(LoadLanguageLibrary("LangSC.dll"));
  EXPECT_TRUE(stringtable::AskedIds().empty());
}

// A text's "%d" places take the numbers in order; a missing id gives the
// fallback, filled the same way.
TEST(StringTableShipped, FormattedTextsFillTheirNumbersInOrder) {
  ASSERT_TRUE(LoadLanguageLibrary("LangSC.dll"));
  const struct {
    UINT id;
    const char* fallback;
    std::initializer_list<long> numbers;
    const char* expected;  // UTF-8
  } cases[] = {
      {42004, "CH:%d", {3}, "通道:3"},
      {42003, "PlayerEx%d-%d", {2, 15}, "扩展屏2窗口-15"},
      {42003, "PlayerEx%d-%d", {2}, "扩展屏2窗口-%d"},  // a place past the numbers stays
      {4242, "Row %d of %d", {1, 7}, "Row 1 of 7"},     // missing id
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatStringA(c.id, c.fallback, c.numbers), codepage::Utf8ToGbk(c.expected)) << c.id;
  FreeLanguageLibrary();
}

// The toolkit's own texts (the buttons of its message boxes and pickers, the
// menus of edit boxes) follow the language library.
TEST(StringTableShipped, ToolkitTextsFollowTheLanguageLibrary) {
  ASSERT_TRUE(LoadLanguageLibrary("LangSC.dll"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
  ASSERT_TRUE(LoadLanguageLibrary("LangSC.dll"));
  FreeLanguageLibrary();
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
}
