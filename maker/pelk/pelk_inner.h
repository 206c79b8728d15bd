// Whether a relay server is reached on the inner network: the rule behind
// Pelk_IsInnerIp.
//
// A server is on the inner network when its address lies in the subnet of
// the local interface address that the connection goes out from (the
// interface's own netmask), or when its address is a private one: 10/8,
// 172.16/12, 192.168/16, loopback 127/8 or link-local 169.254/16. A viewing
// client uses it to tell a server in its own building (whose devices may be
// its own local devices too) from one reached across the Internet.
#pragma once

#include <cstdint>

namespace pelk {

// Addresses and masks in host byte order; 0 = unknown (a mask of 0 never
// makes two addresses one subnet).
bool IsInnerNetwork(uint32_t peer, uint32_t local, uint32_t localMask);

// The netmask of the interface that holds `local`, 0 when no interface does.
uint32_t InterfaceMask(uint32_t local);

}  // namespace pelk
