#include "app/vemo_app.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <cstdio>
#include <cstring>

#include "app/login_dlg.h"
#include "app/single_instance.h"
#include "core/app_data.h"
#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/login_logic.h"
#include "core/module_path.h"
#include "core/rec_scheme_store.h"
#include "core/startup_settings.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"
#include "maker/pelk/pelk.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "platform/screen_saver.h"
#include "platform/string_table.h"
#include "ui/splash_dlg.h"

CSingleInstance* g_hSingleInstance = nullptr;
CSplashDlg* g_pSplashDlg = nullptr;
int g_nScreenWidth = 0;
int g_nScreenHeight = 0;

namespace {

constexpr UINT kMsgRunning = 228;
constexpr UINT kOkText = 850;  // "OK"
constexpr UINT kMsgLoggingIn = 275;
constexpr char kPolicyKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// The maker's libraries are linked into the program: "registering" one checks
// that its stand-in is there. The LAN search library is not built yet, so its
// line says so in the log.
struct MakerLibrary {
  const char* loadFailed;
  const char* registerFailed;  // kept for the table; a linked library cannot fail to register
  const char* entryMissing;    // likewise
  bool present;
};

constexpr MakerLibrary kMakerLibraries[] = {
    {"LoadLibrary gimbronew failed.", "gimbronew dllregister failed.",
     "get gimbronew dllregister proc address failed.", true},
    {"LoadLibrary Streva failed.", "Streva dllregister failed.", "get Streva dllregister proc address failed.", true},
    {"LoadLibrary Clipta failed.", "Clipta dllregister failed.", "get Clipta dllregister proc address failed.", true},
    {"LoadLibrary Findro failed.", "Findro dllregister failed.", "get Findro dllregister proc address failed.", false},
    {"LoadLibrary Morvik failed.", "Morvik dllregister failed.", "get Morvik dllregister proc address failed.", true},
    {"LoadLibrary Tessaly failed.", "Tessaly dllregister failed.", "get Tessaly dllregister proc address failed.",
     true},
};

void RegisterActiveXDlls() {
  for (const MakerLibrary& library : kMakerLibraries) {
    if (!library.present) WriteLog(6, "%s", library.loadFailed);
  }
}

void DestroySplash() {
  delete g_pSplashDlg;
  g_pSplashDlg = nullptr;
}

}  // namespace

const char* LanguageLibraryName(int language) {
  switch (language) {
    case 1: return "LangEn.dll";
    case 2: return "LangTC.dll";
    case 3: return "LangRS.dll";
    case 4: return "LangHB.dll";
    case 5: return "LangTK.dll";
    default: return "LangSC.dll";
  }
}

int IsElevated() { return 0; }

bool IsElevationSufficient() {
  DWORD enableLua = 0;
  if (!regstore::ReadDword(kPolicyKey, "EnableLUA", enableLua)) return true;
  if (enableLua != 1) return true;
  // Only a limited token (3) asks for a relaunch; the default type (1), which
  // would need the administrator test, never occurs without a split token.
  return IsElevated() != 3;
}

void AppInit() {
  g_SyncTime = {0, 60, 10};
  CreateDirectoryTree(paths::ProgramFolder() + "Config");
  if (LoadUserInfo() != 0) LoadUserInfo();
  ReadInstallNumber(g_szInstallNumber);
  ReadLanguage();
  CheckAutoRun();
  WriteLog(6, "==================================Start Vemo2=================================");
  RegisterActiveXDlls();
  InitializeCriticalSection(&g_csAppData);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    g_nScreenWidth = screen->geometry().width();
    g_nScreenHeight = screen->geometry().height();
  }
  WriteLog(6, "Get screen size: width=%d, height=%d", g_nScreenWidth, g_nScreenHeight);
  if (LoadDevInfo() != 0) LoadDevInfo();
  LoadRecInfo();
}

void PrepareExit() {
  SaveUserInfo();
  if (g_nLoginType == 0) SaveDevInfo();
  SaveRecInfo();
  WriteLog(6, "Prepare Exit: begin release RecSchemeInfo list ");
  FreeRecSchemeList();
  WriteLog(6, "====================================End Vemo2 (USERS:%s)=================================",
           g_szCurUser);
  CloseLogFile();
  DeleteCriticalSection(&g_csAppData);
}

void MigrateRecordFolders() {
  for (const RecSchemeInfo* scheme : g_lstRecSchemeInfo) {
    for (const char* path : {scheme->StoragePath1, scheme->StoragePath2, scheme->StoragePath3}) {
      if (*path == '\0') continue;
      const std::string oldName = std::string(path) + "VemoRecord";
      const std::string newName = std::string(path) + "Record";
      if (fileapi::IsDirectory(oldName) && !fileapi::IsDirectory(newName)) fileapi::Rename(oldName, newName);
    }
  }
}

CVistarelApp::CVistarelApp(MainWindowRunner runMainWindow) : m_runMainWindow(std::move(runMainWindow)) {}

CVistarelApp::~CVistarelApp() { ExitInstance(); }

BOOL CVistarelApp::InitInstance(int argc, char** argv) {
  if (!IsElevationSufficient()) return FALSE;  // never on Linux: see IsElevated
  SetScreenSaverActive(false);
  AppInit();
  MigrateRecordFolders();
  m_bLangLoaded = LoadLanguageLibrary(LanguageLibraryName(g_nLanguage)) != FALSE;

  const QString running = LoadStringW(kMsgRunning);
  g_hSingleInstance = new CSingleInstance(QString::fromLatin1(kAppName));
  if (!g_hSingleInstance->Acquire()) {
    g_hSingleInstance->AskRunningToRaise();
    delete g_hSingleInstance;
    g_hSingleInstance = nullptr;
    QMessageBox box(QMessageBox::Information, QString(), running);
    box.addButton(LoadStringW(kOkText), QMessageBox::AcceptRole);  // "OK" in the interface language
    box.exec();
    SetScreenSaverActive(true);
    return FALSE;
  }
  QObject::connect(g_hSingleInstance, &CSingleInstance::raiseRequested, [] {
    CSingleInstance::BringToFront(CSingleInstance::FindMainWindow(QString::fromLatin1(kAppName)));
  });

  g_pSplashDlg = new CSplashDlg();
  g_pSplashDlg->Create(CSplashDlg::IDD, nullptr);
  g_pSplashDlg->show();
  if (argc == 2 && std::strcmp(argv[1], "autologin") == 0) g_bCmdAutoLogin = 1;

  {
    CLoginDlg login(nullptr, FALSE, FALSE);
    if (login.DoModal() != IDOK) {
      DestroySplash();
      WriteLog(6, "CVistarelApp: Login cancel");
      delete g_hSingleInstance;
      g_hSingleInstance = nullptr;
      PrepareExit();
      SetScreenSaverActive(true);
      return FALSE;
    }
  }
  g_pSplashDlg->ShowText(LoadStringW(kMsgLoggingIn).toStdWString());
  Pelk_Init();
  if (m_runMainWindow) m_runMainWindow();
  DestroySplash();
  delete g_hSingleInstance;
  g_hSingleInstance = nullptr;
  PrepareExit();
  SetScreenSaverActive(true);
  FreeLanguageLibrary();
  m_bLangLoaded = false;
  Pelk_Release();
  return FALSE;
}

int CVistarelApp::ExitInstance() { return 0; }
