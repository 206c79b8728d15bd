#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/module_path.h"
#include "core/registry.h"
#include "core/startup_settings.h"
#include "core/user_settings.h"
#include "platform/registry_store.h"
#include "tests/core/config_test_env.h"

namespace {

const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vemo";
const char* kInstaller = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorand\\Windows";

class RegistryTest : public ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    g_nLanguage = 0;
    g_szInstallNumber[0] = '\0';
    g_bAutoRun = 0;
  }
  static void Put(const char* key, const char* name, const std::string& value) {
    CRegistry reg;
    ASSERT_TRUE(reg.Create(HKEY_LOCAL_MACHINE, key));
    ASSERT_TRUE(reg.WriteString(name, value.c_str()));
  }
};

}  // namespace

TEST_F(RegistryTest, KeysAndValuesBehaveAsTheRegistryDoes) {
  CRegistry reg;
  EXPECT_EQ(reg.m_hKey, HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.Open(HKEY_LOCAL_MACHINE, "Software\\Missing"));
  EXPECT_EQ(reg.m_nLastError, ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(reg.Create(HKEY_LOCAL_MACHINE, "Software\\Test"));
  EXPECT_TRUE(reg.WriteDword("Count", 0xFFFFFFFFu));
  EXPECT_EQ(reg.m_dwLastType, REG_DWORD);
  EXPECT_EQ(reg.m_dwLastSize, 4u);
  EXPECT_TRUE(reg.WriteString("Name", "abc"));
  EXPECT_EQ(reg.m_dwLastType, REG_SZ);
  EXPECT_EQ(reg.m_dwLastSize, 4u);  // with the terminating zero
  EXPECT_TRUE(reg.ValueExists("name"));  // names compare without case
  EXPECT_FALSE(reg.ValueExists("Other"));

  DWORD value = 7;
  EXPECT_FALSE(reg.ReadDword("Name", value));  // a string is not a DWORD
  EXPECT_EQ(value, 7u);
  EXPECT_TRUE(reg.ReadDword("Count", value));
  EXPECT_EQ(value, 0xFFFFFFFFu);
  CString text = "kept";
  EXPECT_FALSE(reg.ReadString("Count", text));
  EXPECT_FALSE(reg.ReadString("Missing", text));
  EXPECT_EQ(text, "kept");

  // At most 200 bytes with the zero: 199 characters read, 200 do not.
  EXPECT_TRUE(reg.WriteString("Long", std::string(199, 'x').c_str()));
  EXPECT_TRUE(reg.ReadString("Long", text));
  EXPECT_EQ(text.size(), 199u);
  EXPECT_TRUE(reg.WriteString("Long", std::string(200, 'y').c_str()));
  EXPECT_FALSE(reg.ReadString("Long", text));
  EXPECT_EQ(reg.m_nLastError, ERROR_MORE_DATA);
  EXPECT_EQ(text.size(), 199u);

  EXPECT_TRUE(reg.DeleteValue("Name"));
  EXPECT_FALSE(reg.DeleteValue("Name"));
  EXPECT_TRUE(reg.Create(HKEY_LOCAL_MACHINE, "Software\\Test\\Sub"));
  EXPECT_TRUE(reg.Open(HKEY_LOCAL_MACHINE, "Software"));
  EXPECT_TRUE(reg.OpenSubKey("Test"));
  EXPECT_TRUE(reg.ReadDword("Count", value));
  EXPECT_FALSE(reg.OpenSubKey("Nothing"));
  EXPECT_TRUE(reg.OpenRead(HKEY_LOCAL_MACHINE, "Software\\Test\\Sub"));
  EXPECT_EQ(reg.m_strKeyPath, "Software\\Test\\Sub");
  EXPECT_TRUE(reg.Close());
  EXPECT_EQ(reg.m_hKey, nullptr);
  EXPECT_FALSE(reg.ReadDword("Count", value));
  EXPECT_EQ(reg.m_nLastError, ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, LanguageTextsMapExactly) {
  const std::pair<const char*, int> cases[] = {
      {"", 0}, {"English", 1}, {"english", 0}, {"Simplified Chinese", 0},
      {"Traditional Chinese", 2}, {"Russian", 3}, {"Turkish", 5}, {"Hebrew", 0}};
  for (const auto& [text, expected] : cases) {
    Put(kUninstall, "Language", text);
    g_nLanguage = 9;
    ReadLanguage();
    EXPECT_EQ(g_nLanguage, expected) << text;
  }
  regstore::SetFilePath(folder_.File("empty.ini"));  // no key at all
  g_nLanguage = 9;
  ReadLanguage();
  EXPECT_EQ(g_nLanguage, 0);
}

TEST_F(RegistryTest, InstallNumberIsUpperCasedAndOnlyASuccessfulReadCounts) {
  ReadInstallNumber(g_szInstallNumber);
  EXPECT_STREQ(g_szInstallNumber, "");  // missing key
  Put(kInstaller, "Number", "ab12" + Gbk("号") + "z");
  ReadInstallNumber(g_szInstallNumber);
  EXPECT_EQ(std::string(g_szInstallNumber), "AB12" + Gbk("号") + "Z");
  Put(kInstaller, "Number", "");
  ReadInstallNumber(g_szInstallNumber);
  EXPECT_STREQ(g_szInstallNumber, "");  // an empty value leaves passwords as typed
}

TEST_F(RegistryTest, AutostartEntrySwitchesAutomaticLoginOn) {
  CheckAutoRun();  // no Run key: nothing changes
  EXPECT_EQ(g_bAutoRun, 0);
  g_bAutoLogin = 0;
  SetAutoRun();
  CString command;
  ASSERT_TRUE(regstore::ReadString(std::string("HKEY_LOCAL_MACHINE\\") + kRunKey, "Vemo", command));
  EXPECT_EQ(command, GetModuleDir() + "vemo");
  const std::string desktop = folder_.File("xdg/autostart/Vemo.desktop");
  const std::string entry = ReadBytes(desktop);
  EXPECT_NE(entry.find("Exec=\"" + folder_.Path() + "vemo\"\n"), std::string::npos);
  EXPECT_NE(entry.find("Type=Application\n"), std::string::npos);

  CheckAutoRun();
  EXPECT_EQ(g_bAutoRun, 1);
  EXPECT_EQ(g_bAutoLogin, 1);

  DeleteAutoRun();
  EXPECT_FALSE(std::filesystem::exists(desktop));
  g_bAutoLogin = 0;
  CheckAutoRun();
  EXPECT_EQ(g_bAutoRun, 0);
  EXPECT_EQ(g_bAutoLogin, 0);
  Put(kRunKey, "Vemo", "");
  g_bAutoRun = 1;
  CheckAutoRun();
  EXPECT_EQ(g_bAutoRun, 0);
}
