// The device list this client serves to a peer (WM_RELAY_GET_DEVICE_LIST):
// its own devices (decoders left out), then each relay server it is logged in
// to as a relay node with that server's devices beneath it.
#pragma once

#include <list>
#include <vector>

#include "pelk/pelk.h"

struct DevInfo;
struct Vemo2Node;

// The list as sent: the count is the number of servers, the sizes of their
// lists and the local devices that are not decoders; entries that the walk
// does not reach (their parent chain never reaches the top) stay zero at the end.
std::vector<RelayDeviceEntry> BuildServedDeviceList(const std::list<DevInfo>& devices,
                                                    const std::list<Vemo2Node>& servers, const char* localMac);

// Answers the peer's request word with the list of g_lstDevInfo and g_lstVssInfo.
void OnRelayGetDeviceList(DWORD word, const char* localMac);
