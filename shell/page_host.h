// What the navigation bar asks of the main window: the module switches, where
// the movable module windows are, the extension monitors, the main window's
// message box, its device list panel and the scrolling caption.
#pragma once

#include "platform/win_types.h"

class CDeviceListDlg;

class CPageHost {
 public:
  virtual ~CPageHost() = default;

  // Module switches (each does nothing when its module is already current).
  virtual void ShowVideoModule() = 0;
  virtual void ShowRecordModule() = 0;
  virtual void ShowAlarmModule() = 0;
  virtual void ShowConfigModule() = 0;
  virtual void ShowTVWallModule() = 0;
  virtual void ShowMapModule() = 0;

  // The monitor a module window (code 1 to 5) is on: 0 in the main window,
  // else the extension monitor's number 1, 2, 3.
  virtual int GetModuleMonitor(int module) = 0;
  // The number of extension monitors, and the multi-screen option g_bMultiScreen.
  virtual int GetExtScreenCount() = 0;
  virtual bool IsMultiScreen() = 0;
  // Menu commands 32866 to 32868: moves the module of the tab that the bar
  // remembered (CPageDlg::GetMenuTab) to monitor 1, 2 or 3.
  virtual void MoveModuleToScreen(int monitor) = 0;

  // Shows a text in the main window's message box (CResMsgDlg).
  virtual void ShowResMsg(const CStringW& text, int type) = 0;
  // The main window's device list panel (null before it exists).
  virtual CDeviceListDlg* GetDeviceListDlg() = 0;
  // Raises the flag that makes the scrolling caption save its background again.
  virtual void RedrawCaptionBackground() = 0;
};
