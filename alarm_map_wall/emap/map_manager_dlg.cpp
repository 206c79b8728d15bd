#include "alarm_map_wall/emap/map_manager_dlg.h"

#include "alarm_map_wall/emap/map_dlg.h"
#include "alarm_map_wall/emap/map_video_dlg.h"

// Both are Qt children of the manager and go with it.
CMapManagerDlg::CMapManagerDlg(QWidget* parent)
    : CDialog(IDD, parent), m_pMapDlg(new CMapDlg(this)), m_pMapVideoDlg(new CMapVideodlg(this)) {}
