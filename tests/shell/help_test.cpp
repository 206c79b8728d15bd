// "Help" opens the user manual of the interface language in the desktop's
// viewer and then minimises the main window; without a viewer the window stays
// as it was and nothing else is shown. The build makes the manuals: PDF files
// with pages, pictures and text in each language.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>
#include <filesystem>
#include <set>

#include "core/startup_settings.h"
#include "platform/paths.h"
#include "shell/settings_menu.h"
#include "tests/shell/main_window_fixture.h"

namespace {

// The desktop's viewer, as far as the program sees it: it is handed the files to open.
class StubViewer : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> opened;

 public slots:
  void open(const QUrl& url) { opened.push_back(url); }
};

std::set<QWidget*> ShownWindows() {
  std::set<QWidget*> shown;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible()) shown.insert(window);
  return shown;
}

class HelpTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    for (const char* manual : {"CH.pdf", "EN.pdf"})
      std::filesystem::copy_file(programFolder_ + manual, folder_.File(manual));
  }
  void TearDown() override {
    QDesktopServices::unsetUrlHandler("file");
    g_nLanguage = 0;
    MainWindowTest::TearDown();
  }
};

TEST_F(HelpTest, OpensTheManualOfTheInterfaceLanguageThenMinimises) {
  const struct {
    int language;
    const char* manual;
  } cases[] = {{0, "CH.pdf"}, {1, "EN.pdf"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.manual);
    g_nLanguage = c.language;
    StubViewer viewer;
    QDesktopServices::setUrlHandler("file", &viewer, "open");
    dlg_.reset();
    CVistarelDlg& dlg = Open();
    dlg.OnMenuCommand(mainmenu::kHelp);
    ASSERT_EQ(viewer.opened.size(), 1u);
    EXPECT_EQ(viewer.opened[0], QUrl::fromLocalFile(QString::fromStdString(folder_.File(c.manual))));
    EXPECT_TRUE(dlg.isMinimized());
    QDesktopServices::unsetUrlHandler("file");
  }
}

TEST_F(HelpTest, WithoutAViewerNothingChangesOnTheScreen) {
  CVistarelDlg& dlg = Open();
  const std::set<QWidget*> before = ShownWindows();
  dlg.OnMenuCommand(mainmenu::kHelp);  // this platform has no viewer
  QCoreApplication::processEvents();
  EXPECT_FALSE(dlg.isMinimized());
  EXPECT_EQ(ShownWindows(), before);
}

// What a program reading PDF files finds in the manuals the build made.
TEST(UserManual, TheBuildMakesBothManualsWithPagesPicturesAndText) {
  const struct {
    const char* file;
    const char* title;
    std::vector<const char*> words;  // from its chapters
  } manuals[] = {
      {"CH.pdf", "Vemo 用户手册", {"登录", "视频浏览", "云台控制", "录像策略", "时间回放", "转发", "报警", "电子地图", "电视墙", "配置管理"}},
      {"EN.pdf", "Vemo User Manual", {"Logging in", "Live view", "PTZ control", "Recording", "Search and playback",
                                      "Relay", "Alarms", "Electronic maps", "TV wall", "Configuration"}},
  };
  for (const auto& m : manuals) {
    SCOPED_TRACE(m.file);
    const QString path = QString::fromStdString(paths::ProgramFolder() + m.file);
    auto run = [&](const char* program, QStringList arguments) {
      QProcess process;
      arguments << path;
      if (QString(program) == "pdftotext") arguments << "-";  // the text to standard output
      process.start(program, arguments);
      EXPECT_TRUE(process.waitForFinished(60000)) << program;
      EXPECT_EQ(process.exitCode(), 0) << program << process.readAllStandardError().toStdString();
      return QString::fromUtf8(process.readAllStandardOutput());
    };
    const QString info = run("pdfinfo", {});
    EXPECT_TRUE(info.contains(QString::fromUtf8(m.title))) << info.toStdString();
    const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    EXPECT_GE(pages.match(info).captured(1).toInt(), 3) << info.toStdString();
    const QString text = run("pdftotext", {"-enc", "UTF-8"});
    for (const char* word : m.words) EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;
    const QStringList pictures = run("pdfimages", {"-list"}).split('\n', Qt::SkipEmptyParts);
    EXPECT_GE(pictures.size() - 2, 8) << "pictures";  // two lines of heading
  }
}

}  // namespace

#include "help_test.moc"
