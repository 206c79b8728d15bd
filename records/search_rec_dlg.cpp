#include "records/search_rec_dlg.h"

#include "live/live_messages.h"

CSearchRecDlg::CSearchRecDlg(QWidget* parent) : CDialog(IDD, parent) {}

void CSearchRecDlg::StopAllReplay() {}

void CSearchRecDlg::RedrawTimeBar() { update(); }

BOOL CSearchRecDlg::SetSearchDevInfo(DevInfo* pDevInfo) {
  if (!pDevInfo) return FALSE;
  m_pSearchDev = pDevInfo;
  return TRUE;
}

BOOL CSearchRecDlg::SearchVssRecByDate(RelayDevice* pRelayDevice) {
  if (!pRelayDevice) return FALSE;
  m_pSearchVssDev = pRelayDevice;
  return TRUE;
}

void CSearchRecDlg::OnFullScreen() { m_bFullScreen = !m_bFullScreen; }

void CSearchRecDlg::OnHideShow() {
  m_bSearchPanelShown = !m_bSearchPanelShown;
  update();
}

void CSearchRecDlg::SetWindowCount(int nCount) {
  if (nCount != 1 && nCount != 2 && nCount != 4) return;
  m_nWindowCount = nCount;
  if (m_nCurWnd >= nCount) m_nCurWnd = nCount - 1;
}

LRESULT CSearchRecDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_REMOTE_RECFILE_RESPONSE:
    case WM_NVR_RECDAY_RESPONSE:
    case WM_FILE_TRANSFER_EVENT:
      return 0;  // the text goes with the message
    default:
      return CDialog::OnMessage(msg, wParam, lParam);
  }
}
