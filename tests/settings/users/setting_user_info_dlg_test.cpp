#include "settings/users/setting_user_info_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

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
