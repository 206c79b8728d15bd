// CTVWallManager: the TV-wall module window. Decoders, streaming and the
// wall's patrol come with the TV wall subsystem; it keeps their state.
#pragma once

#include "alarm_map_wall/tvwall/tv_wall_layout.h"
#include "platform/dialog.h"

struct DevInfo;
class CDeviceListDlg;

class CTVWallManager : public CDialog {
 public:
  enum { IDD = 322 };

  explicit CTVWallManager(QWidget* parent = nullptr);

  // 1 while shown on an extension monitor.
  void SetActive(int bActive) { m_bActive = bActive; }
  int IsActive() const { return m_bActive; }
  // The canvas rectangle, when the window comes back to the main window.
  void SetCanvasRect(const RECT& rect) { m_rcCanvas = rect; }
  RECT GetCanvasRect() const { return m_rcCanvas; }
  // The left button went up on the main window: a monitor being drawn ends.
  void EndDrawMonitor() { m_bDrawing = FALSE; }
  // A decoder dropped on the wall at (x, y); FALSE for no device.
  BOOL BindDecoder(int x, int y, DevInfo* pDevInfo);
  // A channel dropped on the wall at (x, y) to be decoded; FALSE for no device.
  BOOL DecodeStreaming(int x, int y, DevInfo* pDevInfo);
  // Starts or stops the wall's patrol; the new state (1 running).
  int Patrol();
  int IsPatrolling() const { return m_bPatrol; }

  int m_nScreenNo = 0;                      // monitor the window is on; 0 in the main window
  CDeviceListDlg* m_pDevListDlg = nullptr;  // its device list panel (host code 4), not made yet
  TVWallLayout m_TVWallLayout;              // given to the layout window

 private:
  int m_bActive = 0;
  RECT m_rcCanvas{};
  BOOL m_bDrawing = FALSE;
  int m_bPatrol = 0;
};
