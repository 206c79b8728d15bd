// CMapManagerDlg: the e-map module window. It holds the map view and the
// map's video pop-up; its device list panel (host code 5) is not made yet.
#pragma once

#include "platform/dialog.h"

class CDeviceListDlg;
class CMapDlg;
class CMapVideodlg;

class CMapManagerDlg : public CDialog {
 public:
  enum { IDD = 323 };

  explicit CMapManagerDlg(QWidget* parent = nullptr);

  // 1 while shown on an extension monitor.
  void SetActive(int bActive) { m_bActive = bActive; }
  int IsActive() const { return m_bActive; }

  int m_nScreenNo = 0;                      // monitor the window is on; 0 in the main window
  CDeviceListDlg* m_pDevListDlg = nullptr;  // its device list panel, not made yet
  CMapDlg* m_pMapDlg = nullptr;             // the map view (a child widget)
  CMapVideodlg* m_pMapVideoDlg = nullptr;   // the video pop-up (owned window)

 private:
  int m_bActive = 0;
};
