#include "app/main_window_env.h"

#include "app/login_dlg.h"
#include "app/vemo_app.h"
#include "ui/splash_dlg.h"

MainWindowEnv MakeMainWindowEnv() {
  MainWindowEnv env;
  env.screenWidth = g_nScreenWidth;
  env.screenHeight = g_nScreenHeight;
  env.askExitPassword = [](QWidget* parent) {
    CLoginDlg exitDlg(parent, TRUE, FALSE);
    return exitDlg.DoModal() == IDOK;
  };
  env.askUnlockPassword = [](QWidget* parent) {
    CLoginDlg unlockDlg(parent, FALSE, TRUE);
    return unlockDlg.DoModal() == IDOK;
  };
  env.hideSplash = [] {
    if (g_pSplashDlg != nullptr) g_pSplashDlg->hide();
  };
  env.appProperty = kAppName;
  return env;
}
