#include "shell/page_dlg.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMenu>
#include <QTest>
#include <memory>

#include "core/user_info.h"
#include "platform/string_table.h"
#include "shell/device_list_dlg.h"
#include "tests/shell/fake_hosts.h"

namespace {

using Calls = std::vector<std::string>;

struct TabCase {
  int id;
  const char* module;  // the switch it calls
  int right;           // index in g_nCurRights
  const char* refusal;
};
const TabCase kTabs[] = {
    {1012, "ShowVideoModule", 0, "Without monitor permission,please contact administrator!"},
    {1013, "ShowRecordModule", 2, "Without record management permission,please contact administrator!"},
    {1014, "ShowAlarmModule", 1, "Without alarm management permission,please contact administrator!"},
    {1015, "ShowConfigModule", 4, "Without config management permission,please contact administrator!"},
    {1016, "ShowTVWallModule", 6, "Without TV Wall management permission,please contact administrator!"},
    {1017, "ShowMapModule", 6, "Without Map management permission,please contact administrator!"},
};

class PageDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadLanguageLibrary("LangEn.dll");
    g_nCurModule = 0;
    SetRights(0x7F);
    page = std::make_unique<CPageDlg>(&host);
    ASSERT_TRUE(page->Create(CPageDlg::IDD, nullptr));
    page->setGeometry(0, 0, 1040, 34);
    page->show();
  }
  void TearDown() override {
    page.reset();
    SetRights(0);
    g_nCurModule = 0;
    FreeLanguageLibrary();
  }
  static void SetRights(int mask) {
    for (int r = 0; r < kRightCount; ++r) g_nCurRights[r] = (mask >> r) & 1;
  }
  QAbstractButton* Tab(int id) { return static_cast<QAbstractButton*>(page->GetDlgItem(id)); }
  void RightClick(int id) { QTest::mousePress(Tab(id), Qt::RightButton, {}, QPoint(10, 10)); }

  FakePageHost host;
  std::unique_ptr<CPageDlg> page;
};

TEST_F(PageDlgTest, TabsAgainstEveryCombinationOfRights) {
  for (int mask = 0; mask < (1 << kRightCount); ++mask) {
    SetRights(mask);
    for (const TabCase& tab : kTabs) {
      g_nCurModule = -1;  // no module is current: every allowed switch is called
      host.calls.clear();
      Tab(tab.id)->click();
      const Calls expected = (mask >> tab.right) & 1
                                 ? Calls{tab.module, "RedrawCaptionBackground"}
                                 : Calls{std::string("ShowResMsg(") + tab.refusal + ",2)"};
      ASSERT_EQ(host.calls, expected) << "tab " << tab.id << " rights " << mask;
    }
  }
}

TEST_F(PageDlgTest, ClickedTabBecomesTheChosenOneWithItsLooks) {
  EXPECT_EQ(page->GetChosenTab(), 1);
  EXPECT_EQ(Tab(1012)->height(), 34);
  EXPECT_TRUE(Tab(1017)->isVisible());
  EXPECT_TRUE(page->GetDlgItem(1286)->isVisible());
  Tab(1014)->click();
  EXPECT_EQ(g_nCurModule, 2);
  EXPECT_EQ(page->GetChosenTab(), 3);
  EXPECT_EQ(Tab(1014)->height(), 34);
  EXPECT_EQ(page->GetDlgItem(1283)->height(), 34);
  EXPECT_EQ(Tab(1012)->height(), 31);
  EXPECT_EQ(Tab(1014)->geometry().x(), 374);
}

TEST_F(PageDlgTest, RefusedTabKeepsTheChosenTab) {
  SetRights(0x3F);  // without the seventh right
  Tab(1017)->click();
  EXPECT_EQ(page->GetChosenTab(), 1);
  EXPECT_EQ(g_nCurModule, 0);
}

TEST_F(PageDlgTest, ModuleOnAnExtensionMonitorIsLeftAlone) {
  host.moduleMonitor[1] = 2;  // record query on monitor 2
  Tab(1013)->click();
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(page->GetChosenTab(), 1);
  EXPECT_EQ(g_nCurModule, 0);
}

TEST_F(PageDlgTest, MapListButtonOfTheMainPanelOnlyInTheMapModule) {
  FakeDeviceListHost panelHost;
  CDeviceListDlg panel(&panelHost);
  ASSERT_TRUE(panel.Create(CDeviceListDlg::IDD, nullptr));
  host.panel = &panel;
  Tab(1017)->click();
  EXPECT_TRUE(panel.GetDlgItem(CDeviceListDlg::IDC_BTN_MAPLIST)->isEnabled());
  Tab(1016)->click();
  EXPECT_FALSE(panel.GetDlgItem(CDeviceListDlg::IDC_BTN_MAPLIST)->isEnabled());
  host.panel = nullptr;
}

TEST_F(PageDlgTest, MonitorMenuMovesTheTabsModule) {
  host.extScreens = 2;
  host.multiScreen = true;
  host.moduleMonitor[5] = 2;  // the e-map is on monitor 2
  RightClick(1017);
  QMenu* menu = page->GetMonitorMenu();
  ASSERT_TRUE(menu->isVisible());
  EXPECT_EQ(page->GetMenuTab(), Tab(1017));
  const QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[0]->text(), "Move to expansion screen 1");
  EXPECT_EQ(items[2]->text(), "Move to expansion screen 3");
  EXPECT_FALSE(items[0]->isChecked());
  EXPECT_TRUE(items[1]->isChecked());
  EXPECT_EQ(items[2]->data().toInt(), CPageDlg::ID_MOVE_TO_SCREEN3);
  items[0]->trigger();
  menu->hide();
  EXPECT_EQ(host.calls, Calls{"MoveModuleToScreen(1)"});
}

TEST_F(PageDlgTest, MonitorMenuOnlyWithMonitorsTheOptionTheRightAndAnotherModule) {
  struct Case {
    int extScreens;
    bool multiScreen;
    int tab;
    int rights;
    int curModule;
    bool opens;
  };
  const Case cases[] = {
      {1, true, 1013, 0x7F, 0, true},
      {0, true, 1013, 0x7F, 0, false},   // no extension monitor
      {2, false, 1013, 0x7F, 0, false},  // multi-screen option off
      {2, true, 1012, 0x7F, 1, false},   // the video view tab has no menu
      {2, true, 1013, 0x7F, 1, false},   // its module is current
      {2, true, 1016, 0x3F, 0, false},   // without its right
      {2, true, 1015, 0x7F, 0, true},
  };
  for (const Case& c : cases) {
    host.extScreens = c.extScreens;
    host.multiScreen = c.multiScreen;
    SetRights(c.rights);
    g_nCurModule = c.curModule;
    RightClick(c.tab);
    EXPECT_EQ(page->GetMonitorMenu()->isVisible(), c.opens) << c.tab << " screens " << c.extScreens;
    page->GetMonitorMenu()->hide();
  }
  EXPECT_TRUE(host.calls.empty());  // a right click switches nothing
}

TEST_F(PageDlgTest, EnterAndEscapeAreSwallowed) {
  QTest::keyClick(page.get(), Qt::Key_Escape);
  QTest::keyClick(page.get(), Qt::Key_Return);
  EXPECT_TRUE(page->isVisible());
  EXPECT_TRUE(host.calls.empty());
}

}  // namespace
