// The login window: local login, automatic login, the exit password and the
// messages it shows for wrong input.
#include "app/login_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QScreen>

#include "app/message_placement.h"
#include "app_test_env.h"
#include "core/startup_settings.h"
#include "platform/string_table.h"
#include "common/label_contrast.h"
#include "common/text_fit.h"
#include "ui/draw_text.h"
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

// A message opens beside the dialog, never over its fields.
TEST_F(LoginDlgTest, MessagesLeaveTheFieldsInView) {
  CLoginDlg dlg(nullptr, FALSE, FALSE);
  ASSERT_TRUE(dlg.Create(CLoginDlg::IDD, nullptr));
  dlg.show();
  Fill(dlg, "admin", "nope");
  dlg.OnBnClickedLogin();
  ASSERT_EQ(Shown(dlg), "Wrong password!");
  EXPECT_FALSE(dlg.MsgDlg()->frameGeometry().intersects(dlg.frameGeometry()))
      << "box " << dlg.MsgDlg()->frameGeometry().y() << ", dialog " << dlg.frameGeometry().y();
  EXPECT_TRUE(dlg.screen()->availableGeometry().contains(dlg.MsgDlg()->frameGeometry()));
}

TEST(MessagePlacement, BesideTheWindowOnTheScreen) {
  const QRect screen(0, 0, 1000, 800);
  const QSize box(300, 100);
  const struct {
    QRect window;
    QPoint corner;
  } cases[] = {
      {QRect(300, 250, 400, 300), QPoint(350, 558)},  // below, centred
      {QRect(300, 600, 400, 150), QPoint(350, 492)},  // no room below: above
      {QRect(0, 100, 500, 650), QPoint(508, 375)},    // tall window: right of it
      {QRect(500, 100, 500, 650), QPoint(192, 375)},  // at the right edge: left of it
      {QRect(-100, 600, 300, 150), QPoint(0, 492)},   // centred above, kept on the screen
      {QRect(0, 0, 950, 780), QPoint(700, 700)},      // fills the screen: the far corner
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PlaceBesideWindow(box, c.window, screen), c.corner) << c.window.x() << "," << c.window.y();
  }
}

// The login window in each language: its own background picture, every text
// inside its control and readable on what it stands on, and screenshots (login and lock mode) for a person to
// look at under the build folder's "screenshots".
TEST_F(LoginDlgTest, EachLanguageHasItsBackgroundAndItsTextsFit) {
  const struct {
    const char* library;
    int code;
    const char* suffix;
  } languages[] = {{"LangSC.dll", 0, "sc"}, {"LangEn.dll", 1, "en"}};
  const QString folder = QCoreApplication::applicationDirPath() + "/screenshots/";  // the build's program folder
  QDir().mkpath(folder);
  const QFont font = QApplication::font();
  QApplication::setFont(DialogFont());  // as the program sets it
  for (const auto& language : languages) {
    SCOPED_TRACE(language.suffix);
    ASSERT_TRUE(LoadLanguageLibrary(language.library));
    g_nLanguage = language.code;
    for (BOOL lock : {FALSE, TRUE}) {
      CLoginDlg dlg(nullptr, lock, FALSE);
      ASSERT_TRUE(dlg.Create(CLoginDlg::IDD, nullptr));
      dlg.show();
      EXPECT_EQ(Describe(TextsThatDoNotFit(&dlg)), "");
      EXPECT_EQ(Describe(LabelsHardToRead(&dlg)), "");
      const QImage shot = dlg.grab().toImage();
      EXPECT_LT(shot.pixelColor(dlg.width() - 20, 10).lightness(), 100) << "the dark band of the background";
      ASSERT_TRUE(shot.save(folder + "login_" + (lock ? "lock_" : "") + language.suffix + ".png"));
      if (lock) continue;
      Fill(dlg, "admin", "nope");
      dlg.OnBnClickedLogin();
      // The dialog and its message box where they stand on the screen.
      const QRect frame = dlg.frameGeometry(), box = dlg.MsgDlg()->frameGeometry();
      const QRect all = frame.united(box);
      QImage both(all.size(), QImage::Format_RGB32);
      both.fill(Qt::darkGray);
      QPainter painter(&both);
      painter.drawImage(frame.topLeft() - all.topLeft(), shot);
      painter.drawImage(box.topLeft() - all.topLeft(), dlg.MsgDlg()->grab().toImage());
      painter.end();
      ASSERT_TRUE(both.save(folder + "login_message_" + language.suffix + ".png"));
    }
  }
  g_nLanguage = 0;
  QApplication::setFont(font);
}

}  // namespace
