#include "alarm_map_wall/tvwall/draw_tvwall_dlg.h"

CDrawTVwallDlg::CDrawTVwallDlg(TVWallLayout* pLayout, QWidget* parent)
    : CDialog(IDD, parent), m_pLayout(pLayout) {}
