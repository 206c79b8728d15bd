#include "shell/cfg_manager_dlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTreeWidget>

#include "common/text_fit.h"
#include "core/fixed_text.h"
#include "core/rec_scheme_store.h"
#include "core/user_info_store.h"
#include "settings/hosts/dlg_remote_config.h"
#include "settings/fake_config_host.h"
#include "settings/devices/setting_dev_info_dlg.h"
#include "settings/maintenance/setting_maint_dlg.h"
#include "settings/record/setting_record_dlg.h"
#include "settings/users/setting_user_info_dlg.h"
#include "settings/settings_test_env.h"
#include "shell/cfg_module_page.h"
#include "shell/config_tool_dlg.h"
#include "shell/user_list_dlg.h"
#include "shell/view_state.h"
#include "ui/image_button.h"

namespace {

constexpr RECT kRect{10, 51, 1016, 758};

class CfgManagerTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    InstallFixture("user_info.xml", "UserInfo.xml");
    ASSERT_EQ(LoadUserInfo(), 0);
    WriteConfig("RecInfo.xml", "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecInfo />");
    CopyFixedText(g_szCurUser, "admin");
    std::fill(std::begin(g_nCurRights), std::end(g_nCurRights), 1);
    g_nCfgPage = 0;
    g_nCurModule = kModuleCfg;
    host_.onShowCfgPage = [this](int code) { mgr_->ShowCfgPage(code); };
    parent_.resize(1024, 768);
  }
  void TearDown() override {
    mgr_.reset();
    g_nCurModule = 0;
    g_nCfgPage = 0;
    SettingsTest::TearDown();
  }

  // Creates the manager with a stand-in device list panel that records its operations.
  void CreateManager() {
    mgr_ = std::make_unique<CCfgManagerDlg>(kRect, &host_, &parent_);
    ASSERT_TRUE(mgr_->Create(CCfgManagerDlg::IDD, &parent_));
    devList_ = new QWidget();
    CfgDeviceListPanel panel;
    panel.widget = devList_;
    panel.ShowOriginalGroup = [this] { panelCalls_.push_back("ShowOriginalGroup"); };
    panel.RefreshDevTree = [this] { panelCalls_.push_back("RefreshDevTree"); };
    panel.ShowRecSchemeTree = [this] { panelCalls_.push_back("ShowRecSchemeTree"); };
    mgr_->SetDeviceListPanel(panel);
    mgr_->show();
    parent_.show();
  }
  CImageButton* ToolButton(int id) const { return mgr_->GetToolDlg()->Button(id); }
  bool Shown(const QWidget* widget) const { return widget->isVisibleTo(mgr_.get()); }
  // Which of the left column, the pages and the two record buttons are shown.
  std::string ShownParts() const {
    const std::pair<const char*, const QWidget*> parts[] = {
        {"devlist", devList_},
        {"userlist", mgr_->GetUserListDlg()},
        {"devpage", mgr_->GetDevInfoDlg()},
        {"userpage", mgr_->GetUserInfoDlg()},
        {"recpage", mgr_->GetRecordDlg()},
        {"remote", mgr_->GetRemoteConfigDlg()},
        {"maint", mgr_->GetMaintDlg()},
        {"1297", mgr_->GetDefaultRecButton()},
        {"1298", mgr_->GetDetailButton()},
    };
    std::string out;
    for (const auto& [name, widget] : parts)
      if (Shown(widget)) out += (out.empty() ? "" : " ") + std::string(name);
    return out;
  }
  static RecSchemeInfo* AddScheme(const char* name, int onOff) {
    auto* scheme = new RecSchemeInfo();
    CopyFixedText(scheme->SchemeName, name);
    scheme->OnOff = onOff;
    g_lstRecSchemeInfo.push_back(scheme);
    return scheme;
  }

  QWidget parent_;
  FakeConfigHost host_;
  std::unique_ptr<CCfgManagerDlg> mgr_;
  QWidget* devList_ = nullptr;
  std::vector<std::string> panelCalls_;
};

}  // namespace

TEST_F(CfgManagerTest, ToolPanelButtonsOpenTheirPagesThroughTheMainWindow) {
  CreateManager();
  EXPECT_EQ(QRect(mgr_->geometry()), QRect(10, 51, 1006, 707));
  const struct {
    int button;
    int page;
    const char* shown;
    const char* panelCall;
  } cases[] = {
      {CConfigToolDlg::IDC_USER_CONFIG, 1, "userlist userpage", ""},
      {CConfigToolDlg::IDC_RECORD_CONFIG, 2, "devlist 1297 1298", "ShowRecSchemeTree"},
      {CConfigToolDlg::IDC_REMOTE_CONFIG, 3, "devlist remote", "RefreshDevTree"},
      {CConfigToolDlg::IDC_MAINTENANCE, 4, "devlist maint", "RefreshDevTree"},
      {CConfigToolDlg::IDC_DEV_CONFIG, 0, "devlist devpage", "ShowOriginalGroup"},
  };
  for (const auto& c : cases) {
    host_.calls.clear();
    panelCalls_.clear();
    ToolButton(c.button)->click();
    EXPECT_EQ(host_.calls, std::vector<std::string>{"ShowCfgPage " + std::to_string(c.page)}) << c.button;
    EXPECT_EQ(g_nCfgPage, c.page);
    EXPECT_EQ(ShownParts(), c.shown) << c.button;
    EXPECT_EQ(panelCalls_, c.panelCall[0] ? std::vector<std::string>{c.panelCall} : std::vector<std::string>{})
        << c.button;
    for (int id : {CConfigToolDlg::IDC_DEV_CONFIG, CConfigToolDlg::IDC_USER_CONFIG, CConfigToolDlg::IDC_RECORD_CONFIG,
                   CConfigToolDlg::IDC_REMOTE_CONFIG, CConfigToolDlg::IDC_MAINTENANCE, CConfigToolDlg::IDC_ALARM_LINKAGE})
      EXPECT_EQ(ToolButton(id)->GetTextColor(), id == c.button ? CConfigToolDlg::kChosenColor : 0u) << id;
  }
  host_.calls.clear();
  ToolButton(CConfigToolDlg::IDC_ALARM_LINKAGE)->click();  // does nothing
  EXPECT_TRUE(host_.calls.empty());
  EXPECT_EQ(ShownParts(), "devlist devpage");
  EXPECT_EQ(ToolButton(CConfigToolDlg::IDC_DEV_CONFIG)->GetTextColor(), CConfigToolDlg::kChosenColor);
}

TEST_F(CfgManagerTest, RefusalsAppearInTheMainWindowsMessageBox) {
  const struct {
    const char* user;
    int withoutRight;  // index in g_nCurRights, -1: none
    int button;
    const char* message;
  } cases[] = {
      // Only "admin" manages users, whatever the rights of another user.
      {"op1", -1, CConfigToolDlg::IDC_USER_CONFIG,
       "Without user management permission,please contact administrator!"},
      {"admin", 2, CConfigToolDlg::IDC_RECORD_CONFIG,
       "Without record management permission,please contact administrator!"},
  };
  for (const auto& c : cases) {
    CopyFixedText(g_szCurUser, c.user);
    std::fill(std::begin(g_nCurRights), std::end(g_nCurRights), 1);
    if (c.withoutRight >= 0) g_nCurRights[c.withoutRight] = 0;
    CreateManager();
    mgr_->ShowCfgPage(0);
    host_.calls.clear();
    host_.messages.clear();
    ToolButton(c.button)->click();
    EXPECT_EQ(host_.calls, std::vector<std::string>{"ShowResMsg 2"}) << c.button;
    EXPECT_EQ(host_.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(g_nCfgPage, 0);
    EXPECT_EQ(ToolButton(CConfigToolDlg::IDC_DEV_CONFIG)->GetTextColor(), CConfigToolDlg::kChosenColor);
  }
}

TEST_F(CfgManagerTest, CloudLoginLeavesOnlyRecordConfigAndAlarmLinkageAndOpensOnTheRecordPage) {
  g_nLoginType = 1;
  CreateManager();
  const struct {
    int button;
    bool enabled;
  } buttons[] = {{CConfigToolDlg::IDC_DEV_CONFIG, false},   {CConfigToolDlg::IDC_USER_CONFIG, false},
                 {CConfigToolDlg::IDC_RECORD_CONFIG, true}, {CConfigToolDlg::IDC_REMOTE_CONFIG, false},
                 {CConfigToolDlg::IDC_MAINTENANCE, false},  {CConfigToolDlg::IDC_ALARM_LINKAGE, true}};
  for (const auto& b : buttons) EXPECT_EQ(ToolButton(b.button)->isEnabled(), b.enabled) << b.button;

  const struct {
    int page, loginType, open;
  } choices[] = {{-1, 1, 2}, {-1, 0, 0}, {7, 0, 0}, {2, 0, 2}, {0, 1, -1}, {1, 0, -1}, {3, 0, -1}, {4, 1, -1}};
  for (const auto& c : choices) EXPECT_EQ(CfgModulePageToOpen(c.page, c.loginType), c.open) << c.page;
}

// Side by side and of one width: 160 for the Russian interface and 80
// otherwise, or as wide as the widest caption needs, so that every caption fits.
TEST_F(CfgManagerTest, ToolButtonsAreWiderForTheRussianInterfaceAndForLongCaptions) {
  for (int language : {0, 3}) {
    g_nLanguage = language;
    CreateManager();
    const int width = ToolButton(CConfigToolDlg::IDC_DEV_CONFIG)->width();
    EXPECT_GE(width, language == 3 ? 160 : 80);
    int x = 0;
    for (int id : {CConfigToolDlg::IDC_DEV_CONFIG, CConfigToolDlg::IDC_USER_CONFIG, CConfigToolDlg::IDC_RECORD_CONFIG,
                   CConfigToolDlg::IDC_REMOTE_CONFIG, CConfigToolDlg::IDC_MAINTENANCE,
                   CConfigToolDlg::IDC_ALARM_LINKAGE}) {
      EXPECT_EQ(ToolButton(id)->geometry(), QRect(x, 5, width, 28)) << language << " " << id;
      x += width;
    }
    EXPECT_TRUE(TextsThatDoNotFit(mgr_->GetToolDlg()).empty()) << Describe(TextsThatDoNotFit(mgr_->GetToolDlg()));
  }
  g_nLanguage = 0;
}

TEST_F(CfgManagerTest, LaysOutTheColumnThePageAreaAndTheRecordButtons) {
  CreateManager();
  mgr_->ShowCfgPage(2);
  const int w = mgr_->width(), h = mgr_->height();
  EXPECT_EQ(mgr_->GetToolDlg()->geometry(), QRect(0, 0, w, 40));
  EXPECT_EQ(devList_->geometry(), QRect(0, 40, 220, h - 40));
  EXPECT_EQ(mgr_->GetUserListDlg()->geometry(), QRect(0, 40, 220, h - 40));
  EXPECT_EQ(mgr_->GetDevInfoDlg()->geometry(), QRect(225, 40, w - 225, h - 40));
  EXPECT_EQ(mgr_->GetDefaultRecButton()->geometry(), QRect(225, 40, 77, 28));
  EXPECT_EQ(mgr_->GetDetailButton()->geometry(), QRect(302, 40, 77, 28));
  EXPECT_EQ(mgr_->GetDetailButton()->text(), "Detail");

  EXPECT_FALSE(Shown(mgr_->GetRecordDlg()));  // until "Detail"
  mgr_->GetDetailButton()->click();
  EXPECT_TRUE(Shown(mgr_->GetRecordDlg()));
  EXPECT_EQ(mgr_->GetRecordDlg()->geometry(), QRect(225, 80, w - 225, h - 80));

  mgr_->resize(800, 600);  // a new size is laid out again
  EXPECT_EQ(mgr_->GetMaintDlg()->geometry(), QRect(225, 40, 800 - 225, 600 - 40));
}

TEST_F(CfgManagerTest, RecordPageCreatesTheDefaultSchemeWhenDevicesExist) {
  g_lstDevInfo.emplace_back();
  CopyFixedText(g_lstDevInfo.back().DevName, "cam1");
  g_lstDevInfo.back().DevType = 1;
  CreateManager();
  EXPECT_EQ(mgr_->GetDefaultRecButton()->text(), "Start Record");
  ToolButton(CConfigToolDlg::IDC_RECORD_CONFIG)->click();
  ASSERT_EQ(g_lstRecSchemeInfo.size(), 1u);
  EXPECT_STREQ(g_lstRecSchemeInfo.front()->SchemeName, "Default Strategy");
  EXPECT_EQ(mgr_->GetRecordDlg()->ShownScheme(), g_lstRecSchemeInfo.front());
  // The page made the scheme when it was created and had the main window put it in the panel's tree;
  // showing the page then showed that tree again.
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"ShowRecSchemeTree", "ShowCfgPage 2"}));
  EXPECT_EQ(panelCalls_, std::vector<std::string>{"ShowRecSchemeTree"});
}

TEST_F(CfgManagerTest, DefaultRecordButtonSwitchesTheDefaultSchemeAndRecomputesTheAllRecordingFlag) {
  const struct {
    int otherOn;
    int flagWhenOn;
  } cases[] = {{1, 1}, {0, 0}};  // a second scheme switched off keeps "Start All Record"
  for (const auto& c : cases) {
    FreeRecSchemeList();
    AddScheme("Night", c.otherOn);
    RecSchemeInfo* def = AddScheme("Default Strategy", 0);
    CreateManager();
    mgr_->ShowCfgPage(2);
    host_.calls.clear();

    mgr_->GetDefaultRecButton()->click();
    EXPECT_EQ(def->OnOff, 1);
    EXPECT_EQ(mgr_->GetDefaultRecButton()->text(), "Stop Record");
    EXPECT_EQ(host_.allRecording, c.flagWhenOn);
    EXPECT_EQ(mgr_->GetRecordDlg()->ShownScheme(), def);

    mgr_->GetDefaultRecButton()->click();  // twice: back to the first state
    EXPECT_EQ(def->OnOff, 0);
    EXPECT_EQ(mgr_->GetDefaultRecButton()->text(), "Start Record");
    EXPECT_EQ(host_.allRecording, 0);
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"SetAllRecording " + std::to_string(c.flagWhenOn),
                                                     "SetAllRecording 0"}));
  }
}

TEST_F(CfgManagerTest, TheRecordButtonStartsWithTheDefaultSchemesState) {
  AddScheme("Default Strategy", 1);
  CreateManager();
  EXPECT_EQ(mgr_->GetDefaultRecButton()->text(), "Stop Record");
  mgr_->SetRecordButtonCaption(0);  // the main window's record-all switch
  EXPECT_EQ(mgr_->GetDefaultRecButton()->text(), "Start Record");
}

TEST_F(CfgManagerTest, LeavingOrHidingThePagesStopsTheSearchAndReleasesTheRemoteDevice) {
  CreateManager();
  DevInfo dev;
  CopyFixedText(dev.DevName, "gate");
  mgr_->ShowCfgPage(3);
  mgr_->GetRemoteConfigDlg()->ShowRemoteConfig(&dev);
  mgr_->ShowCfgPage(4);
  EXPECT_EQ(mgr_->GetRemoteConfigDlg()->ShownDevice(), nullptr);

  mgr_->ShowCfgPage(3);
  mgr_->GetRemoteConfigDlg()->ShowRemoteConfig(&dev);
  mgr_->hide();  // a module switch
  EXPECT_EQ(mgr_->GetRemoteConfigDlg()->ShownDevice(), nullptr);
  EXPECT_TRUE(mgr_->GetRemoteConfigDlg()->isHidden());
  mgr_->show();  // back on the remote configuration page
  EXPECT_TRUE(Shown(mgr_->GetRemoteConfigDlg()));
  EXPECT_EQ(g_nCfgPage, 3);
}

TEST_F(CfgManagerTest, EnterAndEscapeDoNotCloseTheManager) {
  CreateManager();
  mgr_->ShowCfgPage(1);
  QWidget* targets[] = {mgr_.get(), mgr_->GetToolDlg(), mgr_->GetUserListDlg()->UserTree(),
                        mgr_->GetUserInfoDlg()->GetDlgItem(CSettingUserInfoDlg::IDC_USER_NAME)};
  for (QWidget* target : targets) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QApplication::sendEvent(target, &press);
      EXPECT_TRUE(mgr_->isVisible());
      EXPECT_TRUE(target->isVisible());
    }
  }
}
