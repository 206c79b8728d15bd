// CAlmActDlg: the alarm linkage window (top-level, no parent). Its video panes
// and talk come with the alarm subsystem; it keeps their state.
#pragma once

#include "platform/dialog.h"

class CAlmActDlg : public CDialog {
 public:
  enum { IDD = 231 };

  explicit CAlmActDlg(QWidget* parent = nullptr);

  // Stops the window's video and talk, resets its buttons and hides it.
  void OnClose();
  // Switches its video between full screen and its saved rectangle.
  void ToggleFullScreen();
  BOOL IsFullScreen() const { return m_bFullScreen; }

  // 1 while a talk is open in the window.
  int m_bTalk = 0;

 private:
  BOOL m_bFullScreen = FALSE;
};
