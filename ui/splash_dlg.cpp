#include "ui/splash_dlg.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "core/user_settings.h"
#include "core/module_path.h"
#include "platform/codepage.h"
#include "ui/draw_text.h"
#include "ui/sys_colors.h"

namespace {

QSize ScreenSize() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(1024, 768);
}

}  // namespace

CSplashDlg::CSplashDlg(QWidget* parent) : CDialog(IDD, parent) {
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
}

BOOL CSplashDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  QSize screen = ScreenSize();
  setGeometry(0, 0, screen.width(), screen.height());
  const CString& title = g_strTitle;
  if (!title.empty()) setWindowTitle(codepage::ToQString(title));
  return TRUE;
}

QRect CSplashDlg::TextRect() const { return QRect(QPoint(5, 10), QPoint(ScreenSize().width() - 100 - 1, 35 - 1)); }

void CSplashDlg::ShowText(const CStringW& text) {
  m_strText = text;
  repaint(TextRect());  // the picture under the old text is drawn again, then the new text
}

void CSplashDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  m_gdi.DrawImageFile(GetModuleDir() + "Images\\Splash.png", RECT{0, 0, width(), height()}, &painter);
  if (m_strText.empty()) return;
  painter.setFont(SongTiFont(120));
  painter.setPen(ToQColor(kTextColor));
  DrawTextW(painter, QString::fromStdWString(m_strText), TextRect(), DT_SINGLELINE);
}
