// CMapVideodlg: the e-map's video pop-up. Its panes come with the e-map.
#pragma once

#include <QDialog>

#include "platform/wnd.h"

class CMapVideodlg : public QDialog, public CWnd {
 public:
  explicit CMapVideodlg(QWidget* parent = nullptr);

  // Closes the pop-up.
  void OnClose();
  // Switches its video between full screen and its saved rectangle.
  void ToggleFullScreen();
  BOOL IsFullScreen() const { return m_bFullScreen; }

 private:
  BOOL m_bFullScreen = FALSE;
};
