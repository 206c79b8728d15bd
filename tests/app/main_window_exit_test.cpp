// The main window closes only with the exit password, asked by the login dialog.
#include "app/main_window_env.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include "app/login_dlg.h"
#include "app/vemo_app.h"
#include "app_test_env.h"
#include "core/login_logic.h"

namespace {

class MainWindowExitTest : public AppTest {};

TEST_F(MainWindowExitTest, CloseButtonAsksThePasswordAgain) {
  SetCurrentUser("admin", Md5("letmein"), true);
  CVistarelDlg mainDlg(MakeMainWindowEnv());
  int asked = 0;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* login = dynamic_cast<CLoginDlg*>(QApplication::activeModalWidget());
    if (login == nullptr) {
      // The close button, from a fresh event: the password window runs its own loop inside.
      if (mainDlg.isVisible() && asked < 2) {
        EXPECT_TRUE(mainDlg.property(kAppName).toBool());  // found by a second start
        QTimer::singleShot(0, &mainDlg, [&] { mainDlg.OnBnClickedBtnClose(); });
      }
      return;
    }
    ++asked;
    // First a wrong password (the window stays), then the right one.
    qobject_cast<QLineEdit*>(login->GetDlgItem(CLoginDlg::IDC_PASSWORD))->setText(asked == 1 ? "nope" : "letmein");
    login->OnBnClickedLogin();
    if (asked == 1) QTimer::singleShot(0, login, [login] { login->OnBnClickedCancel(); });
  });
  poll.start(20);
  EXPECT_EQ(mainDlg.DoModal(), IDOK);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(mainDlg.property(kAppName).toBool());
}

}  // namespace
