// CSysSettingDlg: the system settings window of the settings menu. A tab
// control whose pages are the patrol plans, the serial PTZ keyboard, the
// audio broadcast and the forwarding server; the pages are created with the
// window and live as long.
#pragma once

#include <functional>

#include "platform/dialog.h"

class QTabWidget;
class CConfigPatrol;
class CKbConfig;
class CDlgBroadcast;
class CPTZKeyboardCtrl;
class CForwardDlg;

class CSysSettingDlg : public CDialog {
 public:
  enum { IDD = 334 };
  // Tab texts: "Patrol", "Enable Joystick", "Broadcast Audio", "Forward Service Setting".
  enum { kPatrolTabText = 309, kKeyboardTabText = 262, kBroadcastTabText = 1083, kForwardTabText = 1059 };

  // `keyboard` gives the keyboard page the main window's serial keyboard (or null).
  explicit CSysSettingDlg(std::function<CPTZKeyboardCtrl*()> keyboard, QWidget* parent = nullptr);
  ~CSysSettingDlg() override;

  BOOL OnInitDialog() override;

  // The broadcast page fills its two device trees again (the device list may
  // have changed since the window was last shown).
  void RebuildBroadcastTrees();

  CConfigPatrol* PatrolPage() const { return m_pPatrolPage; }
  CKbConfig* KeyboardPage() const { return m_pKbPage; }
  CDlgBroadcast* BroadcastPage() const { return m_pBroadcastPage; }
  // The forwarding server's page: made in any case, a tab only after a local login.
  CForwardDlg* ForwardPage() const { return m_pForwardPage; }

 private:
  std::function<CPTZKeyboardCtrl*()> m_keyboard;
  QTabWidget* m_pTab = nullptr;
  CConfigPatrol* m_pPatrolPage = nullptr;
  CKbConfig* m_pKbPage = nullptr;
  CDlgBroadcast* m_pBroadcastPage = nullptr;
  CForwardDlg* m_pForwardPage = nullptr;
};
