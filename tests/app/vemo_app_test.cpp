// Start-up and shutdown of the program: in this process (with a stand-in main
// window) and as the real program started twice.
#include "app/vemo_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QAbstractButton>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/login_dlg.h"
#include "app/single_instance.h"
#include "app_test_env.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "core/login_logic.h"
#include "core/user_info.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"
#include "platform/paths.h"
#include "platform/registry_store.h"

namespace {

namespace fs = std::filesystem;

class VemoAppTest : public AppTest {
 protected:
  bool ConfigFilesExist() const {
    for (const char* name : {"UserInfo.xml", "DevInfo.xml", "RecInfo.xml"}) {
      if (!fs::exists(folder_.File(std::string("Config/") + name))) return false;
    }
    return true;
  }
};

TEST_F(VemoAppTest, AutomaticLoginRunsTheMainWindowThenSavesEverything) {
  PrepareAccounts("letmein", true);
  fs::remove(folder_.File("Config/DevInfo.xml"));
  int mainWindows = 0;
  CVistarelApp app([&] { ++mainWindows; });
  char program[] = "vemo";
  char* argv[] = {program};
  EXPECT_FALSE(app.InitInstance(1, argv));
  EXPECT_EQ(mainWindows, 1);
  EXPECT_TRUE(ConfigFilesExist());
  EXPECT_EQ(g_pSplashDlg, nullptr);
  EXPECT_EQ(g_hSingleInstance, nullptr);
  EXPECT_TRUE(g_lstRecSchemeInfo.empty());  // freed and emptied, no null entries left
  const std::string log = Log();
  EXPECT_NE(log.find("Start Vemo2"), std::string::npos);
  EXPECT_NE(log.find("End Vemo2 (USERS:admin)"), std::string::npos);
  EXPECT_NE(log.find("Prepare Exit: begin release RecSchemeInfo list "), std::string::npos);
}

TEST_F(VemoAppTest, CancelledLoginStillSavesAndEnds) {
  int mainWindows = 0;
  CVistarelApp app([&] { ++mainWindows; });
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [] {
    if (auto* login = dynamic_cast<CLoginDlg*>(QApplication::activeModalWidget())) login->OnBnClickedCancel();
  });
  poll.start(20);
  char program[] = "vemo";
  char* argv[] = {program};
  EXPECT_FALSE(app.InitInstance(1, argv));
  EXPECT_EQ(mainWindows, 0);
  EXPECT_TRUE(ConfigFilesExist());  // the defaults of a fresh program folder
  EXPECT_EQ(fs::file_size(folder_.File("Config/UserInfo.xml")) > 0, true);
  const std::string log = Log();
  EXPECT_NE(log.find("CVistarelApp: Login cancel"), std::string::npos);
  EXPECT_NE(log.find("End Vemo2 (USERS:)"), std::string::npos);
}

// "autologin" as the only argument logs in with the saved login's stored
// digest even when automatic login is off; any other command line does not.
TEST_F(VemoAppTest, CommandLineWordAutologin) {
  PrepareAccounts("letmein", true);
  g_lstLoginInfo.front().SaveFlg = 0;
  g_bAutoLogin = 0;
  SaveUserInfo();
  for (bool exact : {false, true}) {
    SCOPED_TRACE(exact);
    g_szCurUser[0] = '\0';
    int mainWindows = 0;
    CVistarelApp app([&] { ++mainWindows; });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] {
      if (auto* login = dynamic_cast<CLoginDlg*>(QApplication::activeModalWidget())) login->OnBnClickedCancel();
    });
    poll.start(20);
    char program[] = "vemo", word[] = "autologin", upper[] = "AutoLogin";
    char* argv[] = {program, exact ? word : upper};
    app.InitInstance(2, argv);
    EXPECT_EQ(mainWindows, exact ? 1 : 0);
  }
}

TEST_F(VemoAppTest, LanguageLibrariesAndElevation) {
  EXPECT_STREQ(LanguageLibraryName(1), "LangEn.dll");
  EXPECT_STREQ(LanguageLibraryName(4), "LangHB.dll");
  EXPECT_STREQ(LanguageLibraryName(0), "LangSC.dll");
  EXPECT_STREQ(LanguageLibraryName(9), "LangSC.dll");
  EXPECT_TRUE(IsElevationSufficient());  // no "EnableLUA"
  EXPECT_EQ(IsElevated(), 0);
}

TEST_F(VemoAppTest, OldRecordFolderIsRenamedOnlyWhenTheNewOneIsMissing) {
  auto* scheme = new RecSchemeInfo;
  CopyFixedText(scheme->StoragePath1, "E:\\a\\");
  CopyFixedText(scheme->StoragePath2, "E:\\b\\");
  g_lstRecSchemeInfo.push_back(scheme);
  const std::string drive = folder_.File("drives/E/");
  fs::create_directories(drive + "a/VemoRecord");
  fs::create_directories(drive + "b/VemoRecord");
  fs::create_directories(drive + "b/Record");
  MigrateRecordFolders();
  EXPECT_TRUE(fs::is_directory(drive + "a/Record"));
  EXPECT_FALSE(fs::exists(drive + "a/VemoRecord"));
  EXPECT_TRUE(fs::is_directory(drive + "b/VemoRecord"));  // both there: left alone
  delete scheme;
  g_lstRecSchemeInfo.clear();
}

TEST_F(VemoAppTest, SecondInstanceAsksTheFirstToRaiseItsMainWindow) {
  CSingleInstance first(QStringLiteral("vemo-test"));
  ASSERT_TRUE(first.Acquire());
  QWidget mainWindow;
  mainWindow.setProperty("vemo-test", true);
  mainWindow.showMinimized();
  QObject::connect(&first, &CSingleInstance::raiseRequested, [] {
    CSingleInstance::BringToFront(CSingleInstance::FindMainWindow(QStringLiteral("vemo-test")));
  });
  int raised = 0;
  QObject::connect(&first, &CSingleInstance::raiseRequested, [&] { ++raised; });

  CSingleInstance second(QStringLiteral("vemo-test"));
  EXPECT_FALSE(second.Acquire());
  // The second instance runs in another thread here, as it would in another process.
  bool asked = false;
  std::thread other([&] { asked = CSingleInstance(QStringLiteral("vemo-test")).AskRunningToRaise(); });
  QElapsedTimer waited;
  waited.start();
  while (raised == 0 && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  other.join();
  EXPECT_EQ(raised, 1);
  EXPECT_TRUE(asked);
  EXPECT_FALSE(mainWindow.isMinimized());

  first.Close();  // the lock goes with the first instance
  EXPECT_TRUE(second.Acquire());
}

// A second start says that the program runs, in the interface language, its button too.
TEST_F(VemoAppTest, SecondStartSaysSoInTheInterfaceLanguage) {
  regstore::WriteString("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vemo",
                        "Language", "Simplified Chinese");
  CSingleInstance first(QString::fromLatin1(kAppName));
  ASSERT_TRUE(first.Acquire());
  QString text;
  QStringList buttons;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    text = box->text();
    for (QAbstractButton* button : box->buttons()) buttons << button->text();
    box->done(0);
  });
  poll.start(20);
  int mainWindows = 0;
  CVistarelApp app([&] { ++mainWindows; });
  char program[] = "vemo";
  char* argv[] = {program};
  EXPECT_FALSE(app.InitInstance(1, argv));
  EXPECT_EQ(mainWindows, 0);
  EXPECT_EQ(text, QString::fromUtf8("程序正在运行..."));
  EXPECT_EQ(buttons, QStringList{QString::fromUtf8("确定")});
}

TEST_F(VemoAppTest, ProgramStartsInAFreshFolderReachesTheLoginAndKeepsOneInstance) {
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("VEMO_PROGRAM_DIR", QString::fromStdString(folder_.Path()));
  env.insert("VEMO_DRIVE_ROOT", QString::fromStdString(folder_.File("drives")));
  env.insert("VEMO_REGISTRY_FILE", QString::fromStdString(folder_.File("registry.ini")));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.start(QCoreApplication::applicationDirPath() + "/vemo", {});
  ASSERT_TRUE(program.waitForStarted(10000));
  // The login window is up once the single-instance socket listens.
  // Both processes share the runtime folder the test process was given.
  const std::string socket = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/vemo.socket";
  for (int i = 0; i < 200 && !fs::exists(socket); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(fs::exists(socket));
  EXPECT_TRUE(ConfigFilesExist());
  EXPECT_NE(Log().find("Start Vemo2"), std::string::npos);

  CSingleInstance another(QString::fromLatin1(kAppName));
  EXPECT_FALSE(another.Acquire());          // the program holds the guard
  EXPECT_TRUE(another.AskRunningToRaise());  // and answers a second start

  program.kill();
  program.waitForFinished(10000);
  EXPECT_TRUE(another.Acquire());  // released with the process
}

}  // namespace
