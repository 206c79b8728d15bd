#include "relay/servers/relay_pane_keys.h"

#include "relay/login/vss_info.h"

std::string RelayPaneKey(const RelayDevice& device) {
  if (device.nType == kRelayKindNvr) return std::string(device.MACAddr) + ":" + device.IPAddr + ":" + device.DevName;
  return std::string(device.MACAddr) + ":" + device.DevName;
}

const RelayDevice* FindRelayDeviceByPaneKey(const std::string& key) {
  for (const Vemo2Node& server : g_lstVssInfo) {
    for (const RelayDevice& device : server.lstRelayDevice) {
      if (device.nType != kRelayKindNode && RelayPaneKey(device) == key) return &device;
    }
  }
  return nullptr;
}

int RelayPaneKeyState(const std::string& key) {
  CsLock lock(&g_csVssInfo);
  const RelayDevice* device = FindRelayDeviceByPaneKey(key);
  return device != nullptr ? device->nState : -1;
}

std::vector<std::pair<std::string, std::string>> RelayPatrolChoices() {
  std::vector<std::pair<std::string, std::string>> choices;
  CsLock lock(&g_csVssInfo);
  for (const Vemo2Node& server : g_lstVssInfo) {
    for (const RelayDevice& device : server.lstRelayDevice) {
      if (device.nType == kRelayKindNode) continue;
      choices.emplace_back(std::string(server.DevName) + "-" + device.DevName, RelayPaneKey(device));
    }
  }
  return choices;
}
