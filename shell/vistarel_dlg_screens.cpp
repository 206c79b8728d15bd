// Extension monitors: a module window (record query, alarm info,
// configuration, TV wall, e-map) moved onto another monitor in place of that
// monitor's own live grid, and brought back.
#include "alarm_map_wall/emap/map_manager_dlg.h"
#include "alarm_map_wall/emap/map_video_dlg.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "alarm_map_wall/tvwall/tv_wall_manager.h"
#include "core/user_settings.h"
#include "platform/control_id.h"
#include "live/grid/video_manager_dlg.h"
#include "records/search/search_rec_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/module_rights.h"
#include "shell/page_dlg.h"
#include "shell/vistarel_dlg.h"

namespace {

void PlaceAt(QWidget* widget, const RECT& rect) {
  if (widget != nullptr) widget->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

// The module of a navigation-bar tab that can be moved to a monitor.
int ModuleOfTab(int tabId) {
  switch (tabId) {
    case 1013: return kModuleRecord;
    case 1014: return kModuleAlarm;
    case 1015: return kModuleCfg;
    case 1016: return kModuleWall;
    case 1017: return kModuleMap;
    default: return kNoModule;
  }
}

}  // namespace

QWidget* CVistarelDlg::ModuleWindow(int module) const {
  switch (module) {
    case kModuleRecord: return m_pSearchRecDlg;
    case kModuleAlarm: return m_pSearchAlarmDlg;
    case kModuleCfg: return m_pCfgManagerDlg;
    case kModuleWall: return m_pTVWallManager;
    case kModuleMap: return m_pMapManagerDlg;
    default: return nullptr;
  }
}

// Sets a module window's on-extension-monitor flag and the monitor it is on.
void CVistarelDlg::SetModuleScreen(int module, int screenNo) {
  const int flag = screenNo != 0 ? 1 : 0;
  m_nModuleScreen[module] = screenNo;
  switch (module) {
    case kModuleRecord:
      if (m_pSearchRecDlg == nullptr) return;
      m_pSearchRecDlg->SetExtScreen(flag);
      m_pSearchRecDlg->RedrawTimeBar();
      break;
    case kModuleAlarm:
      if (m_pSearchAlarmDlg != nullptr) m_pSearchAlarmDlg->SetActive(flag);
      break;
    case kModuleCfg:
      if (m_pCfgManagerDlg != nullptr) m_pCfgManagerDlg->SetOnExtScreen(flag);
      break;
    case kModuleWall:
      if (m_pTVWallManager != nullptr) m_pTVWallManager->SetActive(flag);
      break;
    case kModuleMap:
      if (m_pMapManagerDlg != nullptr) m_pMapManagerDlg->SetActive(flag);
      break;
    default: break;
  }
}

ScreenInfo* CVistarelDlg::ScreenAt(int screenNo) const {
  int index = 1;
  for (ScreenInfo* screen : m_lstScreenInfo) {
    if (index++ == screenNo) return screen;
  }
  return nullptr;
}

void CVistarelDlg::MoveModuleToScreen(int screenNo) {
  ScreenInfo* screen = ScreenAt(screenNo);
  if (screen == nullptr || !g_bMultiScreen) return;
  QWidget* tab = m_pPageDlg != nullptr ? m_pPageDlg->GetMenuTab() : nullptr;
  const int module = ModuleOfTab(tab != nullptr ? ctrlid::Of(tab) : 0);
  if (module == kNoModule) return;
  if (screen->nShowModule == module) {
    RestoreModuleWnd(module);
    screen->nShowModule = 0;
    if (screen->pVideoManagerDlg != nullptr) screen->pVideoManagerDlg->show();
    return;
  }
  if (screen->nShowModule == 0) {
    if (screen->pVideoManagerDlg != nullptr) screen->pVideoManagerDlg->hide();
  } else {
    RestoreModuleWnd(screen->nShowModule);
  }
  const int onScreen = m_nModuleScreen[module];
  if (onScreen != 0 && onScreen != screenNo) RestoreScreenGrid(onScreen);
  QWidget* window = ModuleWindow(module);
  // A window on another monitor is a window of its own there.
  window->setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
  PlaceAt(window, screen->rcMonitor);
  window->show();
  SetModuleScreen(module, screenNo);
  screen->nShowModule = module;
}

void CVistarelDlg::RestoreModuleWnd(int module) {
  QWidget* window = ModuleWindow(module);
  if (window == nullptr) return;
  window->hide();
  window->setParent(this, Qt::Widget);
  SetModuleScreen(module, 0);
  PlaceAt(window, m_layout.PageRect());
  if (module == kModuleWall) m_pTVWallManager->SetCanvasRect(m_layout.PageRect());
  if (module == kModuleMap && m_pMapManagerDlg->m_pMapVideoDlg != nullptr) m_pMapManagerDlg->m_pMapVideoDlg->OnClose();
}

void CVistarelDlg::RestoreScreenGrid(int screenNo) {
  ScreenInfo* screen = ScreenAt(screenNo);
  if (screen == nullptr) return;
  if (screen->pVideoManagerDlg != nullptr) screen->pVideoManagerDlg->show();
  screen->nShowModule = 0;
}
