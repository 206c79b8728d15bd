// CAlarmListDlg: the alarm panel in the main window's left column, the one
// place where alarms enter: a local device's alarm (AddAlarm, from the main
// window's WM_DEVALARM) and a relay peer's (AddRemoteAlarm, from
// WM_RELAY_ALARM). For every alarm it takes (alarm_intake.h) it shows a row
// (the newest first, at most 16), queues the alarm log line (its worker
// writes the day files, alarm_log_queue.h), rings the sound of its class, and
// while the bell switch is on raises the linkage window with the device's
// video and makes the device blink. A local device's alarm is also reported to
// the relay peers.
//
// Sounds: each of the five sounds has a one-second timer (100 to 500). A sound
// starts at once and its timer plays its file again every second, in place of
// whatever plays, until ten ticks after its last start; then the sound stops.
#pragma once

#include "alarm_map_wall/alarm/alarm_host.h"
#include "alarm_map_wall/alarm/alarm_types.h"
#include "alarm_map_wall/alarm/log/alarm_log_queue.h"
#include "alarm_map_wall/alarm/sound/alarm_sound_player.h"
#include "platform/dialog.h"

class CAlmActDlg;
class CSortListCtrl;
struct DevInfo;
struct GimbroAlarmRecord;
struct RelayAlarmRecord;

class CAlarmListDlg : public CDialog {
 public:
  enum { IDD = 137, IDC_ALARM_LIST = 1060 };
  static constexpr int kMaxRows = 16;
  static constexpr int kSoundTicks = 10;

  explicit CAlarmListDlg(QWidget* parent = nullptr);
  ~CAlarmListDlg() override;  // stops the log worker (writing what is queued)

  // The linkage window raised by alarms, and the main window's hooks.
  void SetLinkageWindow(CAlmActDlg* linkage) { m_pAlmActDlg = linkage; }
  void SetHost(AlarmHost host) { m_host = std::move(host); }
  // Where the log worker writes, how often, and its clock (tests); before the
  // panel is created. Default: the program folder, every 10 s, the system clock.
  void SetLogOptions(AlarmLogQueue::Options options);

  BOOL OnInitDialog() override;
  void OnOK() override {}      // Enter and Escape never close the panel
  void OnCancel() override {}

  // A local device's alarm; nothing for a null device or record.
  void AddAlarm(DevInfo* pDevInfo, const GimbroAlarmRecord* pAlarm);
  // A relay peer's alarm: `key` is the relay device key "MAC:IP".
  void AddRemoteAlarm(const char* key, const RelayAlarmRecord* pAlarm);

  // The bell switch (the toolbar's "alarm action"): off at start. Toggle gives
  // the new value; the main window's close clears it.
  int ToggleSoundSwitch();
  int GetSoundSwitch() const { return m_bBellSwitch; }
  void SetAlarmLink(int bOn) { m_bBellSwitch = bOn ? 1 : 0; }

  // The main window's close: the log worker stops and what is queued is written.
  void StopLogWorker();

  void OnTimer(UINT_PTR id) override;

  CSortListCtrl* GetList() const { return m_pList; }
  AlarmLogQueue* LogQueue() const { return m_pLog.get(); }
  const AlarmSoundPlayer& Sounds() const { return m_sounds; }
  // The ticks of a sound timer (100 ... 500) so far.
  int SoundTicks(UINT timerId) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayoutList();
  void AddRow(const CString& name, const CString& text, const CString& time);
  void StartSound(int soundClass);
  void PlaySound(int slot);

  AlarmHost m_host;
  CAlmActDlg* m_pAlmActDlg = nullptr;
  CSortListCtrl* m_pList = nullptr;
  AlarmLogQueue::Options m_logOptions;
  std::unique_ptr<AlarmLogQueue> m_pLog;
  AlarmSoundPlayer m_sounds;
  CString m_strSoundFolder;
  int m_nSoundTicks[kAlarmSoundCount] = {};
  int m_bBellSwitch = 0;
  BOOL m_bInitialized = FALSE;
};
