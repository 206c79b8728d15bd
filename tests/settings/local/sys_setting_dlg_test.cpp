#include "settings/local/sys_setting_dlg.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>

#include "common/label_contrast.h"
#include "common/text_fit.h"
#include "core/fixed_text.h"
#include "fake_local_settings_host.h"
#include "relay/forward/forward_dlg.h"
#include "settings/local/setting_save_path.h"
#include "settings/settings_test_env.h"

namespace {

class SysSettingTest : public SettingsTest {
 protected:
  std::unique_ptr<CSysSettingDlg> Make() {
    auto dlg = std::make_unique<CSysSettingDlg>([] { return nullptr; });
    dlg->SetHost(&host_);
    EXPECT_TRUE(dlg->Create(CSysSettingDlg::IDD));
    return dlg;
  }
  static std::string TabTexts(const QTabWidget* tabs) {
    std::string out;
    for (int i = 0; i < tabs->count(); ++i) out += (out.empty() ? "" : "|") + tabs->tabText(i).toStdString();
    return out;
  }
  FakeLocalSettingsHost host_;
};

}  // namespace

// Eight tabs in order after a local login; after a cloud-account login the
// forwarding tab is missing, though its page exists.
TEST_F(SysSettingTest, TabsInOrderAndTheForwardingTabOnlyForALocalLogin) {
  const std::string seven =
      "Storage|Patrol|PTZ|Joystick|Switch Stream|Time/Alarm Set|Broadcast Set";
  for (int loginType : {0, 1}) {
    g_nLoginType = loginType;
    auto dlg = Make();
    EXPECT_EQ(TabTexts(dlg->Tabs()), loginType == 0 ? seven + "|Forward Service Setting" : seven);
    EXPECT_NE(dlg->ForwardPage(), nullptr);
    EXPECT_EQ(dlg->Tabs()->currentIndex(), CSysSettingDlg::kTabStorage);
    EXPECT_EQ(dlg->windowTitle(), LoadStringW(CSysSettingDlg::kCaptionText));
  }
}

// Typing a folder, going to another tab and back shows the stored folder;
// Enter and Escape close nothing.
TEST_F(SysSettingTest, StorageTabShowsTheStoredFolderAgainAndKeysCloseNothing) {
  LoginInfo login;
  CopyFixedText(login.UserName, "admin");
  CopyFixedText(login.SavePath, "/data/snaps");
  g_lstLoginInfo.push_back(login);
  CopyFixedText(g_szCurUser, "admin");
  auto dlg = Make();
  dlg->show();
  auto* edit = qobject_cast<QLineEdit*>(dlg->SavePathPage()->GetDlgItem(CSettingSavePath::IDC_PATH));
  EXPECT_EQ(edit->text(), "/data/snaps");
  edit->setText("/typed/but/not/saved");
  dlg->Tabs()->setCurrentIndex(CSysSettingDlg::kTabPtz);
  dlg->Tabs()->setCurrentIndex(CSysSettingDlg::kTabStorage);
  EXPECT_EQ(edit->text(), "/data/snaps");

  for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.get(), &press);
    QCoreApplication::sendEvent(edit, &press);
    EXPECT_TRUE(dlg->isVisible()) << key;
    EXPECT_TRUE(dlg->SavePathPage()->isVisible()) << key;
  }
  g_lstLoginInfo.clear();
}

// Every tab's page fits its texts and reads, in English and in Chinese.
TEST_F(SysSettingTest, PagesFitTheirTextsInBothLanguages) {
  for (const char* library : {"LangEn.dll", "LangSC.dll"}) {
    ASSERT_TRUE(LoadLanguageLibrary(library));
    auto dlg = Make();
    dlg->show();
    for (int tab : {CSysSettingDlg::kTabStorage, CSysSettingDlg::kTabPtz, CSysSettingDlg::kTabSwitchStream,
                    CSysSettingDlg::kTabAlarm}) {
      dlg->Tabs()->setCurrentIndex(tab);
      QWidget* page = dlg->Tabs()->currentWidget();
      EXPECT_TRUE(TextsThatDoNotFit(page).empty()) << library << " " << tab << Describe(TextsThatDoNotFit(page));
      EXPECT_TRUE(LabelsHardToRead(page).empty()) << library << " " << tab << Describe(LabelsHardToRead(page));
    }
  }
}
