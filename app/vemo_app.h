// CVistarelApp: the whole life of Vemo on the UI thread. InitInstance checks
// elevation, prepares the configuration (AppInit), chooses the language, keeps
// a single instance, shows the splash window, runs the login dialog and then
// the main window as modal dialogs; PrepareExit saves and frees everything.
#pragma once

#include <functional>
#include <memory>

#include "platform/win_types.h"

class CSingleInstance;
class CSplashDlg;
class QWidget;

extern CSingleInstance* g_hSingleInstance;  // the single-instance guard
extern CSplashDlg* g_pSplashDlg;            // kept while the login and the main window start
extern int g_nScreenWidth;
extern int g_nScreenHeight;

// The application name: names the single-instance guard and the property by
// which the running instance's main window is found.
constexpr const char* kAppName = "vemo";

// The program folder's language library for a language code of the registry.
const char* LanguageLibraryName(int language);

// Elevation. A Linux process has no split token: the elevation type is 0 and
// nothing ever asks for a relaunch, whatever "EnableLUA" says.
int IsElevated();
bool IsElevationSufficient();

// Configuration start-up and the saving and freeing at shutdown.
void AppInit();
void PrepareExit();

// Gives an old "VemoRecord" folder under each storage path of every record
// scheme the name "Record" when only the old one exists.
void MigrateRecordFolders();

class CVistarelApp {
 public:
  // The main window: runs modally and returns when it has closed. The program
  // installs its own; a test may install another.
  using MainWindowRunner = std::function<void()>;
  explicit CVistarelApp(MainWindowRunner runMainWindow);
  ~CVistarelApp();

  // The start-up sequence; FALSE in every ending (the main loop is the main
  // window's modal loop). `args` are the command-line words, program included.
  BOOL InitInstance(int argc, char** argv);
  int ExitInstance();

 private:
  MainWindowRunner m_runMainWindow;
  bool m_bLangLoaded = false;
};
