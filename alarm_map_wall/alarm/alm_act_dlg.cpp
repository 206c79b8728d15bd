#include "alarm_map_wall/alarm/alm_act_dlg.h"

CAlmActDlg::CAlmActDlg(QWidget* parent) : CDialog(IDD, parent) {}

void CAlmActDlg::OnClose() {
  m_bTalk = 0;
  m_bFullScreen = FALSE;
  hide();
}

void CAlmActDlg::ToggleFullScreen() { m_bFullScreen = !m_bFullScreen; }
