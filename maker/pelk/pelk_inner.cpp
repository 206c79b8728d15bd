#include "pelk/pelk_inner.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

namespace pelk {

namespace {

bool IsPrivateAddress(uint32_t address) {
  const uint32_t a = address >> 24;
  const uint32_t b = (address >> 16) & 0xFF;
  return a == 10 || a == 127 || (a == 172 && b >= 16 && b <= 31) || (a == 192 && b == 168) ||
         (a == 169 && b == 254);
}

}  // namespace

bool IsInnerNetwork(uint32_t peer, uint32_t local, uint32_t localMask) {
  if (peer == 0) return false;
  if (IsPrivateAddress(peer)) return true;
  return local != 0 && localMask != 0 && (peer & localMask) == (local & localMask);
}

uint32_t InterfaceMask(uint32_t local) {
  if (local == 0) return 0;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return 0;
  uint32_t mask = 0;
  for (const ifaddrs* item = list; item != nullptr && mask == 0; item = item->ifa_next) {
    if (item->ifa_addr == nullptr || item->ifa_netmask == nullptr || item->ifa_addr->sa_family != AF_INET) continue;
    const auto* address = reinterpret_cast<const sockaddr_in*>(item->ifa_addr);
    if (ntohl(address->sin_addr.s_addr) != local) continue;
    mask = ntohl(reinterpret_cast<const sockaddr_in*>(item->ifa_netmask)->sin_addr.s_addr);
  }
  freeifaddrs(list);
  return mask;
}

}  // namespace pelk
