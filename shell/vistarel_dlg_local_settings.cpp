// What the local settings pages ask of the main window: the record query
// players' snapshot folder, the live grids' last-frame setting and the
// extension screens' grids.
#include "core/user_settings.h"
#include "live/grid/video_manager_dlg.h"
#include "morvik/morvik.h"
#include "records/search/search_rec_dlg.h"
#include "shell/vistarel_dlg.h"

void CVistarelDlg::SetSnapPath(int kind, const std::string& folder) {
  if (m_pSearchRecDlg == nullptr) return;
  for (int i = 0; i < CSearchRecDlg::kPlayers; ++i) {
    if (CPlayBackAtl* player = m_pSearchRecDlg->GetPlayer(i)) player->SetSnapPath(kind, folder.c_str());
  }
}

void CVistarelDlg::ApplyKeepLastFrame() {
  if (m_pVideoManagerDlg == nullptr) return;
  m_pVideoManagerDlg->ApplyKeepLastFrame(g_bShowLastFrame);
  for (ScreenInfo* screen : m_lstScreenInfo) {
    if (screen->pVideoManagerDlg != nullptr) screen->pVideoManagerDlg->ApplyKeepLastFrame(g_bShowLastFrame);
  }
}

void CVistarelDlg::ApplyMonitorMode(bool on) {
  for (ScreenInfo* screen : m_lstScreenInfo) {
    CVideoManagerDlg* grid = screen->pVideoManagerDlg;
    if (on) {
      if (grid != nullptr) grid->show();
      continue;
    }
    if (grid != nullptr) {
      grid->hide();
      grid->RemoveAllWatch();
    }
    if (screen->nShowModule != 0) {
      RestoreModuleWnd(screen->nShowModule);
      screen->nShowModule = 0;
    }
  }
}
