// CAlmActDlg: the "Alarm Action" window (top-level), raised by the alarm panel
// while its bell switch is on: the alarms that raised it (the newest first, at
// most 20, red until their video is shown) beside one video pane in alarm
// mode (index 37) that plays the alarmed channel, with talk and sound buttons.
// A double click on a row plays that row's device; a double click on the pane
// switches the window to full screen and back. Closing it ends its talk, sound
// and video and hides it; its rows stay.
#pragma once

#include <memory>

#include "alarm_map_wall/alarm/alarm_host.h"
#include "platform/dialog.h"

class CResMsgDlg;
class CSortListCtrl;
class CVideoWnd;
struct DevInfo;

class CAlmActDlg : public CDialog {
 public:
  enum { IDD = 231, IDC_ALARM_LIST = 1304, IDC_TALK = 1021, IDC_SOUND = 1307 };
  // Posted by the alarm panel: the window comes to the top (not while the main
  // window is minimised).
  static constexpr UINT WM_ALARM_ACT_SHOW = WM_USER + 5600;
  static constexpr int kMaxRows = 20;
  static constexpr int kPaneIndex = 37;

  explicit CAlmActDlg(QWidget* parent = nullptr);
  ~CAlmActDlg() override;

  void SetHost(AlarmHost host) { m_host = std::move(host); }

  BOOL OnInitDialog() override;
  void OnOK() override {}      // Enter and Escape are swallowed
  void OnCancel() override {}

  // An alarm of the panel: a red row at the top; an idle pane plays the device
  // (the row turns black).
  void AddAlarm(DevInfo* dev, const CString& text, const CString& time);
  // A double click on a row.
  void OnDblclkAlarmList(int row);
  void OnBnClickedTalk();
  void OnBnClickedSound();
  // A talk report of the main window for the device of this key (the pane's
  // SpeakKey): true when the pane shows it and took the value.
  bool SetSpeakStatus(const CString& devKey, long value);
  void ToggleFullScreen();
  BOOL IsFullScreen() const { return m_bFullScreen; }
  // Ends the talk, sound and video and hides the window.
  void OnClose();

  // 1 while the pane talks.
  bool IsTalking() const;
  CVideoWnd* Pane() const { return m_pVideoWnd.get(); }
  CSortListCtrl* GetList() const { return m_pList; }
  CResMsgDlg* MsgDlg() const { return m_pMsgDlg.get(); }

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowRow(int row);  // the row's video shows: its text turns black
  void OpenInPane(DevInfo* dev);
  void UpdateSoundButtons();
  void UpdateTalkButtons();
  void SetButton(int id, UINT stringId, bool enabled);
  void Notice(UINT stringId);

  AlarmHost m_host;
  std::unique_ptr<CResMsgDlg> m_pMsgDlg;
  std::unique_ptr<CVideoWnd> m_pVideoWnd;
  CSortListCtrl* m_pList = nullptr;
  BOOL m_bFullScreen = FALSE;
  QRect m_rcSavedWindow;
  QRect m_rcSavedPane;
};
