// CSettingAlarmAudio: the "Time/Alarm Set" tab of the local settings. When
// alarms ring, whether device offline and online alarms are dropped (both at
// the click), and the clock synchronisation of the devices (on OK).
#pragma once

#include "settings/config_panel.h"
#include "settings/local/time_sync_settings.h"

class CLocalSettingsHost;

class CSettingAlarmAudio : public CConfigPanel {
 public:
  enum { IDD = 339 };
  enum {
    IDC_RING_ALWAYS = 1368, IDC_RING_LINKED = 1369, IDC_FILTER_OFFLINE = 1383, IDC_TIME_FRAME = 1404,
    IDC_SYNC = 1399, IDC_INTERVAL_LABEL = 1400, IDC_DIFF_LABEL = 1401, IDC_INTERVAL = 1049, IDC_DIFF = 1048,
    IDC_INTERVAL_UNIT = 1402, IDC_DIFF_UNIT = 1403, IDC_OK = 1000,
  };

  explicit CSettingAlarmAudio(QWidget* parent = nullptr);

  void SetHost(CLocalSettingsHost* host) { m_pHost = host; }
  // How a device record is sent its synchronisation; by default through its
  // device-messaging control.
  void SetSyncSender(SyncSender send) { m_send = std::move(send); }

  BOOL OnInitDialog() override;
  void OnBnClickedRingAlways();
  void OnBnClickedRingLinked();
  void OnBnClickedFilterOffline();
  void OnBnClickedSync();
  void OnBnClickedOk();

 private:
  bool Checked(int id) const;
  void SetChecked(int id, bool checked);
  void EnableFigures(bool enabled);

  CLocalSettingsHost* m_pHost = nullptr;
  SyncSender m_send;
};
