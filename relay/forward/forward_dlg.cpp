#include "relay/forward/forward_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/res_msg_dlg.h"
#include "core/user_settings.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"

namespace {

enum : UINT {
  IDS_MODIFY = 565,
  IDS_SWITCH = 1060,       // "Run The Video Switch Server"
  IDS_LOCAL_IP = 1061,
  IDS_LOCAL_PORT = 1062,
  IDS_CHANNEL_COUNT = 1063,  // "Number of forwarded video"
  IDS_USER_COUNT = 1064,
  IDS_OK = 1065,
};

constexpr int kMessageOk = 2;  // the message box with OK only

std::string Ansi(const QString& text) { return std::string(codepage::FromQString(text)); }

}  // namespace

CForwardDlg::CForwardDlg(QWidget* parent) : CDialog(IDD, parent) {}

CForwardDlg::~CForwardDlg() = default;

BOOL CForwardDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const std::pair<int, UINT> texts[] = {
      {IDC_SWITCH_LABEL, IDS_SWITCH},        {IDC_IP_LABEL, IDS_LOCAL_IP},
      {IDC_PORT_LABEL, IDS_LOCAL_PORT},      {IDC_CHANNEL_COUNT_LABEL, IDS_CHANNEL_COUNT},
      {IDC_USER_COUNT_LABEL, IDS_USER_COUNT}, {IDC_OK, IDS_OK},
      {IDC_MODIFY, IDS_MODIFY},
  };
  for (const auto& [id, text] : texts) SetWindowTextW(GetDlgItem(id), LoadStringW(text));
  const std::pair<int, int> limits[] = {{IDC_PORT, 5}, {IDC_USER_COUNT, 3}, {IDC_CHANNEL_COUNT, 3}};
  for (const auto& [id, length] : limits) {
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id))) edit->setMaxLength(length);
  }
  // The machine's addresses; the first is the default.
  ForwardPageValues& v = m_server.Values();
  if (auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_IP))) {
    for (const std::string& address : LocalAddresses()) combo->addItem(QString::fromStdString(address));
    if (combo->count() > 0) {
      combo->setCurrentIndex(0);
      v.m_strIPAddr = Ansi(combo->itemText(0));
    }
  }
  ShowValues();
  if (QWidget* modify = GetDlgItem(IDC_MODIFY)) modify->setEnabled(false);
  for (int id : {IDC_CHANNEL_COUNT, IDC_USER_COUNT}) {
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id)))
      QObject::connect(edit, &QLineEdit::textChanged, this, [this, id] { OnCountEdited(id); });
  }
  OnClicked(IDC_OK, [this] { OnBnClickedOk(); });
  OnClicked(IDC_MODIFY, [this] { OnBnClickedModify(); });
  m_pMsgDlg = new CResMsgDlg(this);
  if (g_nLoginType == 0) SetTimer(TIMER_RESTORE, kRestoreDelayMs);
  return TRUE;
}

void CForwardDlg::OnTimer(UINT_PTR id) {
  if (id != TIMER_RESTORE) return;
  KillTimer(TIMER_RESTORE);
  std::vector<std::string> addresses;
  auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_IP));
  if (combo != nullptr) {
    for (int i = 0; i < combo->count(); ++i) addresses.push_back(Ansi(combo->itemText(i)));
  }
  const int found = m_server.Restore(addresses);
  if (found < 0) return;
  if (combo != nullptr) combo->setCurrentIndex(found);
  ShowValues();
}

void CForwardDlg::ReadControls() {
  ForwardPageValues& v = m_server.Values();
  v.m_strPort = Ansi(GetWindowTextW(GetDlgItem(IDC_PORT)));
  v.m_strUserCount = Ansi(GetWindowTextW(GetDlgItem(IDC_USER_COUNT)));
  v.m_strChannelCount = Ansi(GetWindowTextW(GetDlgItem(IDC_CHANNEL_COUNT)));
  if (auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_IP))) v.m_strIPAddr = Ansi(combo->currentText());
  if (auto* check = qobject_cast<QCheckBox*>(GetDlgItem(IDC_ENABLE))) v.m_bEnable = check->isChecked() ? 1 : 0;
}

void CForwardDlg::ShowValues() {
  const ForwardPageValues& v = m_server.Values();
  SetWindowTextW(GetDlgItem(IDC_PORT), codepage::ToQString(v.m_strPort.c_str()));
  SetWindowTextW(GetDlgItem(IDC_USER_COUNT), codepage::ToQString(v.m_strUserCount.c_str()));
  SetWindowTextW(GetDlgItem(IDC_CHANNEL_COUNT), codepage::ToQString(v.m_strChannelCount.c_str()));
  if (auto* check = qobject_cast<QCheckBox*>(GetDlgItem(IDC_ENABLE))) check->setChecked(v.m_bEnable != 0);
}

void CForwardDlg::OnCountEdited(int id) {
  ForwardPageValues& v = m_server.Values();
  std::string& value = id == IDC_CHANNEL_COUNT ? v.m_strChannelCount : v.m_strUserCount;
  if (!CForwardServer::TakeEditedCount(value, Ansi(GetWindowTextW(GetDlgItem(id))))) return;
  if (QWidget* modify = GetDlgItem(IDC_MODIFY)) modify->setEnabled(true);
}

void CForwardDlg::Show(const ForwardStepResult& step) {
  if (step.disableModify) {
    if (QWidget* modify = GetDlgItem(IDC_MODIFY)) modify->setEnabled(false);
  }
  if (step.message != 0 && m_pMsgDlg != nullptr) m_pMsgDlg->ShowMsg(LoadStringW(step.message).toStdWString(), kMessageOk);
}

void CForwardDlg::OnBnClickedOk() {
  ReadControls();
  const ForwardStepResult step = m_server.Apply();
  // A start that was refused (or a stop) leaves the switch as the server is.
  if (auto* check = qobject_cast<QCheckBox*>(GetDlgItem(IDC_ENABLE)))
    check->setChecked(m_server.Values().m_bEnable != 0);
  Show(step);
}

void CForwardDlg::OnBnClickedModify() {
  ReadControls();
  Show(m_server.Modify());
}
