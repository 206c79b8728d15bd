// The main window and the relay: the answered videos of the relay servers it
// is logged in to placed in the grids, panes closed for their devices, the
// panes' relay calls (invitation, player registration, close), the record
// search page that takes the relay's record answers and data, and the PTZ
// plug-in of the relay's preset requests.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "alarm_map_wall/alarm_list_dlg.h"
#include "core/user_settings.h"
#include "gimbro/gimbro.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "live/ptz/ptz_plugin.h"
#include "live/streams/relay_video_player.h"
#include "relay/login/vss_info.h"
#include "relay/reports/device_state_host.h"
#include "relay/servers/relay_viewer.h"
#include "shell/relay_record_page_adapter.h"
#include "shell/vistarel_dlg.h"

namespace {

constexpr long kVideoBlock = PELK_VIDEO_PARAM_SIZE;
constexpr long kAudioBlock = PELK_AUDIO_PARAM_SIZE;

// The pane's copy of a relay device, with the name of the server that lists it.
PaneRelayDevice ToPaneDevice(const RelayDevice& device) {
  PaneRelayDevice pane;
  pane.nKind = device.nType;
  std::snprintf(pane.IPAddr, sizeof pane.IPAddr, "%s", device.IPAddr);
  std::snprintf(pane.DevName, sizeof pane.DevName, "%s", device.DevName);
  std::snprintf(pane.MACAddr, sizeof pane.MACAddr, "%s", device.MACAddr);
  pane.ParentId = device.nParentId;
  pane.Id = device.nId;
  pane.State = device.nState;
  pane.Stream = device.nStream;
  for (const Vemo2Node& server : g_lstVssInfo) {
    for (const RelayDevice& listed : server.lstRelayDevice) {
      if (&listed == &device) std::snprintf(pane.ServerName, sizeof pane.ServerName, "%s", server.DevName);
    }
  }
  return pane;
}

RelayDevice* ListedDevice(const char* mac, const char* ip) {
  for (Vemo2Node& server : g_lstVssInfo) {
    for (RelayDevice& device : server.lstRelayDevice) {
      if (std::strcmp(device.MACAddr, mac) == 0 && std::strcmp(device.IPAddr, ip) == 0) return &device;
    }
  }
  return nullptr;
}

}  // namespace

void CVistarelDlg::PlaceRelayVideo(const std::string& paneKey, const RelayDevice& device, DWORD mainId, DWORD subId,
                                   const BYTE* videoParam, const BYTE* audioParam) {
  const PaneRelayDevice pane = ToPaneDevice(device);
  auto open = [&](CVideoManagerDlg* grid, int index) {
    grid->OpenRelayVideoInWnd(index, pane, static_cast<long>(mainId), static_cast<long>(subId), videoParam,
                              kVideoBlock, audioParam, kAudioBlock);
  };
  auto add = [&](CVideoManagerDlg* grid) {
    grid->AddRelayWatch(grid->GetSelectedIndex(), pane, static_cast<long>(mainId), static_cast<long>(subId),
                        videoParam, kVideoBlock, audioParam, kAudioBlock);
  };
  // A patrol that waits for the device: an extended grid's first, then the main grid's.
  std::vector<CVideoManagerDlg*> extended;
  for (ScreenInfo* screen : m_lstScreenInfo) {
    if (screen->pVideoManagerDlg != nullptr) extended.push_back(screen->pVideoManagerDlg);
  }
  int index = -1;
  for (CVideoManagerDlg* grid : extended) {
    if (grid->FindPatrolWnd(paneKey.c_str(), &index)) return open(grid, index);
  }
  if (m_pVideoManagerDlg != nullptr && m_pVideoManagerDlg->FindPatrolWnd(paneKey.c_str(), &index)) {
    return open(m_pVideoManagerDlg, index);
  }
  if (m_pVideoManagerDlg != nullptr && m_pVideoManagerDlg->HasFreeWnd() && m_nExtRelayFlag == 0) {
    m_nExtRelayFlag = 0;
    return add(m_pVideoManagerDlg);
  }
  if (g_bMultiScreen) {
    for (CVideoManagerDlg* grid : extended) {
      if (!grid->HasFreeWnd()) continue;
      m_nExtRelayFlag = 0;
      return add(grid);
    }
  }
}

void CVistarelDlg::ClosePanesShowing(const RelayDevice& device, bool byName, bool everyGrid, bool firstOnly) {
  std::vector<CVideoManagerDlg*> grids;
  if (m_pVideoManagerDlg != nullptr) grids.push_back(m_pVideoManagerDlg);
  if (everyGrid) {
    for (ScreenInfo* screen : m_lstScreenInfo) {
      if (screen->pVideoManagerDlg != nullptr) grids.push_back(screen->pVideoManagerDlg);
    }
  }
  for (CVideoManagerDlg* grid : grids) {
    for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
      CVideoWnd* pane = grid->Pane(i);
      if (pane == nullptr || !pane->IsRelaying()) continue;
      const PaneRelayDevice& shown = pane->RelayDev();
      const bool same = std::strcmp(shown.MACAddr, device.MACAddr) == 0 &&
                        (byName ? std::strcmp(shown.DevName, device.DevName) == 0
                                : std::strcmp(shown.IPAddr, device.IPAddr) == 0);
      if (!same) continue;
      pane->CloseRelayVideo();
      if (firstOnly) break;
    }
  }
}

long CVistarelDlg::RegisterRelayRealData(const std::string& key, long mainId, long subId,
                                         std::shared_ptr<RelayVideoPlayer> player) {
  char mac[PELK_KEY_PART_SIZE];
  char ip[PELK_KEY_PART_SIZE];
  SplitDeviceKey(key.c_str(), mac, ip);
  // The relay device is shown here now: its record knows the player.
  if (RelayDevice* device = ListedDevice(mac, ip)) {
    device->pRelayPlayer = player;
    device->nState = device->nState == 3 || device->nState == 4 ? 4 : 2;
  }
  return m_pRelayViewer->RegisterRealData(key, mainId, subId, std::move(player));
}

long CVistarelDlg::InviteCloseDeviceVideo(const PaneRelayDevice& dev, const std::string& key, long mainId,
                                          long subId) {
  if (RelayDevice* device = ListedDevice(dev.MACAddr, dev.IPAddr)) {
    device->pRelayPlayer.reset();
    if (device->nState == 2) device->nState = 1;
    if (device->nState == 4) device->nState = 3;
  }
  return m_pRelayViewer->CloseVideo(dev.IPAddr, dev.MACAddr, key, mainId, subId);
}

long CVistarelDlg::InviteDeviceVideo(const PaneRelayDevice& dev, const std::string& key, int stream, int channel) {
  return m_pRelayViewer->InviteVideo(dev.IPAddr, dev.MACAddr, key, stream, channel);
}

void CVistarelDlg::ConnectRelayRecordPage(bool connect) {
  if (!connect) {
    m_relayPageGate.Set(nullptr);
    m_pRelayPage.reset();
    return;
  }
  if (m_pSearchRecDlg == nullptr) return;
  m_pRelayPage = std::make_unique<CRelayRecordPageAdapter>(*m_pSearchRecDlg);
  m_relayPageGate.Set(m_pRelayPage.get());
}

RelayPtzPlugin CVistarelDlg::RelayPtzPluginOf() {
  RelayPtzPlugin plugin;
  plugin.loaded = [this] { return m_pPtzPlugin && m_pPtzPlugin->IsLoaded(); };
  plugin.hasExport = [this] { return m_pPtzPlugin && m_pPtzPlugin->Function() != nullptr; };
  plugin.call = [this](const char* word, int arg1, int arg2) {
    return m_pPtzPlugin ? m_pPtzPlugin->Call(GetSelectedPtzAddr(), word, arg1, arg2) : std::string();
  };
  return plugin;
}

void CVistarelDlg::FillDeviceStateHost(DeviceStateHost& host) {
  host.UpdateDevIcons = [this] { UpdateDevIcons(); };
  host.UpdateDevItem = [this](const char* devName) { UpdateDevItem(devName); };
  host.RefreshDevList = [this] { RefreshDevList(); };
  host.AddStatusAlarm = [this](DevInfo& dev, int type) {
    if (m_bClosing || m_pAlarmListDlg == nullptr) return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    GimbroAlarmRecord entry;
    entry.year = local.tm_year + 1900;
    entry.month = local.tm_mon + 1;
    entry.day = local.tm_mday;
    entry.hour = local.tm_hour;
    entry.minute = local.tm_min;
    entry.second = local.tm_sec;
    entry.type = type;
    m_pAlarmListDlg->AddAlarm(&dev, &entry);
  };
  host.StopPanesShowing = [this](const DevInfo& dev) {
    // Every pane of every grid: each pass stops the first pane per grid.
    for (CVideoManagerDlg* grid : LiveGrids()) {
      for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
        CVideoWnd* pane = grid->Pane(i);
        if (pane != nullptr && pane->IsWatching() && std::strcmp(pane->WatchedDev().DevName, dev.DevName) == 0)
          grid->StopWatch(i, TRUE);
      }
    }
  };
}
