#include "settings/users/setting_user_info_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "common/label_contrast.h"
#include "common/text_fit.h"
#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "core/res_msg_dlg.h"
#include "core/user_info_store.h"
#include "settings/fake_config_host.h"
#include "settings/settings_test_env.h"

namespace {

class UserPageTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    InstallFixture("user_info.xml", "UserInfo.xml");
    ASSERT_EQ(LoadUserInfo(), 0);
    page_.SetHost(&host_);
    page_.SetConfirm([this](const QString& text) {
      confirmTexts_.push_back(text.toStdString());
      return confirmAnswer_;
    });
    ASSERT_TRUE(page_.Create(CSettingUserInfoDlg::IDD, &parent_));
  }

  void Type(int id, const char* text) { qobject_cast<QLineEdit*>(page_.GetDlgItem(id))->setText(text); }
  std::string Message() {
    auto* box = page_.findChild<CResMsgDlg*>();
    if (box == nullptr || !box->isVisible()) return "";
    return qobject_cast<QLabel*>(box->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text().toStdString();
  }
  std::string UserNames() const {
    std::string out;
    for (const UserInfo& user : g_lstUserInfo) out += (out.empty() ? "" : " ") + std::string(user.UserName);
    return out;
  }

  QWidget parent_;
  FakeConfigHost host_;
  CSettingUserInfoDlg page_;
  std::vector<std::string> confirmTexts_;
  bool confirmAnswer_ = true;
};

}  // namespace

TEST_F(UserPageTest, RefusesToRemoveTheAdministratorAndTheDefaultGroupAndRole) {
  const std::string fileBefore = ReadConfig("UserInfo.xml");
  const struct {
    int edit, button;
    const char* message;
  } cases[] = {
      {CSettingUserInfoDlg::IDC_USER_NAME, CSettingUserInfoDlg::IDC_BTN_DEL_USER, "Not allow to remove administrator!"},
      {CSettingUserInfoDlg::IDC_GROUP_NAME, CSettingUserInfoDlg::IDC_BTN_DEL_GROUP,
       "Not allowed to delete default group."},
      {CSettingUserInfoDlg::IDC_ROLE_NAME, CSettingUserInfoDlg::IDC_BTN_DEL_ROLE, "Not allowed to delete default role"},
  };
  for (const auto& c : cases) {
    Type(c.edit, c.edit == CSettingUserInfoDlg::IDC_USER_NAME ? "admin" : "default");
    page_.OnCommand(c.button);
    EXPECT_EQ(Message(), c.message);
  }
  EXPECT_TRUE(confirmTexts_.empty());  // refused before any question
  EXPECT_EQ(g_lstUserInfo.size(), 4u);
  EXPECT_EQ(g_lstGroupInfo.size(), 4u);
  EXPECT_EQ(g_lstRoleInfo.size(), 3u);
  EXPECT_TRUE(host_.calls.empty());
  EXPECT_EQ(ReadConfig("UserInfo.xml"), fileBefore);
}

TEST_F(UserPageTest, RemovingAUserRefreshesTheUserTreeAndSavesTheFile) {
  Type(CSettingUserInfoDlg::IDC_USER_NAME, "op1");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_DEL_USER);
  EXPECT_EQ(Message(), "Remove user success!");
  EXPECT_EQ(UserNames(), "admin op2 guest");
  EXPECT_EQ(host_.calls, std::vector<std::string>{"RefreshUserList"});
  EXPECT_EQ(page_.GetDlgItem(CSettingUserInfoDlg::IDC_USER_NAME)->property("text").toString(), "");

  g_lstUserInfo.clear();  // the saved file holds the change
  ASSERT_EQ(LoadUserInfo(), 0);
  EXPECT_EQ(UserNames(), "admin op2 guest");
}

TEST_F(UserPageTest, RemovingAGroupAsksFirstAndTakesItsUsers) {
  Type(CSettingUserInfoDlg::IDC_GROUP_NAME, "duty");
  confirmAnswer_ = false;
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_DEL_GROUP);
  EXPECT_EQ(confirmTexts_.size(), 1u);
  EXPECT_EQ(UserNames(), "admin op1 op2 guest");  // cancelled: nothing changed
  EXPECT_TRUE(host_.calls.empty());

  confirmAnswer_ = true;
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_DEL_GROUP);
  EXPECT_EQ(Message(), "Remove user group success!");
  EXPECT_EQ(UserNames(), "admin guest");
  EXPECT_EQ(host_.calls, std::vector<std::string>{"RefreshUserList"});
  auto* groups = qobject_cast<QComboBox*>(page_.GetDlgItem(CSettingUserInfoDlg::IDC_USER_GROUP));
  EXPECT_EQ(groups->findText("duty"), -1);
  g_lstUserInfo.clear();
  g_lstGroupInfo.clear();
  ASSERT_EQ(LoadUserInfo(), 0);
  EXPECT_EQ(UserNames(), "admin guest");
  EXPECT_EQ(g_lstGroupInfo.size(), 3u);
}

TEST_F(UserPageTest, RemovingARoleRefreshesBothTrees) {
  Type(CSettingUserInfoDlg::IDC_ROLE_NAME, "viewer");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_DEL_ROLE);
  EXPECT_EQ(Message(), "Remove role success!");
  EXPECT_EQ(UserNames(), "admin op1 op2");
  EXPECT_EQ(g_lstRoleInfo.size(), 2u);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"RefreshUserList", "RefreshRoleList"}));
}

TEST_F(UserPageTest, ShowsTheChosenUserGroupAndRole) {
  const UserInfo& admin = g_lstUserInfo.front();
  page_.DisplayUserInfo(&admin);
  QWidget* name = page_.GetDlgItem(CSettingUserInfoDlg::IDC_USER_NAME);
  EXPECT_EQ(name->property("text").toString(), "admin");
  EXPECT_FALSE(name->isEnabled());  // the administrator keeps its name and group
  EXPECT_FALSE(page_.GetDlgItem(CSettingUserInfoDlg::IDC_USER_GROUP)->isEnabled());
  page_.DisplayUserInfo(&*std::next(g_lstUserInfo.begin()));
  EXPECT_EQ(name->property("text").toString(), "op1");
  EXPECT_TRUE(name->isEnabled());
  EXPECT_EQ(qobject_cast<QComboBox*>(page_.GetDlgItem(CSettingUserInfoDlg::IDC_USER_GROUP))->currentText(), "duty");

  page_.DisplayGroupInfo(&*std::next(g_lstGroupInfo.begin(), 2));  // "night", role "operator"
  EXPECT_EQ(page_.GetDlgItem(CSettingUserInfoDlg::IDC_GROUP_NAME)->property("text").toString(), "night");
  EXPECT_EQ(qobject_cast<QComboBox*>(page_.GetDlgItem(CSettingUserInfoDlg::IDC_GROUP_ROLE))->currentText(),
            "operator");
  EXPECT_EQ(name->property("text").toString(), "");

  page_.DisplayRoleInfo(&*std::next(g_lstRoleInfo.begin()));  // "operator": play, alarm, advanced
  EXPECT_EQ(page_.GetDlgItem(CSettingUserInfoDlg::IDC_ROLE_NAME)->property("text").toString(), "operator");
  const struct {
    int id;
    bool checked;
  } rights[] = {{CSettingUserInfoDlg::IDC_RIGHT_PLAY, true},   {CSettingUserInfoDlg::IDC_RIGHT_RECORD, false},
                {CSettingUserInfoDlg::IDC_RIGHT_ALARM, true},  {CSettingUserInfoDlg::IDC_RIGHT_PTZ, false},
                {CSettingUserInfoDlg::IDC_RIGHT_CONFIG, false}, {CSettingUserInfoDlg::IDC_RIGHT_ADVANCED, true}};
  for (const auto& r : rights)
    EXPECT_EQ(qobject_cast<QCheckBox*>(page_.GetDlgItem(r.id))->isChecked(), r.checked) << r.id;
  page_.DisplayRoleInfo(nullptr);
  EXPECT_EQ(page_.GetDlgItem(CSettingUserInfoDlg::IDC_ROLE_NAME)->property("text").toString(), "");
}

namespace {

void Pick(CSettingUserInfoDlg& page, int id, const char* text) {
  auto* combo = qobject_cast<QComboBox*>(page.GetDlgItem(id));
  combo->setCurrentIndex(combo->findText(text));
}

}  // namespace

// A user added on the page logs in at once with its role's rights, before
// and after a restart: "UserInfo.xml" holds the password's digest.
TEST_F(UserPageTest, AddedUserLogsInAtOnceAndAfterARestart) {
  Type(CSettingUserInfoDlg::IDC_USER_NAME, " clerk ");
  Pick(page_, CSettingUserInfoDlg::IDC_USER_GROUP, "visitors");
  Type(CSettingUserInfoDlg::IDC_PASSWORD, "se#cret ");
  Type(CSettingUserInfoDlg::IDC_PASSWORD2, " se#cret");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_ADD_USER);
  EXPECT_EQ(Message(), "Add user success!");
  EXPECT_EQ(host_.calls, std::vector<std::string>{"RefreshUserList"});
  const std::string digest = AttemptDigest("clerk", "se#cret", false);
  for (bool restarted : {false, true}) {
    if (restarted) {
      g_lstUserInfo.clear();
      g_lstRoleInfo.clear();
      ASSERT_EQ(LoadUserInfo(), 0);
    }
    EXPECT_EQ(CheckLocalLogin("clerk", digest), 0) << restarted;
    // viewer: play only; the seventh right (TV wall and e-map) stays with "admin".
    EXPECT_EQ(std::vector<int>(std::begin(g_nCurRights), std::end(g_nCurRights)),
              (std::vector<int>{1, 0, 0, 0, 0, 0, 0}));
  }
  EXPECT_NE(ReadConfig("UserInfo.xml").find("<Password>" + digest + "</Password>"), std::string::npos);
  EXPECT_EQ(ReadConfig("UserInfo.xml").find("se#cret"), std::string::npos);
  ASSERT_EQ(CheckLocalLogin("admin", "7C1E9A04B3D25F86E0A47B19C3D8F265"), 0);
  EXPECT_EQ(g_nCurRights[6], 1);
}

// Every change is written at once and read back after a restart; the page's
// copy follows each change, so a second change of the same record works.
TEST_F(UserPageTest, ChangesAreSavedAtOnceAndASecondModifyWorks) {
  page_.DisplayGroupInfo(&*std::next(g_lstGroupInfo.begin()));  // "duty"
  Type(CSettingUserInfoDlg::IDC_GROUP_NAME, "day");
  Pick(page_, CSettingUserInfoDlg::IDC_GROUP_ROLE, "viewer");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_MODIFY_GROUP);
  EXPECT_EQ(Message(), "Modify user group success!");
  Type(CSettingUserInfoDlg::IDC_GROUP_NAME, "dusk");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_MODIFY_GROUP);
  EXPECT_EQ(Message(), "Modify user group success!");

  page_.DisplayRoleInfo(&*std::next(g_lstRoleInfo.begin()));  // "operator"
  Type(CSettingUserInfoDlg::IDC_ROLE_NAME, "staff");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_MODIFY_ROLE);
  EXPECT_EQ(Message(), "Modify role success!");
  qobject_cast<QCheckBox*>(page_.GetDlgItem(CSettingUserInfoDlg::IDC_RIGHT_RECORD))->setChecked(true);
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_MODIFY_ROLE);
  EXPECT_EQ(Message(), "Modify role success!");

  page_.DisplayUserInfo(&*std::next(g_lstUserInfo.begin()));  // op1, now in "dusk"
  Type(CSettingUserInfoDlg::IDC_USER_NAME, "op9");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_MODIFY_USER);
  EXPECT_EQ(Message(), "Modify user success!");
  Type(CSettingUserInfoDlg::IDC_PASSWORD, "fresh");
  Type(CSettingUserInfoDlg::IDC_PASSWORD2, "fresh");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_MODIFY_USER);
  EXPECT_EQ(Message(), "Modify user success!");

  g_lstUserInfo.clear();
  g_lstGroupInfo.clear();
  g_lstRoleInfo.clear();
  ASSERT_EQ(LoadUserInfo(), 0);
  EXPECT_EQ(UserNames(), "admin op9 op2 guest");
  EXPECT_STREQ(std::next(g_lstUserInfo.begin())->GroupName, "dusk");
  EXPECT_STREQ(std::next(g_lstUserInfo.begin())->RoleName, "viewer");
  EXPECT_STREQ(std::next(g_lstGroupInfo.begin(), 2)->RoleName, "staff");  // "night"
  EXPECT_EQ(std::next(g_lstRoleInfo.begin())->Record, 1);
  EXPECT_EQ(CheckLocalLogin("op9", AttemptDigest("op9", "fresh", false)), 0);
}

// "Default" and "AdminRole" chosen in the trees cannot be changed or removed
// from there; "default" cannot be changed at all.
TEST_F(UserPageTest, FixedNamesDisableOrRefuseChanges) {
  GroupInfo capital;
  CopyFixedText(capital.GroupName, "Default");
  CopyFixedText(capital.RoleName, "viewer");
  RoleInfo adminRole;
  CopyFixedText(adminRole.RoleName, "AdminRole");
  page_.DisplayGroupInfo(&capital);
  page_.DisplayRoleInfo(&adminRole);
  for (int id : {CSettingUserInfoDlg::IDC_BTN_MODIFY_GROUP, CSettingUserInfoDlg::IDC_BTN_DEL_GROUP,
                 CSettingUserInfoDlg::IDC_BTN_MODIFY_ROLE, CSettingUserInfoDlg::IDC_BTN_DEL_ROLE}) {
    EXPECT_FALSE(page_.GetDlgItem(id)->isEnabled()) << id;
  }
  page_.DisplayGroupInfo(&g_lstGroupInfo.front());  // "default"
  page_.DisplayRoleInfo(&g_lstRoleInfo.front());
  for (int id : {CSettingUserInfoDlg::IDC_BTN_MODIFY_GROUP, CSettingUserInfoDlg::IDC_BTN_MODIFY_ROLE}) {
    EXPECT_TRUE(page_.GetDlgItem(id)->isEnabled()) << id;
  }
  const std::string before = ReadConfig("UserInfo.xml");
  Type(CSettingUserInfoDlg::IDC_GROUP_NAME, "mine");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_MODIFY_GROUP);
  EXPECT_EQ(Message(), "Not allowed to modify default group.");
  Type(CSettingUserInfoDlg::IDC_ROLE_NAME, "mine");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_MODIFY_ROLE);
  EXPECT_EQ(Message(), "Not allowed to modify default role.");
  EXPECT_EQ(ReadConfig("UserInfo.xml"), before);
}

// Text GBK cannot hold is refused before anything changes; the boxes take no
// more than the record fields hold.
TEST_F(UserPageTest, RefusesTextThatCannotBeStored) {
  const std::string before = ReadConfig("UserInfo.xml");
  const struct {
    int edit, button;
  } cases[] = {
      {CSettingUserInfoDlg::IDC_USER_NAME, CSettingUserInfoDlg::IDC_BTN_ADD_USER},
      {CSettingUserInfoDlg::IDC_PASSWORD, CSettingUserInfoDlg::IDC_BTN_ADD_USER},
      {CSettingUserInfoDlg::IDC_GROUP_NAME, CSettingUserInfoDlg::IDC_BTN_ADD_GROUP},
      {CSettingUserInfoDlg::IDC_ROLE_NAME, CSettingUserInfoDlg::IDC_BTN_ADD_ROLE},
      {CSettingUserInfoDlg::IDC_CAPTION, CSettingUserInfoDlg::IDC_BTN_SAVE_CAPTION},
  };
  for (const auto& c : cases) {
    for (int id : {CSettingUserInfoDlg::IDC_USER_NAME, CSettingUserInfoDlg::IDC_PASSWORD,
                   CSettingUserInfoDlg::IDC_PASSWORD2, CSettingUserInfoDlg::IDC_GROUP_NAME,
                   CSettingUserInfoDlg::IDC_ROLE_NAME}) {
      Type(id, "ok");
    }
    qobject_cast<QLineEdit*>(page_.GetDlgItem(c.edit))->setText(QString::fromUtf8("x\xF0\x9F\x98\x80"));
    page_.OnCommand(c.button);
    EXPECT_EQ(Message(), "The text holds characters that cannot be stored; please use Chinese or English "
                         "characters only.") << c.edit;
  }
  EXPECT_TRUE(host_.calls.empty());
  EXPECT_EQ(ReadConfig("UserInfo.xml"), before);
  const struct {
    int id, limit;
  } limits[] = {{CSettingUserInfoDlg::IDC_USER_NAME, 255}, {CSettingUserInfoDlg::IDC_GROUP_NAME, 255},
                {CSettingUserInfoDlg::IDC_ROLE_NAME, 255},  {CSettingUserInfoDlg::IDC_PASSWORD, 99},
                {CSettingUserInfoDlg::IDC_PASSWORD2, 99}};
  for (const auto& l : limits) {
    EXPECT_EQ(qobject_cast<QLineEdit*>(page_.GetDlgItem(l.id))->maxLength(), l.limit) << l.id;
  }
}

TEST_F(UserPageTest, SavesAnEmptyCaption) {
  Type(CSettingUserInfoDlg::IDC_CAPTION, "");
  page_.OnCommand(CSettingUserInfoDlg::IDC_BTN_SAVE_CAPTION);
  EXPECT_EQ(Message(), "Save Success!");
  EXPECT_EQ(host_.calls, std::vector<std::string>{"SetDispInfo "});
}

// Every text of the page fits its control and reads against the page, in
// English and in Chinese.
TEST_F(UserPageTest, TextsFitAndReadInBothLanguages) {
  for (const char* library : {"LangEn.dll", "LangSC.dll"}) {
    ASSERT_TRUE(LoadLanguageLibrary(library));
    // The rights in two rows on a narrow page, in one on a wide page.
    for (const QSize size : {QSize(780, 640), QSize(1300, 700)}) {
      CSettingUserInfoDlg page;
      ASSERT_TRUE(page.Create(CSettingUserInfoDlg::IDD, &parent_));
      parent_.resize(size);
      page.setGeometry(QRect(QPoint(0, 0), size));
      parent_.show();
      page.show();
      EXPECT_TRUE(TextsThatDoNotFit(&page).empty()) << library << Describe(TextsThatDoNotFit(&page));
      EXPECT_TRUE(LabelsHardToRead(&page).empty()) << library << Describe(LabelsHardToRead(&page));
    }
  }
}
