// A program folder of its own for the configuration pages: a temporary folder
// with "Config", the program's dialog templates and English string table, and the account,
// device and scheme lists empty before and after each test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/temp_folder.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme_store.h"
#include "core/startup_settings.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "platform/dialog_template.h"
#include "platform/paths.h"
#include "platform/string_table.h"

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    paths::SetProgramFolder(folder_.Path());
    paths::SetDriveRoot(folder_.Path() + "drives");
    std::filesystem::create_directory(folder_.File("Config"));
    stringtable::SetFolder(VEMO_TEST_SOURCE_DIR "/../resources/lang/");
    dlgtemplate::SetFolder(VEMO_TEST_SOURCE_DIR "/../resources/dialogs/");
    ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
    ResetGlobals();
  }
  void TearDown() override {
    ResetGlobals();
    FreeLanguageLibrary();
    stringtable::SetFolder("");
    dlgtemplate::SetFolder("");
    paths::SetDriveRoot("");
    paths::SetProgramFolder("");
  }

  static void ResetGlobals() {
    g_lstUserInfo.clear();
    g_lstGroupInfo.clear();
    g_lstRoleInfo.clear();
    g_lstDevInfo.clear();
    g_lstDevGroupInfo.clear();
    FreeRecSchemeList();
    g_szCurUser[0] = '\0';
    std::fill(std::begin(g_nCurRights), std::end(g_nCurRights), 0);
    g_nLoginType = 0;
    g_nLanguage = 0;
  }

  // Native path of a file in "Config".
  std::string ConfigFile(const std::string& name) const { return folder_.File("Config/" + name); }

  void WriteConfig(const std::string& name, const std::string& bytes) const {
    std::ofstream out(ConfigFile(name), std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string ReadConfig(const std::string& name) const {
    std::ifstream in(ConfigFile(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Copies a fixture of tests/settings/fixtures into "Config".
  void InstallFixture(const std::string& fixture, const std::string& name) const {
    std::ifstream in(std::string(VEMO_TEST_SOURCE_DIR) + "/settings/fixtures/" + fixture, std::ios::binary);
    WriteConfig(name, std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }

  TempFolder folder_;
};
