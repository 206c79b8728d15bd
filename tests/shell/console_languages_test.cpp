// The console in each language the program ships: every text of the main
// window's panels fits its control, every string the windows ask for is in
// both string tables, and screenshots a person looks at (main window with four
// cameras playing, PTZ panel open, configuration manager).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <filesystem>
#include <set>

#include "common/wait_for.h"
#include "core/fixed_text.h"
#include "core/startup_settings.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "live/ptz/ptz_dlg.h"
#include "live/toolbar/video_toolbar_dlg.h"
#include "platform/control_id.h"
#include "platform/string_table.h"
#include "rtsp_test_server.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/page_dlg.h"
#include "tests/shell/dev_records.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/shell/text_fit.h"
#include "ui/draw_text.h"
#include "ui/image_button.h"

namespace {

struct Language {
  const char* library;  // the string table
  int code;             // g_nLanguage
  const char* suffix;   // of the screenshots' names
};
const Language kLanguages[] = {{"LangSC.dll", 0, "sc"}, {"LangEn.dll", 1, "en"}};
void PrintTo(const Language& language, std::ostream* os) { *os << language.library; }

// The ids a string-table file holds.
std::set<UINT> TableIds(const std::string& file) {
  QFile xml(QString::fromStdString(file));
  EXPECT_TRUE(xml.open(QIODevice::ReadOnly)) << file;
  std::set<UINT> ids;
  static const QRegularExpression id(QStringLiteral("<String id=\"(\\d+)\""));
  for (auto it = id.globalMatch(QString::fromUtf8(xml.readAll())); it.hasNext();) ids.insert(it.next().captured(1).toUInt());
  return ids;
}

class ConsoleLanguageTest : public MainWindowTest, public testing::WithParamInterface<Language> {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    QApplication::setFont(DialogFont());  // as the program sets it
    // The program's pictures and string tables, as the program folder holds them.
    for (const char* sub : {"Images", "Resources/png", "Lang"}) {
      std::filesystem::create_directories(folder_.File(sub));
      std::filesystem::copy(programFolder_ + sub, folder_.File(sub), std::filesystem::copy_options::recursive);
    }
    g_strTitle = "Vemo";
    g_nLanguage = GetParam().code;
    ASSERT_TRUE(LoadLanguageLibrary(GetParam().library));
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    QApplication::setFont(font_);
    FreeLanguageLibrary();
    g_nLanguage = 0;
  }

  void AddCameras(int port) {
    g_lstDevGroupInfo = {Group("Entrance"), Group("Warehouse")};
    const char* names[] = {"Front Door", "Lobby", "Loading Bay", "Yard"};
    for (int i = 0; i < 4; ++i) {
      DevInfo camera = Dev(names[i], names[i], 1, i < 2 ? "Entrance" : "Warehouse", 1);
      CopyFixedText(camera.IPAddr, "127.0.0.1");
      camera.VideoPort = port;
      camera.RtpOverRtsp = 1;
      g_lstDevInfo.push_back(camera);
    }
  }

  const QFont font_ = QApplication::font();

  void Save(QWidget* widget, const std::string& name) {
    const QString folder = QString::fromStdString(programFolder_) + "screenshots/";
    QDir().mkpath(folder);
    ASSERT_TRUE(widget->grab().save(folder + QString::fromStdString(name) + "_" + GetParam().suffix + ".png"));
  }
};

// Each module of the main window, the PTZ panel open beside the live view and
// every page of the configuration manager: no text is cut or runs out of its
// control, and every string asked for is in both tables.
TEST_P(ConsoleLanguageTest, EveryTextFitsAndEveryStringIsInBothTables) {
  g_lstDevGroupInfo = {Group("Entrance")};
  g_lstDevInfo = {Dev("Front Door", "Front Door", 1, "Entrance", 1)};
  CVistarelDlg& dlg = Open();
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));  // the tree and the panes are there
  dlg.OnBnClickedPtz();
  ASSERT_TRUE(dlg.m_pPTZDlg->isVisible());
  std::vector<TextMisfit> misfits = TextsThatDoNotFit(&dlg);
  for (void (CPageDlg::*tab)() : {&CPageDlg::OnBnClickedRecord, &CPageDlg::OnBnClickedAlarm, &CPageDlg::OnBnClickedTVWall,
                                   &CPageDlg::OnBnClickedMap, &CPageDlg::OnBnClickedConfig}) {
    (dlg.m_pPageDlg->*tab)();
    for (const TextMisfit& m : TextsThatDoNotFit(&dlg)) misfits.push_back(m);
  }
  for (int page = 0; page <= 4; ++page) {
    dlg.m_pCfgManagerDlg->ShowCfgPage(page);
    for (const TextMisfit& m : TextsThatDoNotFit(&dlg)) misfits.push_back(m);
  }
  std::sort(misfits.begin(), misfits.end(), [](const TextMisfit& a, const TextMisfit& b) { return a.where < b.where; });
  misfits.erase(std::unique(misfits.begin(), misfits.end()), misfits.end());
  EXPECT_TRUE(misfits.empty()) << Describe(misfits);

  // Every button of the toolbar and the PTZ panel has its picture, drawn at the button's size.
  for (QWidget* panel : {static_cast<QWidget*>(dlg.m_pVideoToolbarDlg), static_cast<QWidget*>(dlg.m_pPTZDlg)}) {
    for (const CImageButton* button : panel->findChildren<CImageButton*>()) {
      if (button->window() != panel->window()) continue;  // the panel's message box
      EXPECT_EQ(button->FaceSize(), button->size()) << "button " << ctrlid::Of(button);
    }
  }

  const std::set<UINT> english = TableIds(programFolder_ + "Lang/LangEn.xml");
  const std::set<UINT> chinese = TableIds(programFolder_ + "Lang/LangSC.xml");
  for (UINT id : stringtable::AskedIds()) {
    EXPECT_TRUE(english.count(id)) << "string " << id << " is missing from the English table";
    EXPECT_TRUE(chinese.count(id)) << "string " << id << " is missing from the Simplified Chinese table";
  }
}

// For a person to look at: four cameras playing, the PTZ panel open, the
// configuration manager; saved under the build folder's "screenshots".
TEST_P(ConsoleLanguageTest, Screenshots) {
  RtspTestServer server;
  ASSERT_TRUE(server.Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py"));
  AddCameras(server.Port());
  CVistarelDlg& dlg = Open(1920, 1080);
  ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));
  dlg.SetDisplayMode(4);
  int pane = 0;
  for (DevInfo& dev : g_lstDevInfo) dlg.m_pVideoManagerDlg->AddWatch(pane++, &dev, FALSE, FALSE, -1, 0, FALSE, TRUE);
  // Until every pane shows its picture (a pane without one is black).
  auto playing = [&](int index) {
    const QImage shown = dlg.m_pVideoManagerDlg->Pane(index)->grab().toImage();
    for (int k = 1; k < 8; ++k)
      if (shown.pixelColor(shown.width() * k / 8, shown.height() / 3).lightness() > 60) return true;
    return false;
  };
  EXPECT_TRUE(WaitFor([&] { return playing(0) && playing(1) && playing(2) && playing(3); }, 60000));
  QTest::qWait(500);
  Save(&dlg, "main_window");
  dlg.OnBnClickedPtz();
  QTest::qWait(200);
  Save(&dlg, "ptz_panel");
  dlg.m_pPageDlg->OnBnClickedConfig();
  dlg.m_pCfgManagerDlg->ShowCfgPage(0);  // the device page, as its tool button opens it
  QTest::qWait(200);
  Save(&dlg, "config_manager");
  dlg.m_pPageDlg->OnBnClickedVideo();
  dlg.m_pVideoManagerDlg->RemoveAllWatch();
}

INSTANTIATE_TEST_SUITE_P(Languages, ConsoleLanguageTest, testing::ValuesIn(kLanguages),
                         [](const testing::TestParamInfo<Language>& info) { return std::string(info.param.suffix); });

}  // namespace
