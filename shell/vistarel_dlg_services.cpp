// What the main window does for the configuration manager and the device list
// panels: it knows every module window, so selections, drops and refreshes go
// through it.
#include <cstring>

#include "alarm_map_wall/emap/map_dlg.h"
#include "alarm_map_wall/emap/map_manager_dlg.h"
#include "alarm_map_wall/emap/map_video_dlg.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "alarm_map_wall/tvwall/tv_wall_manager.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/res_msg_dlg.h"
#include "core/user_settings.h"
#include "live/grid/video_manager_dlg.h"
#include "live/toolbar/video_toolbar_dlg.h"
#include "live/grid/video_wnd.h"
#include "platform/string_table.h"
#include "records/recording/rec_state_report.h"
#include "records/search/search_rec_dlg.h"
#include "relay/login/vss_info.h"
#include "settings/hosts/dlg_remote_config.h"
#include "settings/devices/setting_dev_info_dlg.h"
#include "settings/maintenance/setting_maint_dlg.h"
#include "settings/record/setting_record_dlg.h"
#include "settings/users/setting_user_info_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/device_list_dlg.h"
#include "shell/module_rights.h"
#include "shell/user_list_dlg.h"
#include "shell/view_state.h"
#include "shell/vistarel_dlg.h"

void CVistarelDlg::ShowResMsg(const CStringW& text, int type) {
  if (m_pResMsgDlg != nullptr) m_pResMsgDlg->ShowMsg(text, type);
}

// ---- configuration manager ----------------------------------------------------

void CVistarelDlg::ShowCfgPage(int code) {
  if (m_pCfgManagerDlg == nullptr) return;
  g_nCfgPage = code;
  if (!m_pCfgManagerDlg->IsOnExtScreen()) {
    const RECT rect = m_layout.ConfigManager();
    m_pCfgManagerDlg->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  }
  m_pCfgManagerDlg->ShowCfgPage(code);
  m_pCfgManagerDlg->show();
}

void CVistarelDlg::RefreshUserList() {
  if (m_pCfgManagerDlg != nullptr && m_pCfgManagerDlg->GetUserListDlg() != nullptr) {
    m_pCfgManagerDlg->GetUserListDlg()->RefreshUserList();
  }
}

void CVistarelDlg::RefreshRoleList() {
  if (m_pCfgManagerDlg != nullptr && m_pCfgManagerDlg->GetUserListDlg() != nullptr) {
    m_pCfgManagerDlg->GetUserListDlg()->RefreshRoleList();
  }
}

void CVistarelDlg::ShowUserInfo(UserInfo* user) {
  if (m_pCfgManagerDlg != nullptr) m_pCfgManagerDlg->GetUserInfoDlg()->DisplayUserInfo(user);
}

void CVistarelDlg::ShowGroupInfo(GroupInfo* group) {
  if (m_pCfgManagerDlg != nullptr) m_pCfgManagerDlg->GetUserInfoDlg()->DisplayGroupInfo(group);
}

void CVistarelDlg::ShowRoleInfo(RoleInfo* role) {
  if (m_pCfgManagerDlg != nullptr) m_pCfgManagerDlg->GetUserInfoDlg()->DisplayRoleInfo(role);
}

void CVistarelDlg::ShowRecSchemeTree() {
  if (m_pCfgDevListDlg != nullptr) m_pCfgDevListDlg->ShowRecSchemeTree();
}

void CVistarelDlg::SetAllRecording(int allRecording) {
  m_bAllRecord = allRecording;
  if (m_pVideoToolbarDlg != nullptr) m_pVideoToolbarDlg->SetRecordAllButton(allRecording);
}

// A recording that the record-scheme page stopped: reported as the recording
// thread reports its own (relay peers, then the device images and a shown page
// through WM_RECORD_STATE_CHANGED).
void CVistarelDlg::ReportRecordState(const DevInfo& dev, int state) {
  ReportDeviceRecordState(m_szAdapterAddr, dev, state, GetSafeHwnd());
}

// ---- device list panels --------------------------------------------------------

// The device list panels: the main window's, the configuration manager's, the
// alarm search's, the record search's and the e-map's (those that exist).
std::vector<CDeviceListDlg*> CVistarelDlg::DevicePanels() const {
  std::vector<CDeviceListDlg*> panels;
  for (CDeviceListDlg* panel : {m_pDeviceListDlg, m_pCfgDevListDlg,
                                m_pSearchAlarmDlg ? m_pSearchAlarmDlg->m_pDevListDlg : nullptr,
                                m_pMapManagerDlg ? m_pMapManagerDlg->m_pDevListDlg : nullptr}) {
    if (panel != nullptr) panels.push_back(panel);
  }
  return panels;
}

void CVistarelDlg::UpdateDevItem(const CString& devName) {
  // The panels rebuild a multi-channel device's item (found by its DevId) with
  // its channels; any other item only takes its new image.
  CString devId;
  for (const DevInfo& dev : g_lstDevInfo) {
    if (devName == dev.DevName && (dev.DevType == 0 || dev.DevType == kDevTypeNvr)) {
      devId = dev.DevId;
      break;
    }
  }
  for (CDeviceListDlg* panel : DevicePanels()) {
    if (!devId.empty()) panel->UpdateDevItem(devId);
    panel->UpdateDevIcons();
  }
}

void CVistarelDlg::UpdateDevIcons() {
  for (CDeviceListDlg* panel : DevicePanels()) {
    panel->UpdateDevIcons();
    panel->UpdateVssIcons();
  }
}

void CVistarelDlg::RefreshDevList() {
  for (CDeviceListDlg* panel : DevicePanels()) {
    // A cloud login's devices are not edited here: the configuration manager's tree stays.
    if (panel == m_pCfgDevListDlg && g_nLoginType != 0) continue;
    panel->RefreshDevTree();
  }
}

void CVistarelDlg::ShowDevInfo(DevGroupInfo* group) {
  if (m_pCfgManagerDlg != nullptr && group != nullptr) m_pCfgManagerDlg->GetDevInfoDlg()->DisplayGroupInfo(group);
}

void CVistarelDlg::OnDevSelected(DevInfo* dev) {
  if (dev == nullptr) return;
  if ((g_nCurModule == kModuleCfg || IsOnExtScreen(kModuleCfg)) && m_pCfgManagerDlg != nullptr) {
    switch (g_nCfgPage) {
      case 0: m_pCfgManagerDlg->GetDevInfoDlg()->DisplayDevInfo(dev); break;
      case 3: m_pCfgManagerDlg->GetRemoteConfigDlg()->ShowRemoteConfig(dev); break;
      case 4: m_pCfgManagerDlg->GetMaintDlg()->DisplayDevInfo(dev); break;
      default: break;
    }
  }
  if ((g_nCurModule == kModuleRecord || IsOnExtScreen(kModuleRecord)) && m_pSearchRecDlg != nullptr) {
    m_pSearchRecDlg->SetSearchDevInfo(dev);
  }
  if ((g_nCurModule == kModuleAlarm || IsOnExtScreen(kModuleAlarm)) && m_pSearchAlarmDlg != nullptr) {
    m_pSearchAlarmDlg->SetLocalDevice(dev);
  }
  if (g_nCurModule != kModuleLive || m_pVideoManagerDlg == nullptr) return;
  for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
    CVideoWnd* pane = m_pVideoManagerDlg->Pane(i);
    if (pane != nullptr && pane->IsWatching() && strcmp(pane->WatchedDev().DevName, dev->DevName) == 0) {
      m_pVideoManagerDlg->SetSelectWnd(i);
      return;
    }
  }
  if (CVideoWnd* selected = m_pVideoManagerDlg->SelectedPane()) selected->DrawSelectFrame(FALSE);
}

void CVistarelDlg::OnVssChannelSelected(RelayDevice* channel) {
  if (channel == nullptr) return;
  if ((g_nCurModule == kModuleRecord || IsOnExtScreen(kModuleRecord)) && m_pSearchRecDlg != nullptr) {
    m_pSearchRecDlg->SearchVssRecByDate(channel);
  }
  if ((g_nCurModule == kModuleAlarm || IsOnExtScreen(kModuleAlarm)) && m_pSearchAlarmDlg != nullptr) {
    m_pSearchAlarmDlg->SetRemoteDevice(channel);
  }
  if (g_nCurModule != kModuleLive || m_pVideoManagerDlg == nullptr) return;
  if (channel->nType == 2 || channel->nType == 4) {
    for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
      CVideoWnd* pane = m_pVideoManagerDlg->Pane(i);
      if (pane == nullptr || !pane->IsRelaying()) continue;
      const PaneRelayDevice& shown = pane->RelayDev();
      if (strcmp(shown.DevName, channel->DevName) == 0 && strcmp(shown.MACAddr, channel->MACAddr) == 0) {
        m_pVideoManagerDlg->SetSelectWnd(i);
        return;
      }
    }
  }
  if (CVideoWnd* selected = m_pVideoManagerDlg->SelectedPane()) selected->DrawSelectFrame(FALSE);
}

void CVistarelDlg::OnRecSchemeSelected(RecSchemeInfo* scheme) {
  if (m_pCfgManagerDlg != nullptr && scheme != nullptr) m_pCfgManagerDlg->GetRecordDlg()->ShowSchemeInfo(scheme);
}

void CVistarelDlg::DropDevOnVideoWnd(QWidget* dropWnd, DevInfo* dev) {
  if (dropWnd == nullptr || dev == nullptr) return;
  for (CVideoManagerDlg* grid : LiveGrids()) {
    for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
      CVideoWnd* pane = grid->Pane(i);
      if (pane == nullptr) continue;
      const QWidget* parent = dropWnd->parentWidget();
      const QWidget* grandparent = parent != nullptr ? parent->parentWidget() : nullptr;
      if (dropWnd != pane && grandparent != pane && parent != pane) continue;
      grid->AddWatch(i, dev, TRUE, FALSE, -1, 0, FALSE, TRUE);
      return;
    }
  }
}

void CVistarelDlg::OpenDevInFreeWnd(DevInfo* dev) {
  if (dev == nullptr) return;
  CVideoManagerDlg* grid = m_pVideoManagerDlg;
  if (g_bMultiScreen) {
    for (ScreenInfo* screen : m_lstScreenInfo) {
      if (screen->pVideoManagerDlg != nullptr && screen->pVideoManagerDlg->isActiveWindow()) {
        grid = screen->pVideoManagerDlg;
        break;
      }
    }
  }
  if (grid != nullptr) grid->AddWatch(grid->GetSelectedIndex(), dev, TRUE, TRUE, -1, 0, FALSE, TRUE);
}

void CVistarelDlg::DropDevOnTVWall(int x, int y, DevInfo* dev) {
  if (m_pTVWallManager == nullptr || dev == nullptr) return;
  if (!dev->nOnline) {
    ShowResMsg(LoadStringW(821).toStdWString(), 2);
    return;
  }
  m_pTVWallManager->BindDecoder(x, y, dev);
}

void CVistarelDlg::DropChannelOnTVWall(int x, int y, DevInfo* dev) {
  if (m_pTVWallManager == nullptr || dev == nullptr) return;
  if (!dev->nOnline) {
    ShowResMsg(LoadStringW(821).toStdWString(), 2);
    return;
  }
  m_pTVWallManager->DecodeStreaming(x, y, dev);
}

void CVistarelDlg::DropDevOnMap(int x, int y, DevInfo* dev) {
  if (m_pMapManagerDlg != nullptr && m_pMapManagerDlg->m_pMapDlg != nullptr && dev != nullptr) {
    m_pMapManagerDlg->m_pMapDlg->AddDevicePoint(x, y, dev);
  }
}

int CVistarelDlg::GetLiveGridCount() { return static_cast<int>(LiveGrids().size()); }

int CVistarelDlg::AddWatchInGrid(int grid, int pane, DevInfo* dev) {
  const std::vector<CVideoManagerDlg*> grids = LiveGrids();
  if (grid < 0 || grid >= static_cast<int>(grids.size())) return CVideoManagerDlg::kRangeError;
  return grids[grid]->AddWatch(pane, dev, TRUE, FALSE, -1, 0, TRUE, TRUE);
}

bool CVistarelDlg::IsRecordSearchOnExtScreen() { return IsOnExtScreen(kModuleRecord); }

void CVistarelDlg::SetSearchDevInfo(DevInfo* dev) {
  if (m_pSearchRecDlg != nullptr) m_pSearchRecDlg->SetSearchDevInfo(dev);
}

std::vector<MapEntry> CVistarelDlg::GetMapList() {
  std::vector<MapEntry> maps;
  if (m_pMapManagerDlg == nullptr || m_pMapManagerDlg->m_pMapDlg == nullptr) return maps;
  for (const MapInfo& map : m_pMapManagerDlg->m_pMapDlg->m_mapData.Maps()) maps.push_back({map.Name, map.ParentName});
  return maps;
}

CString CVistarelDlg::GetShownMapName() {
  if (m_pMapManagerDlg == nullptr || m_pMapManagerDlg->m_pMapDlg == nullptr) return {};
  return m_pMapManagerDlg->m_pMapDlg->m_mapData.CurrentMap();
}

void CVistarelDlg::ShowMap(const CString& mapName) {
  if (m_pMapManagerDlg != nullptr && m_pMapManagerDlg->m_pMapDlg != nullptr) {
    m_pMapManagerDlg->m_pMapDlg->ShowMap(mapName.c_str());
  }
}

std::vector<CString> CVistarelDlg::GetMapsHoldingDevice(const CString& devName) {
  std::vector<CString> maps;
  if (m_pMapManagerDlg == nullptr || m_pMapManagerDlg->m_pMapDlg == nullptr) return maps;
  for (const MapPoint& point : m_pMapManagerDlg->m_pMapDlg->m_mapData.Points()) {
    const std::string name = point.DevField.substr(0, point.DevField.find(':'));
    if (name == devName) maps.push_back(point.MapName);
  }
  return maps;
}
