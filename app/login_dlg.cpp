#include "app/login_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/message_placement.h"
#include "core/client_log.h"
#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "core/process_query.h"
#include "core/start_thread.h"
#include "core/startup_settings.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "ui/image_button.h"
#include "ui/transparent_static.h"

namespace {

constexpr int kCloudPort = 80;
constexpr UINT kButtonPicture = 131;
constexpr size_t kCloudAddrMax = sizeof g_szCloudSvrAddr - 1;

// The background picture of the language in use (lock mode has its own).
const char* BackgroundPicture(bool lock) {
  if (lock) return "%s\\Images\\LoginOut.jpg";
  switch (g_nLanguage) {
    case 1: return "%s\\Images\\Login_en.jpg";
    case 2: return "%s\\Images\\Login_tc.jpg";
    case 3: return "%s\\Images\\Login_rus.jpg";
    case 5: return "%s\\Images\\Login_tk.jpg";
    default: return "%s\\Images\\Login_ch.jpg";
  }
}

}  // namespace

CLoginDlg::CLoginDlg(QWidget* parent, BOOL bLock, BOOL bUnlock)
    : CDialog(IDD, parent), m_bLock(bLock), m_bUnlock(bUnlock) {}

CLoginDlg::~CLoginDlg() { delete m_pMsgDlg; }

CString CLoginDlg::Text(int id) const { return codepage::FromQString(GetWindowTextW(GetDlgItem(id))); }

bool CLoginDlg::Checked(int id) const {
  const auto* box = qobject_cast<QCheckBox*>(GetDlgItem(id));
  return box != nullptr && box->isChecked();
}

void CLoginDlg::SetChecked(int id, bool checked) {
  if (auto* box = qobject_cast<QCheckBox*>(GetDlgItem(id))) box->setChecked(checked);
}

void CLoginDlg::ShowMessage(int stringId) { ShowText(LoadStringW(stringId)); }

void CLoginDlg::ShowText(const QString& text) {
  m_pMsgDlg->ShowMsg(text.toStdWString(), 2);
  // The box opens in the middle of the screen, over this dialog's fields: it
  // goes beside the dialog instead, so the input stays in view.
  QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect frame = m_pMsgDlg->frameGeometry();
  const QPoint corner = PlaceBesideWindow(frame.size(), frameGeometry(), screen->availableGeometry());
  m_pMsgDlg->move(m_pMsgDlg->pos() + (corner - frame.topLeft()));
}

BOOL CLoginDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
  m_pMsgDlg = new CResMsgDlg(this);
  m_pMsgDlg->Create(CResMsgDlg::IDD, this);

  for (int id : {IDC_USER_LABEL, IDC_PASSWORD_LABEL, IDC_SVR_ADDR_LABEL, IDC_SVR_PORT_LABEL}) {
    ReplaceDlgItem(id, new CTransparentStatic(this));
  }
  m_btnLogin = ReplaceDlgItem(IDC_LOGIN, new CImageButton(this));
  m_btnCancel = ReplaceDlgItem(IDC_CANCEL, new CImageButton(this));
  SetWindowTextW(GetDlgItem(IDC_USER_LABEL), LoadStringW(217));
  SetWindowTextW(GetDlgItem(IDC_PASSWORD_LABEL), LoadStringW(218));
  SetWindowTextW(GetDlgItem(IDC_CLOUD), LoadStringW(1434));
  m_btnCancel->SetImageResource(kButtonPicture, "PNG");
  m_btnCancel->SetCaptionW(LoadStringW(222).toStdWString());
  m_btnLogin->SetImageResource(kButtonPicture, "PNG");
  auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_USER));
  combo->setEditable(true);
  combo->setEnabled(true);

  OnClicked(IDC_LOGIN, [this] { OnBnClickedLogin(); });
  OnClicked(IDC_CANCEL, [this] { OnBnClickedCancel(); });
  OnClicked(IDC_SAVE_PASSWORD, [this] { OnBnClickedSavePassword(); });
  OnClicked(IDC_AUTO_LOGIN, [this] { OnBnClickedAutoLogin(); });
  OnClicked(IDC_CLOUD, [this] { OnBnClickedCloud(); });
  OnClicked(IDC_SELECT_SERVER, [this] { OnBnClickedSelectServer(); });
  QObject::connect(combo, &QComboBox::activated, this, [this] { OnCbnSelchangeUser(); });

  if (m_bLock) {
    combo->setEditText(codepage::ToQString(g_szCurUser));
    combo->setEnabled(false);
    m_btnLogin->SetCaptionW(LoadStringW(m_bUnlock ? 291 : 271).toStdWString());
    // The server choice has no use when only the password is asked: hidden too.
    for (int id : {IDC_AUTO_LOGIN, IDC_SAVE_PASSWORD, IDC_CLOUD, IDC_CLOUD_ADDR_LABEL, IDC_CLOUD_ADDR,
                   IDC_SELECT_SERVER}) {
      GetDlgItem(id)->hide();
    }
    return TRUE;
  }
  m_btnLogin->SetCaptionW(LoadStringW(221).toStdWString());
  SetChecked(IDC_CLOUD, g_nLoginType == 1);
  GetDlgItem(IDC_CLOUD_ADDR)->setEnabled(g_nLoginType == 1);
  SetWindowTextW(GetDlgItem(IDC_AUTO_LOGIN), LoadStringW(219));
  SetWindowTextW(GetDlgItem(IDC_SAVE_PASSWORD), LoadStringW(220));
  SetWindowTextW(GetDlgItem(IDC_CLOUD_ADDR_LABEL), LoadStringW(578));
  SetWindowTextW(GetDlgItem(IDC_SELECT_SERVER), LoadStringW(230));
  SetWindowTextW(GetDlgItem(IDC_SVR_ADDR_LABEL), LoadStringW(231));
  SetWindowTextW(GetDlgItem(IDC_SVR_PORT_LABEL), LoadStringW(232));
  InitUserCombo();

  for (const LoginInfo& login : g_lstLoginInfo) {
    if (login.LastUsingFlg != 1) continue;
    combo->setEditText(codepage::ToQString(login.UserName));
    if (login.SaveFlg == 1) {
      SetWindowTextW(GetDlgItem(IDC_PASSWORD), codepage::ToQString(login.Password));
      SetChecked(IDC_SAVE_PASSWORD, true);
      SetChecked(IDC_SELECT_SERVER, login.LoginSvrFlg != 0);
      SetWindowTextW(GetDlgItem(IDC_CLOUD_ADDR), codepage::ToQString(login.SvrIp));
      SetWindowTextW(GetDlgItem(IDC_SVR_PORT), codepage::ToQString(login.SvrPort));
      OnBnClickedSelectServer();
    } else if (g_bCmdAutoLogin) {
      SetWindowTextW(GetDlgItem(IDC_PASSWORD), codepage::ToQString(login.Password));
    }
    break;
  }
  if (g_bAutoLogin || g_bCmdAutoLogin) {
    if (g_bAutoLogin) SetChecked(IDC_AUTO_LOGIN, true);
    OnBnClickedLogin();
  }
  return TRUE;
}

void CLoginDlg::InitUserCombo() {
  auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_USER));
  for (const LoginInfo& login : g_lstLoginInfo) combo->addItem(codepage::ToQString(login.UserName));
}

void CLoginDlg::RememberLogin(const CString& name, const CString& password) {
  SaveLoginInfo({name, password, Text(IDC_CLOUD_ADDR), Text(IDC_SVR_PORT), Checked(IDC_SAVE_PASSWORD),
                 Checked(IDC_AUTO_LOGIN), Checked(IDC_SELECT_SERVER)});
}

void CLoginDlg::OnBnClickedLogin() {
  const std::string name = TrimBlanks(Text(IDC_USER));
  const std::string password = TrimBlanks(Text(IDC_PASSWORD));
  const std::string digest = AttemptDigest(name, password, m_bLock);

  if (m_bLock) {
    const int result = CheckLockPassword(name, digest);
    if (result == kMsgLoginOk) {
      EndDialog(IDOK);
    } else {
      ShowMessage(result);
    }
    return;
  }
  if (const int result = CheckLoginInput(name, password); result != kMsgLoginOk) {
    ShowMessage(result);
    return;
  }
  if (g_nLoginType == 1) {
    LoginCloud(name, password);
    return;
  }
  if (g_bUseLoginSvr && !ResolveLoginServer()) return;
  if (const int result = CheckLocalLogin(name, digest); result != kMsgLoginOk) {
    ShowMessage(result);
    return;
  }
  RememberLogin(name, password);
  SetCurrentUser(name, digest, false);
  EndDialog(IDOK);
}

bool CLoginDlg::ResolveLoginServer() {
  const std::string address = TrimBlanks(Text(IDC_SVR_ADDR));
  const std::string port = TrimBlanks(Text(IDC_SVR_PORT));
  if (const int result = CheckServerInput(address, port); result != kMsgLoginOk) {
    ShowMessage(result);
    return false;
  }
  g_nLoginSvrPort = std::atoi(port.c_str());
  WriteLog(6, "begin get login host by name, input address=%s", address.c_str());
  if (const int error = ResolveLoginServerAddress(address); error != 0) {
    ShowText(QString(QStringLiteral("%1=%2")).arg(LoadStringW(236)).arg(error));
    return false;
  }
  WriteLog(6, "get host by name success, svrIP=%s", g_szLoginSvrIp);
  WriteLog(6, "begin get login host by name end");
  return true;
}

void CLoginDlg::LoginCloud(const CString& name, const CString& password) {
  std::string address = Text(IDC_CLOUD_ADDR);
  if (address.empty()) {
    GetDlgItem(IDC_CLOUD_ADDR)->setFocus();
    return;
  }
  address.resize(GbkPrefixLength(address.c_str(), address.size(), kCloudAddrMax));
  CopyFixedText(g_szCloudSvrAddr, address.c_str());
  const std::string digest = CloudDigest(password);
  int cloudResult = 0;
  const int result = RunCloudLogin(address, kCloudPort, name, digest, &cloudResult);
  if (result == kMsgLoginFailed) {
    QString text = LoadStringW(kMsgLoginFailed);
    if (g_nLanguage == 0 && cloudResult != 0) text += QStringLiteral(",错误代码%1").arg(cloudResult);
    ShowText(text);
    return;
  }
  if (result != kMsgLoginOk) {
    ShowMessage(result);
    return;
  }
  // The account's login server is the cloud server: the UDP login goes there.
  if (const int error = ResolveLoginServerAddress(address); error != 0) {
    WriteLog(3, "CLoginDlg::LoginCloud(): cannot resolve the cloud server %s, error=%d", address.c_str(), error);
  }
  RememberLogin(name, password);
  SetCurrentUser(name, digest, true);
  EndDialog(IDOK);
}

void CLoginDlg::OnBnClickedCancel() {
  KillProcessByName(WatchProgramPath().c_str());
  EndDialog(IDCANCEL);
}

void CLoginDlg::OnCbnSelchangeUser() {
  auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_USER));
  const LoginInfo* saved = FindSavedLogin(codepage::FromQString(combo->currentText()));
  const bool withPassword = saved != nullptr && saved->SaveFlg == 1;
  SetWindowTextW(GetDlgItem(IDC_PASSWORD), withPassword ? codepage::ToQString(saved->Password) : QString());
  SetChecked(IDC_SAVE_PASSWORD, withPassword);
}

void CLoginDlg::OnBnClickedSavePassword() {
  if (!Checked(IDC_SAVE_PASSWORD)) SetChecked(IDC_AUTO_LOGIN, false);
}

void CLoginDlg::OnBnClickedAutoLogin() {
  if (Checked(IDC_AUTO_LOGIN)) SetChecked(IDC_SAVE_PASSWORD, true);
}

void CLoginDlg::OnBnClickedCloud() {
  g_nLoginType = Checked(IDC_CLOUD) ? 1 : 0;
  GetDlgItem(IDC_CLOUD_ADDR)->setEnabled(g_nLoginType == 1);
}

void CLoginDlg::OnBnClickedSelectServer() {
  const bool on = Checked(IDC_SELECT_SERVER);
  for (int id : {IDC_SVR_ADDR_LABEL, IDC_SVR_ADDR, IDC_SVR_PORT_LABEL, IDC_SVR_PORT}) GetDlgItem(id)->setVisible(on);
  g_bUseLoginSvr = on ? 1 : 0;
}

void CLoginDlg::paintEvent(QPaintEvent* event) {
  CDialog::paintEvent(event);
  QPainter painter(this);
  char path[1024];
  std::snprintf(path, sizeof path, BackgroundPicture(m_bLock), paths::ProgramFolder().c_str());
  m_skin.DrawImageFile(path, GetClientRect(), &painter);
}

void CLoginDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;  // no window shapes there
  QPainterPath outline;
  outline.addRoundedRect(QRectF(rect()), 4.5, 4.5);  // the 9 x 9 corner ellipse
  setMask(QRegion(outline.toFillPolygon().toPolygon()));
}
