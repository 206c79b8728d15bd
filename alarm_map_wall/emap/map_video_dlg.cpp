#include "alarm_map_wall/emap/map_video_dlg.h"

CMapVideodlg::CMapVideodlg(QWidget* parent) : QDialog(parent), CWnd(this) {}

void CMapVideodlg::OnClose() {
  m_bFullScreen = FALSE;
  hide();
}

void CMapVideodlg::ToggleFullScreen() { m_bFullScreen = !m_bFullScreen; }
