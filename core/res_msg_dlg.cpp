#include "core/res_msg_dlg.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "core/user_settings.h"
#include "core/res_msg_layout.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"

namespace {

std::function<void()>& ExitProgramAction() {
  static std::function<void()> action;
  return action;
}

std::function<void()>& StopAllVideoAction() {
  static std::function<void()> action;
  return action;
}

void Place(QWidget* widget, const RECT& rect) {
  if (widget) widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
}

}  // namespace

CResMsgDlg::CResMsgDlg(QWidget* parent) : CDialog(IDD, parent) {}

void CResMsgDlg::SetExitProgramAction(std::function<void()> action) { ExitProgramAction() = std::move(action); }

void CResMsgDlg::SetStopAllVideoAction(std::function<void()> action) { StopAllVideoAction() = std::move(action); }

BOOL CResMsgDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_bInited = true;
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  QString ok = LoadStringW(850), cancel = LoadStringW(851);
  if (!ok.isEmpty()) SetWindowTextW(GetDlgItem(IDC_MSG_OK), ok);
  if (!cancel.isEmpty()) SetWindowTextW(GetDlgItem(IDC_MSG_CANCEL), cancel);
  if (auto* button = qobject_cast<QPushButton*>(GetDlgItem(IDC_MSG_OK))) button->setDefault(true);
  if (auto* label = qobject_cast<QLabel*>(GetDlgItem(IDC_MSG_TEXT))) {
    label->setTextFormat(Qt::PlainText);  // a message is text, never markup
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  const CString& title = g_strTitle;
  if (!title.empty()) setWindowTitle(codepage::ToQString(title));
  OnClicked(IDC_MSG_OK, [this] { OnBnClickedOk(); });
  OnClicked(IDC_MSG_CANCEL, [this] { OnBnClickedCancel(); });
  return TRUE;
}

void CResMsgDlg::ShowMsg(const CStringW& text, int type, int) { Show(QString::fromStdWString(text), type, false); }

void CResMsgDlg::ShowMsgA(const CString& text, int type, int) { Show(codepage::ToQString(text), type, true); }

int CResMsgDlg::GetTypeFlag(int type) const { return IsConfirmType(type) ? m_nFlags[type - 5] : 0; }

void CResMsgDlg::Show(const QString& text, int type, bool ansiCounts) {
  if (!m_bInited) Create(IDD, parentWidget());
  for (int& flag : m_nFlags) flag = 0;

  ResMsgLayout layout = LayoutResMsg(MeasureMessageText(text, fontMetrics(), ansiCounts), type);
  hide();
  SizeWindow(layout.window);

  QWidget* label = GetDlgItem(IDC_MSG_TEXT);
  Place(label, layout.text);
  SetWindowTextW(label, text);
  if (label) label->show();

  QWidget* ok = GetDlgItem(IDC_MSG_OK);
  QWidget* cancel = GetDlgItem(IDC_MSG_CANCEL);
  if (layout.showCancel) {
    m_nFlags[type - 5] = 1;
    Place(cancel, layout.cancel);
    if (cancel) cancel->show();
  } else if (cancel) {
    cancel->hide();
  }
  Place(ok, layout.ok);
  if (ok) ok->show();

  Centre(layout.window);
  show();
  // The frame is known once the window is shown the first time: size and place again.
  SizeWindow(layout.window);
  Centre(layout.window);
  raise();
}

// The layout gives the whole window; the frame that the window system adds is
// taken from it so that the client area holds the controls as laid out.
void CResMsgDlg::SizeWindow(SIZE window) {
  QSize frame = frameGeometry().size() - geometry().size();
  resize(window.cx - frame.width(), window.cy - frame.height());
}

void CResMsgDlg::Centre(SIZE window) {
  QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect area = screen->geometry();
  move(area.x() + (area.width() - window.cx) / 2, area.y() + (area.height() - window.cy) / 2);
}

void CResMsgDlg::OnBnClickedOk() {
  hide();
  // Copies: an action may replace the installed one while it runs.
  std::function<void()> exitProgram = m_nFlags[8 - 5] ? ExitProgramAction() : nullptr;
  std::function<void()> stopAllVideo = m_nFlags[9 - 5] ? StopAllVideoAction() : nullptr;
  if (exitProgram) exitProgram();
  if (stopAllVideo) stopAllVideo();
}

void CResMsgDlg::OnBnClickedCancel() { hide(); }

void CResMsgDlg::OnOK() { OnBnClickedOk(); }

void CResMsgDlg::OnCancel() { OnBnClickedCancel(); }
