#include "tests/core/config_test_env.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/module_path.h"
#include "core/rec_scheme_store.h"
#include "core/sur_status_store.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/registry_store.h"

void ConfigTest::ResetGlobals() {
  g_lstDevInfo.clear();
  g_lstDevGroupInfo.clear();
  g_bAlarmAudio = 0;
  for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) delete scheme;
  g_lstRecSchemeInfo.clear();
  g_lstSurStatus.clear();
  g_lstLoginInfo.clear();
  g_lstUserInfo.clear();
  g_lstGroupInfo.clear();
  g_lstRoleInfo.clear();
  g_szCurUser[0] = '\0';
  g_strDispInfo.clear();
  g_strTitle.clear();
  g_strVersion.clear();
  g_bAutoSwitchStream = 1;
  g_bShowLastFrame = 0;
  g_nCapturePicFmt = 1;
  g_nDefDisplayMode = 9;
  g_nKbConfigMode = 0;
  g_nMonitorMode = 1;
  g_nFullDisp = 0;
  g_bFilterAlarm = 0;
  g_nLoginType = 0;
  g_SyncTime = {0, 60, 10};
  g_nBufferCount = 50;
  g_nBufferTick = 300;
  g_bAutoLogin = 0;
}

void ConfigTest::SetUp() {
  paths::SetProgramFolder(folder_.Path());
  paths::SetDriveRoot(folder_.Path() + "drives");
  paths::SetConfigHome(folder_.Path() + "xdg");
  regstore::SetFilePath(folder_.File("registry.ini"));
  std::filesystem::create_directory(folder_.File("Config"));
  ResetGlobals();
}

void ConfigTest::TearDown() {
  CloseLogFile();
  ResetGlobals();
  regstore::SetFilePath("");
  paths::SetDriveRoot("");
  paths::SetConfigHome("");
  paths::SetProgramFolder("");
}

std::string ConfigTest::ProgramPath(const std::string& name) {
  return GetModuleDir() + "Config\\" + name;
}

void ConfigTest::InstallFixture(const std::string& fixture, const std::string& name) const {
  WriteBytes(ConfigFile(name), ReadBytes(std::string(VEMO_TEST_SOURCE_DIR) + "/core/fixtures/" + fixture));
}

std::string ConfigTest::ReadBytes(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ConfigTest::WriteBytes(const std::string& nativePath, const std::string& bytes) {
  std::ofstream out(nativePath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ConfigTest::Gbk(const char* utf8) { return codepage::Utf8ToGbk(utf8); }
