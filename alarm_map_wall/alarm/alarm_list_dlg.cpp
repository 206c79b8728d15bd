#include "alarm_map_wall/alarm/alarm_list_dlg.h"

#include <QResizeEvent>
#include <cstring>

#include "alarm_map_wall/alarm/alarm_intake.h"
#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/module_path.h"
#include "core/user_settings.h"
#include "gimbro/gimbro.h"
#include "platform/post_message.h"
#include "platform/string_table.h"
#include "relay/login/vss_info.h"
#include "ui/sort_list_ctrl.h"
#include "alarm_map_wall/alarm/alarm_list_columns.h"

CAlarmListDlg::CAlarmListDlg(QWidget* parent) : CDialog(IDD, parent) {}

CAlarmListDlg::~CAlarmListDlg() { StopLogWorker(); }

void CAlarmListDlg::SetLogOptions(AlarmLogQueue::Options options) { m_logOptions = std::move(options); }

BOOL CAlarmListDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pList = ReplaceDlgItem(IDC_ALARM_LIST, new CSortListCtrl(this));
  LayoutList();
  m_strSoundFolder = GetModuleDir();
  if (m_logOptions.programFolder.empty()) m_logOptions.programFolder = GetModuleDir();
  m_pLog = std::make_unique<AlarmLogQueue>(m_logOptions);
  m_pLog->Start();
  m_bInitialized = TRUE;
  return TRUE;
}

void CAlarmListDlg::StopLogWorker() {
  if (m_pLog) m_pLog->Stop();
}

void CAlarmListDlg::LayoutList() {
  if (m_pList == nullptr) return;
  m_pList->setGeometry(rect());
  LayoutAlarmColumns(m_pList, {LoadStringA(400), LoadStringA(401), LoadStringA(402)});
}

void CAlarmListDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  if (m_bInitialized) LayoutList();
}

void CAlarmListDlg::AddRow(const CString& name, const CString& text, const CString& time) {
  if (m_pList == nullptr) return;
  if (m_pList->GetItemCount() > kMaxRows - 1) m_pList->DeleteItem(m_pList->GetItemCount() - 1);
  m_pList->InsertItem(0, name);
  m_pList->SetItemText(0, 1, text);
  m_pList->SetItemText(0, 2, time);
  LayoutList();
}

void CAlarmListDlg::AddAlarm(DevInfo* pDevInfo, const GimbroAlarmRecord* pAlarm) {
  if (pDevInfo == nullptr || pAlarm == nullptr) return;
  const AlarmIntake alarm = TakeLocalAlarm(pDevInfo->DevType, *pAlarm, g_bFilterAlarm);
  if (!alarm.accepted) {
    WriteLog(6, "CAlarmListDlg::AddAlarm: alarm type %d of %s dropped", static_cast<int>(pAlarm->type),
             FixedText(pDevInfo->DevName).c_str());
    return;
  }
  const CString name = FixedText(pDevInfo->DevName);
  if (m_bBellSwitch) {
    DevInfo* listed = nullptr;
    for (DevInfo& dev : g_lstDevInfo) {
      if (name == dev.DevName) {
        listed = &dev;
        break;
      }
    }
    if (listed != nullptr) {
      if (m_pAlmActDlg != nullptr) {
        m_pAlmActDlg->AddAlarm(pDevInfo, alarm.text, alarm.timeText);
        PostMessage(m_pAlmActDlg->GetSafeHwnd(), CAlmActDlg::WM_ALARM_ACT_SHOW, 0, 0);
      }
      if (m_host.FocusMainWindow) m_host.FocusMainWindow();
      listed->bAlarmFlag = 1;
      listed->nAlarmBlinkCount = 0;
      StartSound(alarm.soundClass);
    }
  } else if (g_bAlarmAudio == 1) {
    StartSound(alarm.soundClass);
  }
  AddRow(name, alarm.text, alarm.timeText);
  if (m_pLog) m_pLog->Push({name, alarm.timeValue, alarm.record.type, alarm.text});
  const AlarmReport report = MakeAlarmReport(m_host.Mac(), *pDevInfo, alarm.record);
  Pelk_ReportAlarmInfo(report.key.c_str(), report.channel, &report.record);
}

void CAlarmListDlg::AddRemoteAlarm(const char* key, const RelayAlarmRecord* pAlarm) {
  if (key == nullptr || pAlarm == nullptr) return;
  char mac[PELK_KEY_PART_SIZE];
  char ip[PELK_KEY_PART_SIZE];
  SplitDeviceKey(key, mac, ip);
  if (mac[0] == '\0' || ip[0] == '\0') {
    WriteLog(3, "CAlarmListDlg::AddRemoteAlarm: the relay alarm's device key \"%s\" is not MAC:IP, dropped", key);
    return;
  }
  const AlarmIntake alarm = TakeRemoteAlarm(AlarmRecordOf(*pAlarm), g_bFilterAlarm);
  RelayDevice* device = alarm.accepted ? FindRelayDevice(mac, ip) : nullptr;
  if (device == nullptr) {
    WriteLog(6, "CAlarmListDlg::AddRemoteAlarm: alarm type %d of %s dropped%s", static_cast<int>(pAlarm->nType), key,
             alarm.accepted ? ": no logged-in relay server lists the device" : "");
    return;
  }
  AddRow(key, alarm.text, alarm.timeText);
  if (m_pLog) m_pLog->Push({RelayAlarmLogName(mac, ip), alarm.timeValue, alarm.record.type, alarm.text});
  if (g_bAlarmAudio == 1) StartSound(alarm.soundClass);
  if (m_bBellSwitch) {
    device->bAlarmFlag = 1;
    device->nAlarmBlinkCount = 0;
    StartSound(alarm.soundClass);
  }
}

int CAlarmListDlg::ToggleSoundSwitch() {
  m_bBellSwitch = m_bBellSwitch ? 0 : 1;
  return m_bBellSwitch;
}

int CAlarmListDlg::SoundTicks(UINT timerId) const {
  const int slot = AlarmSoundSlot(timerId);
  return slot < 0 ? 0 : m_nSoundTicks[slot];
}

// The class's timer restarts its period; a sound that is not ringing yet
// plays at once, as its first tick, so that an alarm is heard when it comes.
void CAlarmListDlg::StartSound(int soundClass) {
  const UINT timer = AlarmSoundTimer(soundClass);
  if (timer == 0) return;
  SetTimer(timer, 1000);
  const int slot = AlarmSoundSlot(timer);
  if (m_nSoundTicks[slot] == 0) {
    PlaySound(slot);
    ++m_nSoundTicks[slot];
  }
}

void CAlarmListDlg::PlaySound(int slot) { m_sounds.PlayLooping(m_strSoundFolder + AlarmSoundFile(slot)); }

void CAlarmListDlg::OnTimer(UINT_PTR id) {
  const int slot = AlarmSoundSlot(static_cast<UINT>(id));
  if (slot >= 0) {
    if (m_nSoundTicks[slot] >= kSoundTicks) {
      KillTimer(id);
      m_sounds.Stop();
      m_nSoundTicks[slot] = 0;
    } else {
      PlaySound(slot);
      ++m_nSoundTicks[slot];
    }
  }
  CDialog::OnTimer(id);
}
