#include "shell/settings_menu.h"

#include <cstdio>

#include "core/startup_settings.h"
#include "core/user_info.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"
#include "platform/paths.h"

namespace mainmenu {
namespace {

// The saved login flagged as last used keeps its password so that the next
// start can log in with it.
void MarkLastLoginForAutoLogin() {
  for (LoginInfo& login : g_lstLoginInfo) {
    if (login.LastUsingFlg == 1) {
      login.SaveFlg = 1;
      break;
    }
  }
}

}  // namespace

std::vector<Item> Items(bool mayConfigure) {
  return {
      {kAutomaticLogin, 860, g_bAutoLogin != 0, true},
      {kBootAutomatically, 861, g_bAutoRun != 0, true},
      {kAbout, 862, false, true},
      {kHelp, 863, false, true},
      {kSystemConfig, 1050, false, mayConfigure},
  };
}

void ToggleAutomaticLogin() {
  if (g_bAutoLogin) {
    g_bAutoLogin = 0;
    g_bAutoRun = 0;
    DeleteAutoRun();
  } else {
    g_bAutoLogin = 1;
    MarkLastLoginForAutoLogin();
  }
  SaveUserInfo();
}

void ToggleBootAutomatically() {
  if (g_bAutoRun) {
    g_bAutoRun = 0;
    DeleteAutoRun();
    return;
  }
  g_bAutoRun = 1;
  g_bAutoLogin = 1;
  MarkLastLoginForAutoLogin();
  SaveUserInfo();
  SetAutoRun();
}

CString AboutText(const CString& versionLabel) {
  if (g_strVersion.empty()) return versionLabel + ":4.6_20130822_004";
  return versionLabel + ":" + g_strVersion;
}

std::vector<CString> HelpFiles(int language) {
  const char* suffix = "EN";
  if (language == 0) suffix = "CH";
  else if (language == 2) suffix = "TC";
  else if (language == 3) suffix = "RS";
  const CString base = paths::ProgramFolder() + suffix;
  return {base + ".chm", base + ".pdf", base + ".doc"};
}

}  // namespace mainmenu
