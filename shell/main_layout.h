// Where the main window puts its module windows. Everything follows from the
// screen size taken at start: the header height T = H * 52 / 768 (integer),
// the page rectangle of the module pages on the right and the left column of
// panels at x = 10, 219 pixels wide.
#pragma once

#include "platform/win_types.h"

struct MainLayout {
  int W = 0;
  int H = 0;
  int T = 0;  // header height

  static MainLayout ForScreen(int width, int height);

  RECT PageRect() const;  // (235, T + 39, W - 8, H - 10)

  // Title buttons.
  RECT CloseButton() const;
  RECT MinimiseButton() const;
  RECT SettingsButton() const;

  RECT NavigationBar() const;   // (0, T - 35) W x 34
  RECT VideoToolbar() const;    // (10, T - 1) (W - 18) x 40
  RECT LogToolPanel() const;    // (10, T - 1) W x 40
  RECT ConfigManager() const;   // (10, T - 1, W - 8, H - 10)
  RECT PtzPanel() const;        // (10, H - 333) 219 x 300
  RECT AlarmListPanel() const;  // (10, H - 310) 219 x 277

  // The device list panel: live view with the two buttons below it, live view
  // with the PTZ panel or the alarm list open, and the full column of the
  // other modules.
  RECT DevicePanelLive() const;
  RECT DevicePanelShort() const;
  RECT DevicePanelFull() const;

  // The PTZ button 1061 and the alarm button 1062 (219 x 23) at a given top.
  static RECT ColumnButton(int top);
  // Button tops: both closed, PTZ panel open, alarm list open.
  int PtzButtonTopClosed() const { return H - 56; }
  int AlarmButtonTopClosed() const { return H - 33; }
  int PtzButtonTopOpen() const { return H - 356; }
  int AlarmButtonTopOpen() const { return H - 333; }

  // The strip under the navigation bar redrawn on a module switch.
  RECT TabUnderline() const;
};

// A rectangle from a position and a size.
RECT RectXYWH(int x, int y, int width, int height);
