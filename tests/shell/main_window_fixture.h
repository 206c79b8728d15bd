// The main window in a program folder of its own, for the tests that open it.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "common/temp_folder.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "platform/dialog_template.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "platform/string_table.h"
#include "shell/main_timers.h"
#include "shell/view_state.h"
#include "shell/vistarel_dlg.h"

// A program folder of its own, the window's templates, fast timers and a
// logged-in user with the rights a test gives.
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    templates_ = dlgtemplate::Folder();
    programFolder_ = paths::ProgramFolder();
    paths::SetProgramFolder(folder_.Path());
    dlgtemplate::SetFolder(templates_);
    paths::SetDriveRoot(folder_.Path() + "drives");
    paths::SetConfigHome(folder_.Path() + "xdg");
    regstore::SetFilePath(folder_.File("registry.ini"));
    std::filesystem::create_directory(folder_.File("Config"));
    std::fill(std::begin(g_nCurRights), std::end(g_nCurRights), 1);
    g_nCurModule = -1;
    g_nMonitorMode = 0;
    g_strDispInfo.clear();
    g_nLoginType = 0;
    maintimers::SetDivisor(50);
  }
  void TearDown() override {
    dlg_.reset();
    if (english_) FreeLanguageLibrary();
    maintimers::SetDivisor(1);
    maintimers::StopRecording();
    g_lstDevInfo.clear();
    g_lstDevGroupInfo.clear();
    for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) delete scheme;
    g_lstRecSchemeInfo.clear();
    regstore::SetFilePath("");
    paths::SetDriveRoot("");
    paths::SetConfigHome("");
    paths::SetProgramFolder("");
    dlgtemplate::SetFolder("");
    g_nCurModule = 0;
  }

  // The English texts, from the program folder's string tables, until the test ends.
  bool UseEnglishTexts() {
    std::filesystem::copy(programFolder_ + "Lang", folder_.File("Lang"));
    english_ = LoadLanguageLibrary("LangEn.dll") != FALSE;
    return english_;
  }

  // `extraMonitors`: extension monitors given to the window before it
  // enumerates the machine's own (the offscreen platform has one screen).
  CVistarelDlg& Open(int width = 1024, int height = 768, int extraMonitors = 0) {
    MainWindowEnv env;
    env.screenWidth = width;
    env.screenHeight = height;
    env.askExitPassword = [this](QWidget*) {
      ++passwordAsked_;
      return passwordRight_;
    };
    env.appProperty = "vemo-test";
    dlg_ = std::make_unique<CVistarelDlg>(env);
    for (int k = 0; k < extraMonitors; ++k) {
      auto* screen = new ScreenInfo;
      screen->rcMonitor = RECT{width * (k + 1), 0, width * (k + 2), height};
      screen->rcWork = screen->rcMonitor;
      dlg_->ExtScreens().push_back(screen);
    }
    dlg_->show();
    QCoreApplication::processEvents();
    return *dlg_;
  }

  TempFolder folder_;
  std::string templates_;
  std::string programFolder_;
  std::unique_ptr<CVistarelDlg> dlg_;
  bool english_ = false;
  bool passwordRight_ = false;
  int passwordAsked_ = 0;
};
