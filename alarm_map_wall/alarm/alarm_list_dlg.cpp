#include "alarm_map_wall/alarm/alarm_list_dlg.h"

#include <QListWidget>

#include "platform/codepage.h"

CAlarmListDlg::CAlarmListDlg(QWidget* parent) : CDialog(IDD, parent) {}

BOOL CAlarmListDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pList = qobject_cast<QListWidget*>(GetDlgItem(IDC_ALARM_LIST));
  OnClicked(IDC_CLOSE, [this] { OnBnClickedClose(); });
  return TRUE;
}

void CAlarmListDlg::AddAlarm(DevInfo* pDevInfo, const GimbroAlarmRecord* pAlarm) {
  if (!pDevInfo || !pAlarm) return;
  AlarmEntry entry = MakeAlarmEntry(*pDevInfo, *pAlarm);
  if (m_pList) {
    m_pList->insertItem(0, codepage::ToQString(entry.Time + "  " + entry.DevName + "  " +
                                               std::to_string(entry.nType)));
  }
  m_vecAlarms.push_back(std::move(entry));
  StartAlarmBlink(*pDevInfo);
  // The alarm's sound (AlarmLink VoiceFilePath while g_bAlarmAudio is 1) is
  // played once the alarm subsystem's sound output is built.
}

int CAlarmListDlg::ToggleSoundSwitch() {
  m_bSound = m_bSound ? 0 : 1;
  return m_bSound;
}

void CAlarmListDlg::OnBnClickedClose() { m_bAlarmLink = 0; }
