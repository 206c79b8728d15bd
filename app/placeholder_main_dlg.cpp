#include "app/placeholder_main_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/login_dlg.h"
#include "app/vemo_app.h"
#include "core/client_log.h"
#include "core/user_settings.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "ui/splash_dlg.h"

CPlaceholderMainDlg::CPlaceholderMainDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(codepage::ToQString(g_strTitle.empty() ? "Vemo" : g_strTitle));
  setProperty(kAppName, true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Logged in as %1.\nThe main window is still to come; close this "
                                              "window to exit (the password is asked again).")
                                   .arg(codepage::ToQString(g_szCurUser)),
                               this));
  // The same as the window's close button, for desktops that draw none.
  auto* exitButton = new QPushButton(LoadStringW(271), this);
  connect(exitButton, &QPushButton::clicked, this, [this] { RequestExit(); });
  layout->addWidget(exitButton, 0, Qt::AlignRight);
  resize(480, 160);
  if (g_pSplashDlg != nullptr) g_pSplashDlg->hide();
}

CPlaceholderMainDlg::~CPlaceholderMainDlg() { setProperty(kAppName, false); }

void CPlaceholderMainDlg::RequestExit() {
  CLoginDlg exitDlg(this, TRUE, FALSE);
  if (exitDlg.DoModal() != IDOK) return;
  m_bExitConfirmed = true;
  setProperty(kAppName, false);
  done(QDialog::Accepted);
}

void CPlaceholderMainDlg::closeEvent(QCloseEvent* event) {
  if (m_bExitConfirmed) {
    event->accept();
    return;
  }
  event->ignore();
  RequestExit();
}

void CPlaceholderMainDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;  // only the exit password closes the program
  QDialog::keyPressEvent(event);
}
