// CSearchRecDlg: the record search module window (a hidden child of the main
// window in the page rectangle). It keeps the state the main window and the
// playback toolbar set; record search and playback come with the recording
// subsystem.
#pragma once

#include "platform/dialog.h"

struct DevInfo;
struct RelayDevice;

class CSearchRecDlg : public CDialog {
 public:
  enum { IDD = 149 };

  explicit CSearchRecDlg(QWidget* parent = nullptr);

  // Stops every replay; nothing plays yet.
  void StopAllReplay();
  // 1 while the window is on an extension monitor, else 0.
  void SetExtScreen(int bExtScreen) { m_bExtScreen = bExtScreen; }
  int IsExtScreen() const { return m_bExtScreen; }
  // Rebuilds the playback toolbar's channel rows.
  void RedrawTimeBar();
  // Selects a local device for record search; FALSE for no device.
  BOOL SetSearchDevInfo(DevInfo* pDevInfo);
  DevInfo* GetSearchDevInfo() const { return m_pSearchDev; }
  // Picks a relay device for a search by date; FALSE for no device.
  BOOL SearchVssRecByDate(RelayDevice* pRelayDevice);
  RelayDevice* GetSearchVssDevice() const { return m_pSearchVssDev; }

  // Playback area: full screen on/off; fill-window mode; search panel shown
  // or hidden; mouse mode (0 pointer, 1 zoom in, 2 zoom out, 3 move).
  void OnFullScreen();
  BOOL IsFullScreen() const { return m_bFullScreen; }
  void SetFillScreen(int bFill) { m_bFillScreen = bFill; }
  int GetFillScreen() const { return m_bFillScreen; }
  void OnHideShow();
  BOOL IsSearchPanelShown() const { return m_bSearchPanelShown; }
  void SetMouseMode(int nMode) { m_nMouseMode = nMode; }
  int GetMouseMode() const { return m_nMouseMode; }
  // Number of playback panes (1, 2 or 4; other values are ignored); the
  // current pane stays inside the new count.
  void SetWindowCount(int nCount);
  int GetWindowCount() const { return m_nWindowCount; }
  int GetCurWnd() const { return m_nCurWnd; }

  // Record file list, record days and file transfer events from the device
  // messaging sink. Their heap texts belong to the message and are freed
  // after this returns.
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  int m_nScreenNo = 0;  // monitor the window is on; 0 in the main window

 private:
  int m_bExtScreen = 0;
  DevInfo* m_pSearchDev = nullptr;
  RelayDevice* m_pSearchVssDev = nullptr;
  BOOL m_bFullScreen = FALSE;
  int m_bFillScreen = 0;
  BOOL m_bSearchPanelShown = TRUE;
  int m_nMouseMode = 0;
  int m_nWindowCount = 4;
  int m_nCurWnd = 0;
};
