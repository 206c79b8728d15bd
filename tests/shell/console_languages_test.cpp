// The console in each language the program ships: every text of the main
// window's panels fits its control, every string the windows ask for is in
// both string tables, and screenshots a person looks at (main window with four
// cameras playing, PTZ panel open, configuration manager).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <functional>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <filesystem>
#include <set>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "common/wait_for.h"
#include "core/fixed_text.h"
#include "core/startup_settings.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "live/ptz/ptz_dlg.h"
#include "live/toolbar/video_toolbar_dlg.h"
#include "maker/gimbro/gimbro.h"
#include "platform/control_id.h"
#include "platform/string_table.h"
#include "rtsp_test_server.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/page_dlg.h"
#include "tests/shell/dev_records.h"
#include "tests/shell/main_window_fixture.h"
#include "tests/shell/main_window_pages.h"
#include "core/res_msg_dlg.h"
#include "settings/local/sys_setting_dlg.h"
#include "common/label_contrast.h"
#include "common/text_fit.h"
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

// The texts a person sees in a window: labels, buttons, captions, titles,
// tabs, list and tree items and column titles of the shown widgets.
QStringList ShownTexts(const QWidget* root) {
  QStringList texts;
  std::vector<const QWidget*> widgets = {root};
  for (const QWidget* child : root->findChildren<QWidget*>()) widgets.push_back(child);
  for (const QWidget* w : widgets) {
    if (w != root && !w->isVisibleTo(root)) continue;
    if (w->window() != root->window()) continue;
    if (const auto* label = qobject_cast<const QLabel*>(w)) texts << label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) texts << button->text();
    if (const auto* image = dynamic_cast<const CImageButton*>(w)) texts << QString::fromStdWString(image->GetCaptionW());
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) texts << group->title();
    if (const auto* tabs = qobject_cast<const QTabBar*>(w))
      for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
    if (const auto* combo = qobject_cast<const QComboBox*>(w))
      for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    if (const auto* list = qobject_cast<const QListWidget*>(w))
      for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    if (const auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->model()) {
      const QAbstractItemModel* model = view->model();
      for (int c = 0; c < model->columnCount(); ++c) texts << model->headerData(c, Qt::Horizontal).toString();
    }
  }
  return texts;
}

// The texts of the menu that `open` opens (its submenus' too); the menu is
// closed again.
QStringList MenuTexts(const std::function<void()>& open) {
  QStringList texts;
  std::function<void(const QMenu*)> collect = [&](const QMenu* menu) {
    for (const QAction* action : menu->actions()) {
      texts << action->text();
      if (action->menu() != nullptr) collect(action->menu());
    }
  };
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      collect(menu);
      menu->close();
    }
  });
  poll.start(20);
  open();
  return texts;
}

// Words of the Latin alphabet in a Chinese text: what the string tables
// should have given. Names of things (devices and groups the test made, "IP",
// "NVR" ...), file formats and the PTZ plug-in's name and units are not words
// to translate.
QStringList LatinWords(const QStringList& texts) {
  static const QSet<QString> names = {"Front", "Door", "Entrance", "Vemo", "IPC", "NVR", "DVR", "DVS", "VSS",
                                      "PTZ", "IP", "IO", "ID", "MAC", "DNS", "Decoder", "Video", "Switch",
                                      "Server", "QCIF", "CIF", "HD", "D1", "MB", "GB", "KB", "PAL", "NTSC",
                                      "G711", "AAC", "SD1", "SD2", "USB", "Tarnex", "BMP", "JPG"};
  static const QRegularExpression word(QStringLiteral("[A-Za-z][A-Za-z0-9]*"));
  QStringList found;
  for (const QString& text : texts) {
    for (auto it = word.globalMatch(text); it.hasNext();) {
      const QString w = it.next().captured();
      if (w.size() >= 2 && !names.contains(w)) found << text;
    }
  }
  found.removeDuplicates();
  return found;
}

// Each module and page of the main window on the smallest and the largest
// screen, the windows opened from it, in each language: no text is cut or
// runs out of its control, every label can be read against what is drawn
// under it, the Chinese console shows no untranslated words, and every string
// asked for is in both tables.
TEST_P(ConsoleLanguageTest, EveryWindowFitsItsTextsShowsThemReadablyAndInItsLanguage) {
  g_lstDevGroupInfo = {Group("Entrance")};
  g_lstDevInfo = {Dev("Front Door", "Front Door", 1, "Entrance", 1)};
  std::vector<std::string> faults;
  auto check = [&](const QWidget* window, const std::string& where) {
    QCoreApplication::processEvents();
    for (const TextMisfit& m : TextsThatDoNotFit(window))
      faults.push_back(where + ": cut: " + Describe({m}));
    for (const LowContrast& l : LabelsHardToRead(window)) faults.push_back(where + ": hard to read: " + Describe({l}));
    if (GetParam().code == 0)
      for (const QString& text : LatinWords(ShownTexts(window)))
        faults.push_back(where + ": untranslated: \"" + text.toStdString() + "\"\n");
  };
  for (const QSize screen : {QSize(1024, 768), QSize(1920, 1080)}) {
    dlg_.reset();
    CVistarelDlg& dlg = Open(screen.width(), screen.height());
    ASSERT_TRUE(WaitFor([&] { return dlg.m_pRecSchemeManager != nullptr; }));  // the tree and the panes are there
    const std::string size = std::to_string(screen.width()) + "x" + std::to_string(screen.height()) + " ";
    // A motion alarm of the camera at noon today: a row of the alarm list,
    // and, once the panel's log is written, a result of the alarm query.
    const QDate today = QDate::currentDate();
    GimbroAlarmRecord motion{};
    motion.year = today.year();
    motion.month = today.month();
    motion.day = today.day();
    motion.hour = 12;
    motion.type = 14;
    dlg.m_pAlarmListDlg->AddAlarm(&g_lstDevInfo.front(), &motion);
    dlg.m_pAlarmListDlg->StopLogWorker();
    for (const MainWindowPage& page : MainWindowPages()) {
      page.show(dlg);
      check(&dlg, size + page.name);
    }
    // The menus of a pane and of the settings button.
    if (GetParam().code == 0) {
      dlg.m_pPageDlg->OnBnClickedVideo();
      QWidget* pane = dlg.m_pVideoManagerDlg->Pane(0);
      for (const QString& text : LatinWords(MenuTexts([&] {
             QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), pane->mapToGlobal(QPoint(5, 5)));
             QApplication::sendEvent(pane, &menu);
           }))) faults.push_back(size + "pane menu: untranslated: \"" + text.toStdString() + "\"\n");
      for (const QString& text : LatinWords(MenuTexts([&] { static_cast<QAbstractButton*>(dlg.GetDlgItem(1254))->click(); })))
        faults.push_back(size + "settings menu: untranslated: \"" + text.toStdString() + "\"\n");
    }
    dlg.m_pPageDlg->OnBnClickedAlarm();
    dlg.m_pSearchAlarmDlg->SetLocalDevice(&g_lstDevInfo.front());
    dlg.m_pSearchAlarmDlg->OnBnClickedQuery();
    EXPECT_FALSE(dlg.m_pSearchAlarmDlg->Results().empty());
    check(&dlg, size + "alarm query with its result");
    // The windows of their own that the main window opens.
    dlg.m_pAlmActDlg->show();
    check(dlg.m_pAlmActDlg, size + "alarm linkage");
    dlg.m_pAlmActDlg->hide();
    dlg.m_pSysSettingDlg->show();
    auto* tabs = dlg.m_pSysSettingDlg->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    for (int i = 0; i < tabs->count(); ++i) {
      tabs->setCurrentIndex(i);
      check(dlg.m_pSysSettingDlg, size + "system settings, tab " + std::to_string(i));
    }
    dlg.m_pSysSettingDlg->hide();
    dlg.m_pResMsgDlg->ShowMsg(LoadStringW(284).toStdWString(), 2);
    check(dlg.m_pResMsgDlg, size + "message box");
    dlg.m_pResMsgDlg->hide();
  }
  std::sort(faults.begin(), faults.end());
  faults.erase(std::unique(faults.begin(), faults.end()), faults.end());
  std::string all;
  for (const std::string& f : faults) all += f;
  EXPECT_TRUE(faults.empty()) << faults.size() << " faults:\n" << all;

  // Every button of the toolbar and the PTZ panel has its picture, drawn at the button's size.
  CVistarelDlg& dlg = *dlg_;
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

// For a person to look at (and for the user manual): four cameras playing, the
// PTZ panel open, the configuration manager on its device and record-scheme
// pages, the system settings window; saved under the build folder's "screenshots".
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
  dlg.ShowCfgPage(2);
  dlg.m_pCfgManagerDlg->OnBnClickedDetail();
  QTest::qWait(200);
  Save(&dlg, "record_schemes");
  // The system settings window on its forwarding page.
  dlg.m_pSysSettingDlg->show();
  auto* tabs = dlg.m_pSysSettingDlg->findChild<QTabWidget*>();
  ASSERT_NE(tabs, nullptr);
  tabs->setCurrentIndex(tabs->count() - 1);
  QTest::qWait(200);
  Save(dlg.m_pSysSettingDlg, "system_settings");
  dlg.m_pSysSettingDlg->hide();
  dlg.m_pPageDlg->OnBnClickedVideo();
  dlg.m_pVideoManagerDlg->RemoveAllWatch();
}

INSTANTIATE_TEST_SUITE_P(Languages, ConsoleLanguageTest, testing::ValuesIn(kLanguages),
                         [](const testing::TestParamInfo<Language>& info) { return std::string(info.param.suffix); });

}  // namespace
