// CSysSettingDlg: the local settings window of the main menu's "System
// Configuration". A tab control with eight pages in this order: storage,
// patrol, PTZ protocol, joystick, switch stream, time and alarm, broadcast,
// and forwarding, whose tab exists only after a local login (its page is made
// in any case). The pages are made hidden with the window, keep and apply
// their own settings, and live as long as the window; the window itself
// stores nothing. Enter and Escape close neither the window nor a page.
#pragma once

#include <functional>

#include "platform/dialog.h"

class QTabWidget;
class CConfigPatrol;
class CKbConfig;
class CDlgBroadcast;
class CPTZKeyboardCtrl;
class CForwardDlg;
class CLocalSettingsHost;
class CSettingSavePath;
class CSettingPtzProtocol;
class CSetSwitchStreamDlg;
class CSettingAlarmAudio;

class CSysSettingDlg : public CDialog {
 public:
  enum { IDD = 334 };
  enum { IDC_TAB = 1366, kCaptionText = 1050 };
  // The tabs, by index.
  enum { kTabStorage, kTabPatrol, kTabPtz, kTabJoystick, kTabSwitchStream, kTabAlarm, kTabBroadcast, kTabForward };

  // `keyboard` gives the keyboard page the main window's serial keyboard (or null).
  explicit CSysSettingDlg(std::function<CPTZKeyboardCtrl*()> keyboard, QWidget* parent = nullptr);
  ~CSysSettingDlg() override;

  // The main window, for the pages; set before Create.
  void SetHost(CLocalSettingsHost* host) { m_pHost = host; }

  BOOL OnInitDialog() override;
  // Makes the pages that do not exist yet.
  void CreatePages();
  // The tab control's selection changed: one more step for the storage and
  // broadcast tabs before their page shows.
  void OnTcnSelchangeTab(int index);

  // The broadcast page fills its two device trees again (the device list may
  // have changed since the window was last shown).
  void RebuildBroadcastTrees();

  QTabWidget* Tabs() const { return m_pTab; }
  CSettingSavePath* SavePathPage() const { return m_pSavePathPage; }
  CConfigPatrol* PatrolPage() const { return m_pPatrolPage; }
  CSettingPtzProtocol* PtzProtocolPage() const { return m_pPtzPage; }
  CKbConfig* KeyboardPage() const { return m_pKbPage; }
  CSetSwitchStreamDlg* SwitchStreamPage() const { return m_pSwitchStreamPage; }
  CSettingAlarmAudio* AlarmAudioPage() const { return m_pAlarmAudioPage; }
  CDlgBroadcast* BroadcastPage() const { return m_pBroadcastPage; }
  // The forwarding server's page: made in any case, a tab only after a local login.
  CForwardDlg* ForwardPage() const { return m_pForwardPage; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<CPTZKeyboardCtrl*()> m_keyboard;
  CLocalSettingsHost* m_pHost = nullptr;
  QTabWidget* m_pTab = nullptr;
  CSettingSavePath* m_pSavePathPage = nullptr;
  CConfigPatrol* m_pPatrolPage = nullptr;
  CSettingPtzProtocol* m_pPtzPage = nullptr;
  CKbConfig* m_pKbPage = nullptr;
  CSetSwitchStreamDlg* m_pSwitchStreamPage = nullptr;
  CForwardDlg* m_pForwardPage = nullptr;
  CDlgBroadcast* m_pBroadcastPage = nullptr;
  CSettingAlarmAudio* m_pAlarmAudioPage = nullptr;
};
