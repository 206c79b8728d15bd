// The login window: local login, automatic login, the exit password and the
// messages it shows for wrong input.
#include "app/login_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app_test_env.h"
#include "core/login_logic.h"
#include "core/user_info.h"
#include "core/user_info_store.h"
#include "core/user_settings.h"
#include "platform/codepage.h"

namespace {

class LoginDlgTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    PrepareAccounts("letmein", false);
    ASSERT_EQ(LoadUserInfo(), 0);
  }
  static void Fill(CLoginDlg& dlg, const char* name, const char* password) {
    qobject_cast<QComboBox*>(dlg.GetDlgItem(CLoginDlg::IDC_USER))->setEditText(name);
    qobject_cast<QLineEdit*>(dlg.GetDlgItem(CLoginDlg::IDC_PASSWORD))->setText(password);
  }
  static QString Shown(CLoginDlg& dlg) {
    if (!dlg.MsgDlg()->isVisible()) return {};
    return qobject_cast<QLabel*>(dlg.MsgDlg()->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text();
  }
};

TEST_F(LoginDlgTest, LocalLoginWrongThenRight) {
  CLoginDlg dlg(nullptr, FALSE, FALSE);
  ASSERT_TRUE(dlg.Create(CLoginDlg::IDD, nullptr));
  Fill(dlg, "admin", "nope");
  dlg.OnBnClickedLogin();
  EXPECT_EQ(Shown(dlg), "Wrong password!");
  Fill(dlg, "ghost", "nope");
  dlg.OnBnClickedLogin();
  EXPECT_EQ(Shown(dlg), "The username not exist!");
  Fill(dlg, "", "x");
  dlg.OnBnClickedLogin();
  EXPECT_EQ(Shown(dlg), "Please input user name first then login!");
  EXPECT_STREQ(g_szCurUser, "");

  Fill(dlg, "  admin ", " letmein ");  // blanks at both ends do not count
  dlg.OnBnClickedLogin();
  EXPECT_STREQ(g_szCurUser, "admin");
  EXPECT_EQ(std::string(g_szCurPassword), Md5("letmein"));
  for (int right : g_nCurRights) EXPECT_EQ(right, 1);  // admin: all seven
  ASSERT_EQ(g_lstLoginInfo.size(), 1u);
  EXPECT_STREQ(g_lstLoginInfo.front().UserName, "admin");
}

TEST_F(LoginDlgTest, EmptyServerFieldsNameTheMissingOne) {
  CLoginDlg dlg(nullptr, FALSE, FALSE);
  ASSERT_TRUE(dlg.Create(CLoginDlg::IDD, nullptr));
  qobject_cast<QCheckBox*>(dlg.GetDlgItem(CLoginDlg::IDC_SELECT_SERVER))->setChecked(true);
  dlg.OnBnClickedSelectServer();
  EXPECT_TRUE(dlg.GetDlgItem(CLoginDlg::IDC_SVR_ADDR)->isVisibleTo(&dlg));
  Fill(dlg, "admin", "letmein");
  dlg.OnBnClickedLogin();
  EXPECT_EQ(Shown(dlg), "Please input the server address first then login!");
  qobject_cast<QLineEdit*>(dlg.GetDlgItem(CLoginDlg::IDC_SVR_ADDR))->setText("127.0.0.1");
  dlg.OnBnClickedLogin();
  EXPECT_EQ(Shown(dlg), "Please input the server port first then login!");
  EXPECT_STREQ(g_szCurUser, "");
}

TEST_F(LoginDlgTest, AutomaticLoginWithTheSavedDigest) {
  PrepareAccounts("letmein", true);
  ASSERT_EQ(LoadUserInfo(), 0);
  CLoginDlg dlg(nullptr, FALSE, FALSE);
  EXPECT_EQ(dlg.DoModal(), IDOK);  // logged in during its initialisation, never shown
  EXPECT_STREQ(g_szCurUser, "admin");
  EXPECT_EQ(std::string(g_szCurPassword), Md5("letmein"));
}

TEST_F(LoginDlgTest, ExitPasswordIsAskedAgain) {
  SetCurrentUser("admin", Md5("letmein"), true);
  CLoginDlg dlg(nullptr, TRUE, FALSE);
  QTimer::singleShot(0, &dlg, [&] {
    Fill(dlg, "admin", "wrong");
    dlg.OnBnClickedLogin();
    EXPECT_EQ(Shown(dlg), "Wrong password!");
    EXPECT_FALSE(dlg.GetDlgItem(CLoginDlg::IDC_USER)->isEnabled());
    EXPECT_FALSE(dlg.GetDlgItem(CLoginDlg::IDC_CLOUD)->isVisible());
    EXPECT_FALSE(dlg.GetDlgItem(CLoginDlg::IDC_SELECT_SERVER)->isVisible());
    Fill(dlg, "admin", "letmein");
    dlg.OnBnClickedLogin();
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST_F(LoginDlgTest, CancelEndsWithCancel) {
  CLoginDlg dlg(nullptr, FALSE, FALSE);
  QTimer::singleShot(0, &dlg, [&] { dlg.OnBnClickedCancel(); });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

}  // namespace
