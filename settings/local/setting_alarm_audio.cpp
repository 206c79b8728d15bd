#include "settings/local/setting_alarm_audio.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "core/app_data.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "platform/codepage.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "settings/local/local_settings_host.h"

namespace {
constexpr int kFigureLimit = 3;  // seconds, three digits
}  // namespace

CSettingAlarmAudio::CSettingAlarmAudio(QWidget* parent)
    : CConfigPanel(IDD, parent), m_send(SendTimeSyncThroughGimbro) {}

BOOL CSettingAlarmAudio::OnInitDialog() {
  CDialog::OnInitDialog();
  const std::pair<int, UINT> texts[] = {
      {IDC_RING_ALWAYS, 278},   {IDC_RING_LINKED, 279}, {IDC_FILTER_OFFLINE, 1425}, {IDC_TIME_FRAME, 1438},
      {IDC_SYNC, 1441},         {IDC_INTERVAL_LABEL, 1440}, {IDC_DIFF_LABEL, 1439}, {IDC_INTERVAL_UNIT, 749},
      {IDC_DIFF_UNIT, 749},     {IDC_OK, 850}};
  for (const auto& [id, text] : texts) SetWindowTextW(GetDlgItem(id), LoadStringW(text));
  SetChecked(g_bAlarmAudio != 0 ? IDC_RING_ALWAYS : IDC_RING_LINKED, true);
  SetChecked(IDC_FILTER_OFFLINE, g_bFilterAlarm != 0);
  for (const auto& [id, value] : {std::pair{IDC_INTERVAL, g_SyncTime.interval}, std::pair{IDC_DIFF, g_SyncTime.diff}}) {
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id))) {
      edit->setMaxLength(kFigureLimit);
      edit->setText(QString::number(value));
    }
  }
  SetChecked(IDC_SYNC, g_SyncTime.enable != 0);
  EnableFigures(g_SyncTime.enable != 0);
  const std::pair<int, void (CSettingAlarmAudio::*)()> handlers[] = {
      {IDC_RING_ALWAYS, &CSettingAlarmAudio::OnBnClickedRingAlways},
      {IDC_RING_LINKED, &CSettingAlarmAudio::OnBnClickedRingLinked},
      {IDC_FILTER_OFFLINE, &CSettingAlarmAudio::OnBnClickedFilterOffline},
      {IDC_SYNC, &CSettingAlarmAudio::OnBnClickedSync},
      {IDC_OK, &CSettingAlarmAudio::OnBnClickedOk},
  };
  for (const auto& [id, handler] : handlers) OnClicked(id, [this, h = handler] { (this->*h)(); });
  return TRUE;
}

bool CSettingAlarmAudio::Checked(int id) const {
  auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id));
  return button != nullptr && button->isChecked();
}

void CSettingAlarmAudio::SetChecked(int id, bool checked) {
  if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id))) button->setChecked(checked);
}

void CSettingAlarmAudio::EnableFigures(bool enabled) {
  for (int id : {IDC_INTERVAL, IDC_DIFF}) {
    if (QWidget* edit = GetDlgItem(id)) edit->setEnabled(enabled);
  }
}

void CSettingAlarmAudio::OnBnClickedRingAlways() {
  g_bAlarmAudio = Checked(IDC_RING_ALWAYS) ? 1 : 0;
  SetChecked(IDC_RING_LINKED, g_bAlarmAudio == 0);
}

void CSettingAlarmAudio::OnBnClickedRingLinked() {
  SetChecked(IDC_RING_ALWAYS, false);
  SetChecked(IDC_RING_LINKED, true);
  g_bAlarmAudio = 0;
}

void CSettingAlarmAudio::OnBnClickedFilterOffline() { g_bFilterAlarm = Checked(IDC_FILTER_OFFLINE) ? 1 : 0; }

void CSettingAlarmAudio::OnBnClickedSync() { EnableFigures(Checked(IDC_SYNC)); }

void CSettingAlarmAudio::OnBnClickedOk() {
  const std::string interval = codepage::FromQString(GetWindowTextW(GetDlgItem(IDC_INTERVAL)));
  const std::string diff = codepage::FromQString(GetWindowTextW(GetDlgItem(IDC_DIFF)));
  UINT refusal = 0;
  {
    CsLock lock(&g_csAppData);
    refusal = ApplyTimeSync(Checked(IDC_SYNC), interval, diff, g_lstDevInfo, m_send);
  }
  if (refusal != 0 && m_pHost != nullptr) m_pHost->ShowResMsg(LoadStringW(refusal).toStdWString(), 2);
}
