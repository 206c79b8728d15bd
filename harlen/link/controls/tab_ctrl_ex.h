// CTabCtrlEx: the main window's tab control, drawn by itself.
//
// It covers the tabs' row and the page area below it; the main window makes
// the pages children of it. The whole control is filled with its background
// colour, each tab too, and a tab's text (at most 199 characters) stands 5
// pixels right and 5 down from the tab's top left corner; a thin frame marks
// the tabs and leaves the selected one open towards its page.
#pragma once

#include <QTabBar>

#include "platform/win_types.h"

class CTabCtrlEx : public QTabBar {
 public:
  explicit CTabCtrlEx(QWidget* parent = nullptr);

  void SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const { return m_crBack; }

  // The rectangle of tab `index` (TCM_GETITEMRECT), empty when there is none.
  RECT GetItemRect(int index) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  QSize tabSizeHint(int index) const override;
  // Wheel turns and keys that the pages leave unhandled reach the control as
  // their parent: only those meant for the tab row change the tab.
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  COLORREF m_crBack;
};
