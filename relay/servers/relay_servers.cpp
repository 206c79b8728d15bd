#include "relay/servers/relay_servers.h"

#include <cstring>
#include <list>
#include <memory>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "live/streams/relay_video_player.h"
#include "relay/login/vss_info.h"
#include "relay/relay_names.h"
#include "relay/servers/relay_pane_keys.h"

namespace {

constexpr int kStringListAdded = 1067;       // "The list of devices to add success"
constexpr int kStringServerDropped = 1068;   // "The Vemo with the remote:%s abnormal disconnect"

Vemo2Node* FindServer(LONG login) {
  for (Vemo2Node& server : g_lstVssInfo) {
    if (server.nLoginHandle == login) return &server;
  }
  return nullptr;
}

bool SameDevice(const RelayDevice& a, const RelayDevice& b) {
  return std::strcmp(a.IPAddr, b.IPAddr) == 0 && std::strcmp(a.MACAddr, b.MACAddr) == 0;
}

// The old record that a new one continues: same IP and MAC, and for a camera
// that is all; for a video server or NVR channel the name must match too.
const RelayDevice* Counterpart(const std::list<RelayDevice>& list, const RelayDevice& device) {
  for (const RelayDevice& other : list) {
    if (!SameDevice(other, device)) continue;
    if (other.nType == kRelayKindCamera) return &other;
    if ((other.nType == kRelayKindVideoServer || other.nType == kRelayKindNvr) &&
        std::strcmp(other.DevName, device.DevName) == 0) {
      return &other;
    }
  }
  return nullptr;
}

// The state a device still listed takes from its old record. The online and
// recording state is the server's, as its new list gives it (a device can come
// online or start recording between two lists without a state event, as an
// NVR's own item does); what this client added is kept: the mark that its video
// is shown here (2, 4). A shown device that the list gives as offline keeps
// its old state until the offline event closes its pane.
int ListedState(int oldState, int listed) {
  if (oldState != 2 && oldState != 4) return listed;
  if (listed == 1) return 2;
  if (listed == 3) return 4;
  return oldState;
}

bool StartsWithChannel(const char* name) { return std::strncmp(name, "Channel", 7) == 0; }

// The relay device a video answer is for: by key; a video server or NVR
// channel also by the answer's channel, a single device the last one listed.
const RelayDevice* AnsweredDevice(const RelayVideoAnswer& answer) {
  const RelayDevice* single = nullptr;
  for (const Vemo2Node& server : g_lstVssInfo) {
    for (const RelayDevice& device : server.lstRelayDevice) {
      if (FormatDeviceKey(device.MACAddr, device.IPAddr) != answer.szDevKey) continue;
      if (device.nType != kRelayKindVideoServer && device.nType != kRelayKindNvr) {
        single = &device;
        continue;
      }
      if (device.nType == kRelayKindNvr && !StartsWithChannel(device.DevName)) continue;
      const int number = device.nType == kRelayKindNvr ? NameNumber(device.DevName) : LastCharNumber(device.DevName);
      if (number == static_cast<int>(answer.dwSubId)) return &device;
    }
  }
  return single;
}

// The device a state event is for: the first with the key's MAC and IP. The
// channels of a video server or NVR share those: among them the event's
// channel picks its own (the last digit of a video server channel's name, the
// number of an NVR channel's "Channel-n"); without a match the first one.
RelayDevice* FindStateDevice(const char* mac, const char* ip, int channel) {
  RelayDevice* first = nullptr;
  for (Vemo2Node& server : g_lstVssInfo) {
    for (RelayDevice& device : server.lstRelayDevice) {
      if (std::strcmp(device.MACAddr, mac) != 0 || std::strcmp(device.IPAddr, ip) != 0) continue;
      if (first == nullptr) first = &device;
      if (channel <= 0) return first;
      const bool ownChannel =
          (device.nType == kRelayKindVideoServer && LastCharNumber(device.DevName) == channel) ||
          (device.nType == kRelayKindNvr && StartsWithChannel(device.DevName) && NameNumber(device.DevName) == channel);
      if (ownChannel) return &device;
    }
  }
  return first;
}

}  // namespace

void CRelayServers::OnVssLoginResult(Vemo2Node* record, LPARAM end) {
  if (end == 1) {
    if (m_host.StopVemo2Login) m_host.StopVemo2Login();
    return;
  }
  if (!record) return;
  const std::unique_ptr<Vemo2Node> owned(record);
  if (Pelk_InviteDeviceList(record->nLoginHandle) != 1) {
    // Nobody will use this login: it ends instead of staying open unseen.
    WriteLog(6, "CVistarelDlg::OnVssLoginResult(): no device list from %s, logged out", record->DevName);
    Pelk_LoginOut(record->nLoginHandle);
    return;
  }
  CsLock lock(&g_csVssInfo);
  g_lstVssInfo.push_back(*record);
}

bool CRelayServers::IsRelayDeviceKnown(const char* ip, const char* mac, LONG excludedLogin, bool inner) const {
  if (!ip || !mac || !*ip || !*mac) return false;
  if (LocalMac() == mac) return true;
  for (const Vemo2Node& server : g_lstVssInfo) {
    if (server.nLoginHandle == excludedLogin) continue;
    for (const RelayDevice& device : server.lstRelayDevice) {
      if (std::strcmp(device.IPAddr, ip) == 0 && std::strcmp(device.MACAddr, mac) == 0) return true;
    }
  }
  if (inner) {
    for (const DevInfo& device : g_lstDevInfo) {
      if (std::strcmp(device.IPAddr, ip) == 0) return true;
    }
  }
  return false;
}

void CRelayServers::OnRelayDeviceList(RelayDeviceListRecord* record, LONG login) {
  if (!record) return;
  const bool inner = Pelk_IsInnerIp(login) != 0;
  bool firstList = false;
  if (Vemo2Node* server = FindServer(login)) {
    firstList = !server->bHasDeviceList;
    std::list<RelayDevice> list;
    const LONG excluded = firstList ? 0 : login;
    for (DWORD i = 0; i < record->dwCount && record->pList; ++i) {
      const RelayDeviceEntry& entry = record->pList[i];
      if (IsRelayDeviceKnown(entry.IPAddr, entry.MACAddr, excluded, inner)) continue;
      RelayDevice device(entry);
      if (!firstList) {
        if (const RelayDevice* old = Counterpart(server->lstRelayDevice, device)) {
          device.nState = ListedState(old->nState, device.nState);
          device.pRelayPlayer = old->pRelayPlayer;
        }
      }
      list.push_back(device);
    }
    if (!firstList) {
      for (const RelayDevice& old : server->lstRelayDevice) {
        if (!old.pRelayPlayer.expired() && !Counterpart(list, old) && m_host.StopVemo2Watch) {
          m_host.StopVemo2Watch(old);
        }
      }
    }
    CsLock lock(&g_csVssInfo);
    server->lstRelayDevice.swap(list);
    server->bHasDeviceList = true;
  }
  Pelk_Delete(record->pList, PELK_DELETE_INNER);
  Pelk_Delete(record, PELK_DELETE_RECORD);
  Refresh();
  // The confirmation is for the user who is on the device page, where relay
  // servers are added; lists that come in while the user is elsewhere (every
  // start logs in to the saved servers) are only shown in the trees.
  if (firstList && m_host.ShowDevicePageMessage && m_host.DevicePageShown && m_host.DevicePageShown()) {
    m_host.ShowDevicePageMessage(kStringListAdded, "");
  }
  if (firstList && m_host.FirstDeviceList) m_host.FirstDeviceList(login);
}

void CRelayServers::OnRelayDeviceState(RelayDeviceStateRecord* record, LONG event) {
  if (!record) return;
  char mac[PELK_KEY_PART_SIZE];
  char ip[PELK_KEY_PART_SIZE];
  SplitDeviceKey(record->szDevKey, mac, ip);
  const int channel = static_cast<int>(record->dwChannel);
  Pelk_Delete(record, PELK_DELETE_RECORD);
  if (Closing()) return;
  RelayDevice* found = FindStateDevice(mac, ip, channel);
  if (!found) return;
  const int before = found->nState;
  int after = before;
  switch (event) {
    case PELK_STATE_OFFLINE:
      if ((before == 2 || before == 4) && m_host.CloseRelayPane) m_host.CloseRelayPane(*found);
      after = 0;
      break;
    case PELK_STATE_ONLINE:
      if (before == 0) after = 1;
      break;
    case PELK_STATE_RECORDING:
      after = before == 2 ? 4 : 3;
      break;
    case PELK_STATE_RECORD_STOPPED:
      after = before == 4 || before == 2 ? 2 : 1;
      break;
    default:
      break;
  }
  {
    // The patrol step reads the states on its own thread.
    CsLock lock(&g_csVssInfo);
    found->nState = after;
  }
  Refresh();
}

void CRelayServers::OnRelayServerClosed(LONG login) {
  if (Closing()) return;
  Vemo2Node* server = FindServer(login);
  if (!server) return;
  WriteLog(6, "CVistarelDlg::OnRelayServerClosed(): the connection to %s ended", server->DevName);
  if (server->bHasDeviceList) {
    for (RelayDevice& device : server->lstRelayDevice) {
      if (m_host.ResetRelayPanes) m_host.ResetRelayPanes(device);
      if (auto player = device.pRelayPlayer.lock()) player->Close();
      device.pRelayPlayer.reset();
      const std::string key = FormatDeviceKey(device.MACAddr, device.IPAddr);
      if (device.nType == kRelayKindCamera) {
        Pelk_ReportDeviceState(key.c_str(), 0, PELK_STATE_OFFLINE);
      } else if (device.nType == kRelayKindVideoServer ||
                 (device.nType == kRelayKindNvr && StartsWithChannel(device.DevName))) {
        Pelk_ReportDeviceState(key.c_str(), NameNumber(device.DevName), PELK_STATE_OFFLINE);
      }
    }
  }
  const std::string name = server->DevName;
  {
    CsLock lock(&g_csVssInfo);
    server->lstRelayDevice.clear();
    g_lstVssInfo.remove_if([login](const Vemo2Node& node) { return node.nLoginHandle == login; });
  }
  if (m_host.ShowDevicePageMessage) m_host.ShowDevicePageMessage(kStringServerDropped, name);
  Refresh();
}

void CRelayServers::OnRelayChannelNotify(RelayVideoAnswer* record) {
  if (!record) return;
  const RelayDevice* chosen = nullptr;
  if (record->AudioParam[0] != 0 || record->VideoParam[0] != 0) chosen = AnsweredDevice(*record);
  if (chosen && m_host.PlaceRelayVideo) {
    m_host.PlaceRelayVideo(RelayPaneKey(*chosen), *chosen, record->dwMainId, record->dwSubId, record->VideoParam,
                           record->AudioParam);
  }
  Pelk_Delete(record, PELK_DELETE_RECORD);
}

void CRelayServers::OnRelayPresetListAnswer(RelayPresetListAnswer* record) {
  if (!record) return;
  char mac[PELK_KEY_PART_SIZE];
  char ip[PELK_KEY_PART_SIZE];
  SplitDeviceKey(record->szDevKey, mac, ip);
  RelayDeviceEntry shown;
  if (m_host.SelectedRelayDevice && m_host.SelectedRelayDevice(shown) && std::strcmp(shown.MACAddr, mac) == 0 &&
      std::strcmp(shown.IPAddr, ip) == 0 &&
      (shown.nType != kRelayKindVideoServer || LastCharNumber(shown.DevName) == static_cast<int>(record->dwChannel)) &&
      m_host.ShowPresetList) {
    record->szText[sizeof record->szText - 1] = '\0';
    m_host.ShowPresetList(record->szText);
  }
  Pelk_Delete(record, PELK_DELETE_RECORD);
}
