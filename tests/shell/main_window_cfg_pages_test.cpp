// The configuration module as the main window opens it: the first opening
// fills its first page and marks that page's button; a tool button that opens
// no page leaves the page and the marks as they were.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QTest>

#include "settings/devices/setting_dev_info_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/config_tool_dlg.h"
#include "shell/page_dlg.h"
#include "tests/shell/dev_records.h"
#include "tests/shell/main_window_fixture.h"
#include "ui/image_button.h"

namespace {

// The buttons of the tool panel whose captions have the chosen colour.
std::vector<int> MarkedButtons(const CCfgManagerDlg& mgr) {
  std::vector<int> marked;
  for (int id : {CConfigToolDlg::IDC_DEV_CONFIG, CConfigToolDlg::IDC_USER_CONFIG, CConfigToolDlg::IDC_RECORD_CONFIG,
                 CConfigToolDlg::IDC_REMOTE_CONFIG, CConfigToolDlg::IDC_MAINTENANCE, CConfigToolDlg::IDC_ALARM_LINKAGE})
    if (mgr.GetToolDlg()->Button(id)->GetTextColor() == CConfigToolDlg::kChosenColor) marked.push_back(id);
  return marked;
}

TEST_F(MainWindowTest, TheFirstOpeningOfTheConfigurationModuleFillsItsFirstPage) {
  g_lstDevGroupInfo = {Group("Entrance")};
  g_lstDevInfo = {Dev("Front Door", "Front Door", 1, "Entrance", 1)};
  const struct {
    int loginType;
    int button;     // the one marked
    bool devPage;   // the device page shows (else the record page's two buttons)
  } cases[] = {{0, CConfigToolDlg::IDC_DEV_CONFIG, true}, {1, CConfigToolDlg::IDC_RECORD_CONFIG, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.loginType);
    g_nLoginType = c.loginType;
    g_nCfgPage = 3;  // left by an earlier window
    dlg_.reset();
    CVistarelDlg& dlg = Open();
    dlg.m_pPageDlg->OnBnClickedConfig();
    QCoreApplication::processEvents();
    CCfgManagerDlg& mgr = *dlg.m_pCfgManagerDlg;
    ASSERT_TRUE(mgr.isVisible());
    EXPECT_EQ(mgr.GetDevInfoDlg()->isVisible(), c.devPage);
    EXPECT_EQ(mgr.GetDefaultRecButton()->isVisible(), !c.devPage);
    EXPECT_EQ(mgr.GetDetailButton()->isVisible(), !c.devPage);
    EXPECT_EQ(MarkedButtons(mgr), std::vector<int>{c.button});

    // "Alarm linkage", hovered and clicked, opens nothing and keeps no mark.
    CImageButton* linkage = mgr.GetToolDlg()->Button(CConfigToolDlg::IDC_ALARM_LINKAGE);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(linkage, &enter);
    QTest::mouseClick(linkage, Qt::LeftButton);
    EXPECT_EQ(mgr.GetDevInfoDlg()->isVisible(), c.devPage);
    EXPECT_EQ(MarkedButtons(mgr), std::vector<int>{c.button});
  }
  g_nLoginType = 0;
}

}  // namespace
