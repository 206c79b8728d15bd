#include "shell/settings_menu.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/temp_folder.h"
#include "core/startup_settings.h"
#include "core/user_info.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"
#include "platform/paths.h"
#include "platform/registry_store.h"

namespace {

// A program folder with the default "UserInfo.xml", a registry file and a
// desktop autostart folder of its own.
class SettingsMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    paths::SetProgramFolder(folder_.Path());
    paths::SetConfigHome(folder_.Path() + "xdg");
    regstore::SetFilePath(folder_.File("registry.ini"));
    std::filesystem::create_directory(folder_.File("Config"));
    if (LoadUserInfo() != 0) LoadUserInfo();
    g_bAutoRun = 0;
    g_bAutoLogin = 0;
    LoginInfo login;
    std::snprintf(login.UserName, sizeof login.UserName, "%s", "admin");
    login.LastUsingFlg = 1;
    g_lstLoginInfo.push_back(login);
  }
  void TearDown() override {
    g_lstLoginInfo.clear();
    g_lstUserInfo.clear();
    g_lstGroupInfo.clear();
    g_lstRoleInfo.clear();
    g_bAutoRun = 0;
    g_bAutoLogin = 0;
    regstore::SetFilePath("");
    paths::SetConfigHome("");
    paths::SetProgramFolder("");
  }
  static bool RunEntryExists() {
    std::string value;
    return regstore::ReadString("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Vemo", value) &&
           !value.empty();
  }
  std::string SavedFile() const {
    std::ifstream in(folder_.File("Config/UserInfo.xml"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static bool Checked(UINT id) {
    for (const mainmenu::Item& item : mainmenu::Items(true)) {
      if (item.id == id) return item.checked;
    }
    return false;
  }
  TempFolder folder_;
};

TEST_F(SettingsMenuTest, BootAutomaticallyAlsoTurnsAutomaticLoginOn) {
  mainmenu::ToggleBootAutomatically();
  EXPECT_TRUE(Checked(mainmenu::kBootAutomatically));
  EXPECT_TRUE(Checked(mainmenu::kAutomaticLogin));
  EXPECT_TRUE(RunEntryExists());
  EXPECT_EQ(g_lstLoginInfo.front().SaveFlg, 1);  // the last login keeps its password
  EXPECT_NE(SavedFile().find("<AutoLogin>1</AutoLogin>"), std::string::npos);

  mainmenu::ToggleBootAutomatically();
  EXPECT_FALSE(Checked(mainmenu::kBootAutomatically));
  EXPECT_TRUE(Checked(mainmenu::kAutomaticLogin));
  EXPECT_FALSE(RunEntryExists());
}

TEST_F(SettingsMenuTest, AutomaticLoginOffAlsoTurnsBootAutomaticallyOff) {
  mainmenu::ToggleBootAutomatically();
  ASSERT_TRUE(RunEntryExists());
  mainmenu::ToggleAutomaticLogin();
  EXPECT_FALSE(Checked(mainmenu::kAutomaticLogin));
  EXPECT_FALSE(Checked(mainmenu::kBootAutomatically));
  EXPECT_FALSE(RunEntryExists());
  EXPECT_NE(SavedFile().find("<AutoLogin>0</AutoLogin>"), std::string::npos);

  mainmenu::ToggleAutomaticLogin();
  EXPECT_TRUE(Checked(mainmenu::kAutomaticLogin));
  EXPECT_FALSE(Checked(mainmenu::kBootAutomatically));
}

TEST(SettingsMenu, SystemConfigurationNeedsTheUserManagerRight) {
  for (bool may : {true, false}) {
    for (const mainmenu::Item& item : mainmenu::Items(may)) {
      EXPECT_EQ(item.enabled, item.id != mainmenu::kSystemConfig || may) << item.id;
    }
  }
}

TEST(SettingsMenu, AboutAndHelpTexts) {
  g_strVersion.clear();
  EXPECT_EQ(mainmenu::AboutText("Version"), "Version:4.6_20130822_004");
  g_strVersion = "5.0";
  EXPECT_EQ(mainmenu::AboutText("Version"), "Version:5.0");
  g_strVersion.clear();

  const std::string folder = paths::ProgramFolder();
  const struct {
    int language;
    const char* name;
  } cases[] = {{0, "CH"}, {1, "EN"}, {2, "TC"}, {3, "RS"}, {5, "EN"}};
  for (const auto& c : cases) {
    const std::string base = folder + c.name;
    EXPECT_EQ(mainmenu::HelpFiles(c.language), (std::vector<CString>{base + ".chm", base + ".pdf", base + ".doc"}));
  }
}

}  // namespace
