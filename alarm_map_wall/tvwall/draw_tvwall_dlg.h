// CDrawTVwallDlg: the TV-wall layout window, given the TV-wall manager's layout.
#pragma once

#include "alarm_map_wall/tvwall/tv_wall_layout.h"
#include "platform/dialog.h"

class CDrawTVwallDlg : public CDialog {
 public:
  enum { IDD = 241 };

  explicit CDrawTVwallDlg(TVWallLayout* pLayout, QWidget* parent = nullptr);

  TVWallLayout* GetLayout() const { return m_pLayout; }

 private:
  TVWallLayout* m_pLayout;
};
