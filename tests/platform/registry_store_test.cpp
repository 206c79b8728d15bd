#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/temp_folder.h"
#include "platform/codepage.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "platform/registry_store.h"

namespace {

const std::string kRun = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kVemo = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vemo";

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { regstore::SetFilePath(folder_.File("sub/registry.ini")); }
  void TearDown() override { regstore::SetFilePath(""); }
  TempFolder folder_;
};

}  // namespace

TEST_F(RegistryStoreTest, StringsAndDwordsRoundTripThroughTheFile) {
  const std::string gbk = codepage::Utf8ToGbk("C:/程序/Vemo.exe, \"quoted\" =;#[x]");
  ASSERT_TRUE(regstore::WriteString(kRun, "Vemo", gbk));
  ASSERT_TRUE(regstore::WriteDword(kVemo, "EnableLUA", 0xFFFFFFFFu));
  ASSERT_TRUE(regstore::WriteString(kVemo, "Language", ""));

  std::string text;
  EXPECT_TRUE(regstore::ReadString(kRun, "Vemo", text));
  EXPECT_EQ(text, gbk);
  DWORD value = 0;
  EXPECT_TRUE(regstore::ReadDword(kVemo, "EnableLUA", value));
  EXPECT_EQ(value, 0xFFFFFFFFu);
  text = "kept";
  EXPECT_TRUE(regstore::ReadString(kVemo, "Language", text));
  EXPECT_EQ(text, "");
  EXPECT_TRUE(fileapi::Exists(folder_.File("sub/registry.ini")));
}

TEST_F(RegistryStoreTest, FailedReadsLeaveTheOutputAndTypesMustMatch) {
  ASSERT_TRUE(regstore::WriteDword(kVemo, "Count", 7));
  ASSERT_TRUE(regstore::WriteString(kVemo, "Name", "12"));
  std::string text = "kept";
  DWORD value = 99;
  EXPECT_FALSE(regstore::ReadString(kVemo, "Count", text));
  EXPECT_FALSE(regstore::ReadDword(kVemo, "Name", value));
  EXPECT_FALSE(regstore::ReadString(kVemo, "Missing", text));
  EXPECT_FALSE(regstore::ReadDword(kRun, "Count", value));
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(value, 99u);
  EXPECT_EQ(regstore::QueryValue(kVemo, "Count"), regstore::ValueType::Dword);
  EXPECT_EQ(regstore::QueryValue(kVemo, "Name"), regstore::ValueType::String);
  EXPECT_EQ(regstore::QueryValue(kVemo, "Missing"), regstore::ValueType::None);
}

TEST_F(RegistryStoreTest, KeysAndNamesIgnoreCase) {
  ASSERT_TRUE(regstore::WriteString(kRun, "Vemo", "a"));
  std::string text;
  EXPECT_TRUE(regstore::ReadString(
      "hkey_local_machine\\SOFTWARE\\microsoft\\windows\\currentversion\\run\\", "VEMO", text));
  EXPECT_EQ(text, "a");
  ASSERT_TRUE(regstore::WriteString(kRun, "vemo", "b"));
  EXPECT_TRUE(regstore::ReadString(kRun, "Vemo", text));
  EXPECT_EQ(text, "b");
  EXPECT_TRUE(regstore::KeyExists("HKEY_LOCAL_MACHINE\\software\\MICROSOFT\\Windows\\CurrentVersion\\RUN"));
}

TEST_F(RegistryStoreTest, KeysExistOnceCreatedAndValuesCanBeDeleted) {
  EXPECT_FALSE(regstore::KeyExists(kRun));
  ASSERT_TRUE(regstore::CreateKey(kRun));
  EXPECT_TRUE(regstore::KeyExists(kRun));
  EXPECT_FALSE(regstore::KeyExists(kRun + "\\Deeper"));

  ASSERT_TRUE(regstore::WriteString(kRun, "Vemo", "x"));
  EXPECT_TRUE(regstore::DeleteValue(kRun, "VEMO"));
  EXPECT_FALSE(regstore::DeleteValue(kRun, "Vemo"));
  EXPECT_EQ(regstore::QueryValue(kRun, "Vemo"), regstore::ValueType::None);
  EXPECT_TRUE(regstore::KeyExists(kRun));  // the key stays without its value
}

TEST_F(RegistryStoreTest, BadNamesAreRefused) {
  EXPECT_FALSE(regstore::WriteString(kRun, "a/b", "x"));
  EXPECT_FALSE(regstore::WriteString(kRun, "a\\b", "x"));
  EXPECT_FALSE(regstore::WriteString(kRun, "", "x"));
  EXPECT_FALSE(regstore::WriteString(kRun, "(key)", "x"));
  EXPECT_FALSE(regstore::WriteDword("\\\\", "v", 1));
  EXPECT_FALSE(regstore::CreateKey(""));
}

TEST_F(RegistryStoreTest, WritesFromManyThreadsAllLand) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (DWORD i = 0; i < 20; ++i) {
        regstore::WriteDword(kVemo, "v" + std::to_string(t) + "_" + std::to_string(i), i);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) {
    for (DWORD i = 0; i < 20; ++i) {
      DWORD value = 999;
      EXPECT_TRUE(regstore::ReadDword(kVemo, "v" + std::to_string(t) + "_" + std::to_string(i), value));
      EXPECT_EQ(value, i);
    }
  }
}

TEST(RegistryStorePath, DefaultFollowsTheEnvironment) {
  EXPECT_EQ(regstore::DefaultPath("/tmp/elsewhere.ini", "/tmp/cfg"), "/tmp/elsewhere.ini");
  EXPECT_EQ(regstore::DefaultPath("", "/tmp/cfg"), "/tmp/cfg/vemo/registry.ini");
  EXPECT_EQ(regstore::DefaultPath(nullptr, "/tmp/cfg"), "/tmp/cfg/vemo/registry.ini");
  // Without a file of its own the store follows the configuration folder in use.
  paths::SetConfigHome("/tmp/cfg");
  EXPECT_EQ(regstore::FilePath(), "/tmp/cfg/vemo/registry.ini");
  paths::SetConfigHome("");
}
