#include "relay/serving/relay_device_list.h"

#include <cstring>

#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "relay/login/vss_info.h"

namespace {

constexpr int kDevTypeDecoder = 2;

// Copies the records of `list` whose parent id is `parentId` beneath the node
// `newParent`, depth first, giving each a new id.
void AppendBeneath(const std::list<RelayDevice>& list, int parentId, int newParent,
                   std::vector<RelayDeviceEntry>& out, size_t* next, int* runningId) {
  for (const RelayDevice& device : list) {
    if (device.nParentId != parentId || *next >= out.size()) continue;
    RelayDeviceEntry& entry = out[(*next)++];
    entry = static_cast<const RelayDeviceEntry&>(device);
    if (entry.nState == 2) entry.nState = 1;
    if (entry.nState == 4) entry.nState = 3;
    entry.nParentId = newParent;
    entry.nId = (*runningId)++;
    if (device.nType == kRelayKindNode) AppendBeneath(list, device.nId, entry.nId, out, next, runningId);
  }
}

}  // namespace

std::vector<RelayDeviceEntry> BuildServedDeviceList(const std::list<DevInfo>& devices,
                                                    const std::list<Vemo2Node>& servers, const char* localMac) {
  size_t count = servers.size();
  for (const Vemo2Node& server : servers) count += server.lstRelayDevice.size();
  for (const DevInfo& device : devices) count += device.DevType != kDevTypeDecoder ? 1 : 0;
  std::vector<RelayDeviceEntry> out(count);
  size_t next = 0;
  int runningId = 1;
  for (const DevInfo& device : devices) {
    if (device.DevType == kDevTypeDecoder) continue;
    RelayDeviceEntry& entry = out[next++];
    entry.nType = device.DevType;
    CopyFixedText(entry.IPAddr, device.IPAddr);
    CopyFixedText(entry.DevName, device.DevName);
    CopyFixedText(entry.DevSN, device.DevSN);
    CopyFixedText(entry.MACAddr, localMac);
    entry.nParentId = 0;
    entry.nId = runningId++;
    entry.nState = device.nOnline == 0 ? 0 : device.bRecording ? 3 : 1;
    entry.nStream = std::strcmp(device.DefRes, "cif") == 0 ? 0 : 1;
  }
  for (const Vemo2Node& server : servers) {
    RelayDeviceEntry& node = out[next++];
    node.nType = kRelayKindNode;
    CopyFixedText(node.DevName, server.DevName);
    CopyFixedText(node.IPAddr, server.IPAddr);
    node.nId = runningId++;
    AppendBeneath(server.lstRelayDevice, 0, node.nId, out, &next, &runningId);
  }
  return out;
}

void OnRelayGetDeviceList(DWORD word, const char* localMac) {
  const std::vector<RelayDeviceEntry> list = BuildServedDeviceList(g_lstDevInfo, g_lstVssInfo, localMac);
  Pelk_RspDeviceList(PELK_STATUS_ANSWER, word, list.data(), static_cast<LONG>(list.size()));
}
