// CAlarmListDlg: the alarm panel in the main window's left column. It lists
// the alarms of local devices and starts their blinking. Alarm sounds and
// alarm linkage come with the alarm subsystem: the panel keeps their switches.
#pragma once

#include <atomic>
#include <vector>

#include "alarm_map_wall/alarm/alarm_entry.h"
#include "platform/dialog.h"

class QListWidget;

class CAlarmListDlg : public CDialog {
 public:
  enum { IDD = 137 };
  enum { IDC_ALARM_LIST = 1401, IDC_CLOSE = 1402 };

  explicit CAlarmListDlg(QWidget* parent = nullptr);

  BOOL OnInitDialog() override;

  // Lists the alarm and starts the device's blinking (flag 1, counter 0).
  // Nothing for a null device or alarm.
  void AddAlarm(DevInfo* pDevInfo, const GimbroAlarmRecord* pAlarm);
  const std::vector<AlarmEntry>& GetAlarms() const { return m_vecAlarms; }

  // Inverts the sound switch and returns the new value (1 on, 0 off).
  int ToggleSoundSwitch();
  int GetSoundSwitch() const { return m_bSound; }

  // The alarm-linkage switch; the close button clears it.
  void SetAlarmLink(int bOn) { m_bAlarmLink = bOn; }
  int GetAlarmLink() const { return m_bAlarmLink; }
  void OnBnClickedClose();

  // Stop flag, set by the main window's close handler.
  std::atomic<int> m_bStop{0};

 private:
  QListWidget* m_pList = nullptr;
  std::vector<AlarmEntry> m_vecAlarms;
  int m_bSound = 1;
  int m_bAlarmLink = 1;
};
