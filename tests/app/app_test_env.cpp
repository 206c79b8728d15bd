#include "app_test_env.h"

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/client_log.h"
#include "core/fixed_text.h"
#include "core/md5.h"
#include "core/user_info.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "platform/string_table.h"

void AppTest::SetUp() {
  const std::string bin = QCoreApplication::applicationDirPath().toStdString();
  for (const char* folder : {"Lang", "Resources", "Images"}) {
    std::filesystem::create_directory_symlink(bin + "/" + folder, folder_.File(folder));
  }
  paths::SetProgramFolder(folder_.Path());
  paths::SetDriveRoot(folder_.File("drives"));
  paths::SetConfigHome(folder_.File("xdg"));
  regstore::SetFilePath(folder_.File("registry.ini"));
  regstore::WriteString("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vemo",
                        "Language", "English");
  LoadLanguageLibrary("LangEn.dll");
}

void AppTest::TearDown() {
  CloseLogFile();
  regstore::SetFilePath("");
  paths::SetConfigHome("");
  paths::SetDriveRoot("");
  paths::SetProgramFolder("");
}

std::string AppTest::Md5(const char* text) {
  char out[33];
  Md5UpperHex(text, out);
  return out;
}

void AppTest::PrepareAccounts(const char* password, bool autoLogin) {
  std::filesystem::create_directories(folder_.File("Config"));
  LoadUserInfo();
  ASSERT_EQ(LoadUserInfo(), 0);
  CopyFixedText(g_lstUserInfo.front().Password, Md5(password).c_str());
  if (autoLogin) {
    LoginInfo login;
    CopyFixedText(login.UserName, "admin");
    CopyFixedText(login.Password, Md5(password).c_str());
    login.SaveFlg = 1;
    login.LastUsingFlg = 1;
    g_lstLoginInfo.push_back(login);
    g_bAutoLogin = 1;
  }
  SaveUserInfo();
  CloseLogFile();
}

std::string AppTest::Log() const {
  std::ifstream file(folder_.File("drives/D/Vemo-Log/clientlog.txt"), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}
