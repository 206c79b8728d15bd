// The main window and the relay: the answered videos of the relay servers it
// is logged in to placed in the grids, panes closed for their devices, the
// panes' relay calls (invitation, player registration, close), the record
// search page that takes the relay's record answers and data, and the PTZ
// plug-in of the relay's preset requests.
#include <QThread>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "core/user_settings.h"
#include "gimbro/gimbro.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "live/ptz/ptz_plugin.h"
#include "live/live_messages.h"
#include "live/patrol/patrol_keys.h"
#include "live/patrol/patrol_point_dlg.h"
#include "live/ptz/ptz_dlg.h"
#include "live/streams/relay_video_player.h"
#include "core/dev_info_store.h"
#include "core/res_msg_dlg.h"
#include "platform/post_message.h"
#include "platform/string_table.h"
#include "relay/login/vss_info.h"
#include "relay/relay_host.h"
#include "relay/relay_names.h"
#include "relay/remote_dev_info.h"
#include "relay/servers/relay_pane_keys.h"
#include "settings/maintenance/setting_maint_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "relay/reports/device_state_host.h"
#include "relay/servers/relay_viewer.h"
#include "settings/devices/setting_dev_info_dlg.h"
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
      // The channels of a relay video server or NVR share its MAC and IP: a
      // channel is the one with its own name too.
      const bool channel = device.nType == kRelayKindVideoServer || device.nType == kRelayKindNvr;
      const bool same = std::strcmp(shown.MACAddr, device.MACAddr) == 0 &&
                        (byName ? std::strcmp(shown.DevName, device.DevName) == 0
                                : std::strcmp(shown.IPAddr, device.IPAddr) == 0 &&
                                      (!channel || std::strcmp(shown.DevName, device.DevName) == 0));
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
    CsLock lock(&g_csVssInfo);  // the patrol step reads the states on its own thread
    device->pRelayPlayer = player;
    device->nState = device->nState == 3 || device->nState == 4 ? 4 : 2;
  }
  const long result = m_pRelayViewer->RegisterRealData(key, mainId, subId, std::move(player));
  UpdateDevIcons();  // its item shows it shown here, or no longer
  return result;
}

long CVistarelDlg::InviteCloseDeviceVideo(const PaneRelayDevice& dev, const std::string& key, long mainId,
                                          long subId) {
  if (RelayDevice* device = ListedDevice(dev.MACAddr, dev.IPAddr)) {
    CsLock lock(&g_csVssInfo);
    device->pRelayPlayer.reset();
    if (device->nState == 2) device->nState = 1;
    if (device->nState == 4) device->nState = 3;
  }
  const long result = m_pRelayViewer->CloseVideo(dev.IPAddr, dev.MACAddr, key, mainId, subId);
  UpdateDevIcons();  // its item shows it shown here, or no longer
  return result;
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
  host.SetSpeakStatus = [this](const DevInfo& dev, bool on) {
    const std::string key =
        dev.DevType == kDevTypeNvr ? std::string(dev.IPAddr) + "-" + dev.DevName : std::string(dev.DevName);
    // The alarm linkage window first, then the grids.
    if (m_pAlmActDlg != nullptr && m_pAlmActDlg->SetSpeakStatus(key, on ? 1 : 0)) return true;
    for (CVideoManagerDlg* grid : LiveGrids()) {
      if (grid->SetSpeakStatus(key.c_str(), on ? TRUE : FALSE) == 0) return true;
    }
    return false;
  };
  host.SpeakFailed = [this] {
    if (m_pResMsgDlg != nullptr) m_pResMsgDlg->ShowMsg(LoadStringW(272).toStdWString(), 2);  // "Speak failed!"
  };
  host.StopPanesUntilOnline = [this](const DevInfo& dev) {
    for (CVideoManagerDlg* grid : LiveGrids()) grid->StopWatchUntilOnline(dev);
  };
  host.ReopenWaitingPanes = [this](const DevInfo& dev) {
    bool shown = false;
    for (CVideoManagerDlg* grid : LiveGrids()) shown = shown || grid->ShowsDevice(dev);
    for (CVideoManagerDlg* grid : LiveGrids()) grid->ReopenWaitingPanes(dev, shown);
  };
  host.RemoveFromMaintenance = [this](const char* ip) {
    if (m_pCfgManagerDlg != nullptr && m_pCfgManagerDlg->GetMaintDlg() != nullptr)
      m_pCfgManagerDlg->GetMaintDlg()->RemoveDevice(ip);
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

void CVistarelDlg::FillRelayHost(RelayHost& host) {
  FillDeviceStateHost(host.devices);
  // The device page's message box is this window's own, while the device page exists.
  host.ShowDevicePageMessage = [this](int stringId, const std::string& argument) {
    if (m_pResMsgDlg == nullptr || m_pCfgManagerDlg == nullptr || m_pCfgManagerDlg->GetDevInfoDlg() == nullptr) return;
    const CString format = LoadStringA(static_cast<UINT>(stringId));
    char text[1024];
    std::snprintf(text, sizeof text, format.c_str(), argument.c_str());
    m_pResMsgDlg->ShowMsgA(text, 2);
  };
  host.DevicePageShown = [this] {
    const QWidget* page = m_pCfgManagerDlg != nullptr ? m_pCfgManagerDlg->GetDevInfoDlg() : nullptr;
    return page != nullptr && page->isVisible();
  };
  host.SelectedRelayDevice = [this](RelayDeviceEntry& shown) {
    CVideoWnd* pane = m_pVideoManagerDlg != nullptr ? m_pVideoManagerDlg->SelectedPane() : nullptr;
    if (pane == nullptr || !pane->IsRelaying()) return false;
    const PaneRelayDevice& dev = pane->RelayDev();
    shown.nType = dev.nKind;
    std::snprintf(shown.IPAddr, sizeof shown.IPAddr, "%s", dev.IPAddr);
    std::snprintf(shown.MACAddr, sizeof shown.MACAddr, "%s", dev.MACAddr);
    std::snprintf(shown.DevName, sizeof shown.DevName, "%s", dev.DevName);
    return true;
  };
  host.ShowPresetList = [this](const char* text) {
    if (m_pPTZDlg != nullptr) PostText(m_pPTZDlg->GetSafeHwnd(), WM_PTZ_RESPONSE, 0, text);
  };
  host.FirstDeviceList = [this](LONG login) {
    for (const Vemo2Node& server : g_lstVssInfo) {
      if (server.nLoginHandle != login) continue;
      m_pCascade->OnFirstDeviceList(server.IPAddr, server.nPort,
                                    m_pVideoManagerDlg != nullptr ? m_pVideoManagerDlg->GetDisplayMode() : 0);
      break;
    }
  };
  host.AddRemoteAlarm = [this](const char* key, const RelayAlarmRecord* alarm) {
    if (!m_bClosing && m_pAlarmListDlg != nullptr) m_pAlarmListDlg->AddRemoteAlarm(key, alarm);
  };
  CAddPatrolDlg::SetRelayKeys(RelayPatrolChoices);
}

// ---- relay PTZ ---------------------------------------------------------------------

long CVistarelDlg::SetRelayPtzDirection(const PaneRelayDevice& dev, const std::string& key, int channel, int code,
                                        int panSpeed, int tiltSpeed) {
  return CRelayViewer::SetPtzDirection(dev.IPAddr, dev.MACAddr, key, dev.Stream, channel, code, panSpeed, tiltSpeed);
}

long CVistarelDlg::SetRelayPtzAdvance(const PaneRelayDevice& dev, const std::string& key, int channel, int command) {
  return CRelayViewer::SetPtzAdvance(dev.IPAddr, dev.MACAddr, key, dev.Stream, channel, command);
}

long CVistarelDlg::InvitePreset(const PaneRelayDevice& dev, const std::string& key, int channel) {
  return CRelayViewer::InvitePreset(dev.IPAddr, dev.MACAddr, key, channel);
}

// A preset action of the PTZ panel while the active grid's selected pane shows
// relay video goes to the relay: 1 set, 2 delete, 3 call.
void CVistarelDlg::SetRelayPtzPreset(int operation, const std::string& text) {
  CVideoManagerDlg* grid = ActiveGrid();
  CVideoWnd* pane = grid != nullptr ? grid->SelectedPane() : nullptr;
  if (pane == nullptr || !pane->IsRelaying()) return;
  const PaneRelayDevice& dev = pane->RelayDev();
  CRelayViewer::SetPtzPreset(dev.IPAddr, dev.MACAddr, FormatDeviceKey(dev.MACAddr, dev.IPAddr),
                             CVideoWnd::RelayChannel(dev), operation, text);
}

// A device's preset list (the PTZ panel's answer) goes to the peers that asked
// for it: every record of the device-messaging id, with its channel.
void CVistarelDlg::RspInvitePreset(LONG gimbroId, const std::string& answer) {
  if (gimbroId == 0) return;
  for (const DevInfo& dev : g_lstDevInfo) {
    if (dev.GimbroId != gimbroId) continue;
    const int channel = dev.DevType == kDevTypeNvr ? dev.CurNVRChannel
                        : dev.DevType == 0          ? LastCharNumber(dev.DevName)
                                                    : 0;
    Pelk_RspInvitePreset(FormatDeviceKey(m_szAdapterAddr, dev.IPAddr).c_str(), 0, static_cast<DWORD>(channel),
                         answer.c_str());
  }
}

// ---- relay patrol points ---------------------------------------------------------------

// A patrol point of a relay device asks for its video; the answer finds the
// pane that waits for the key (FindPatrolWnd).
long CVistarelDlg::InvitePatrolRelayVideo(CVideoManagerDlg*, int, const std::string& key) {
  const RelayDevice* device = FindRelayDeviceByPaneKey(key);
  if (device == nullptr) return -1;
  // A video server's channel is the last digit of its name, as everywhere a
  // relay video is asked for (its patrol key "MAC:name" holds no '-').
  const int channel = device->nType == kRelayKindNvr           ? PatrolRelayChannel(key)
                      : device->nType == kRelayKindVideoServer ? LastCharNumber(device->DevName)
                                                               : 0;
  return m_pRelayViewer->InviteVideo(device->IPAddr, device->MACAddr, FormatDeviceKey(device->MACAddr, device->IPAddr),
                                     device->nStream, channel);
}

// ---- relay channels of the device list panels ---------------------------------------

bool CVistarelDlg::SelectDropPane(QWidget* dropWnd, int* grid) {
  if (dropWnd == nullptr) return false;
  std::vector<CVideoManagerDlg*> grids{m_pVideoManagerDlg};
  if (g_bMultiScreen) {
    for (ScreenInfo* screen : m_lstScreenInfo) grids.push_back(screen->pVideoManagerDlg);
  }
  for (int g = 0; g < static_cast<int>(grids.size()); ++g) {
    if (grids[g] == nullptr) continue;
    for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
      CVideoWnd* pane = grids[g]->Pane(i);
      if (pane == nullptr || (pane != dropWnd && !pane->isAncestorOf(dropWnd))) continue;
      grids[g]->SetSelectWnd(i);
      if (grid != nullptr) *grid = g;
      return true;
    }
  }
  return false;
}

void CVistarelDlg::StopSelectedPane(int grid) {
  std::vector<CVideoManagerDlg*> grids{m_pVideoManagerDlg};
  for (ScreenInfo* screen : m_lstScreenInfo) grids.push_back(screen->pVideoManagerDlg);
  if (grid < 0 || grid >= static_cast<int>(grids.size()) || grids[grid] == nullptr) return;
  CVideoManagerDlg* target = grids[grid];
  CVideoWnd* pane = target->SelectedPane();
  if (pane == nullptr) return;
  if (pane->IsRelaying()) {
    pane->CloseRelayVideo();
  } else if (pane->IsWatching()) {
    target->StopWatch(target->GetSelectedIndex(), TRUE);
  }
}

void CVistarelDlg::CloseMainGridRelay(const RelayDevice& dev) { ClosePanesShowing(dev, false, false, false); }

void CVistarelDlg::StopAllLivePanes() {
  for (CVideoManagerDlg* grid : LiveGrids()) {
    for (int i = 0; i < CVideoManagerDlg::kPaneCount; ++i) {
      CVideoWnd* pane = grid->Pane(i);
      if (pane == nullptr) continue;
      if (pane->IsRelaying()) {
        pane->CloseRelayVideo();
      } else if (pane->IsWatching()) {
        grid->StopWatch(i, TRUE);
      } else {
        continue;
      }
      QThread::msleep(5);
    }
  }
}

int CVistarelDlg::MainGridShownCount() {
  return m_pVideoManagerDlg != nullptr ? m_pVideoManagerDlg->GetShownCount() : 0;
}
