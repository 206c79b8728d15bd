// The inner-network rule of Pelk_IsInnerIp.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include "pelk/pelk_inner.h"

namespace {

uint32_t Ip(const char* text) {
  in_addr address{};
  EXPECT_EQ(inet_pton(AF_INET, text, &address), 1) << text;
  return ntohl(address.s_addr);
}

}  // namespace

TEST(PelkInnerTest, SameSubnetOrAPrivateAddressIsInner) {
  struct Case {
    const char* peer;
    const char* local;
    const char* mask;
    bool inner;
  };
  const Case cases[] = {
      // Private, loopback and link-local servers, whatever the local side.
      {"10.1.2.3", "0.0.0.0", "0.0.0.0", true},
      {"172.16.0.1", "203.0.113.5", "255.255.255.0", true},
      {"172.31.255.254", "0.0.0.0", "0.0.0.0", true},
      {"192.168.7.7", "0.0.0.0", "0.0.0.0", true},
      {"127.0.0.1", "127.0.0.1", "255.0.0.0", true},
      {"169.254.10.1", "0.0.0.0", "0.0.0.0", true},
      // Next to the private ranges: public.
      {"172.15.255.255", "0.0.0.0", "0.0.0.0", false},
      {"172.32.0.0", "0.0.0.0", "0.0.0.0", false},
      {"192.169.0.1", "0.0.0.0", "0.0.0.0", false},
      {"11.0.0.1", "0.0.0.0", "0.0.0.0", false},
      // A public server in the local interface's own subnet is inner ...
      {"203.0.113.77", "203.0.113.5", "255.255.255.0", true},
      {"198.51.100.200", "198.51.100.9", "255.255.255.128", false},  // ... the other half of a /25 is not
      {"198.51.100.100", "198.51.100.9", "255.255.255.128", true},
      // Unknown mask or local address: only the private ranges count.
      {"203.0.113.77", "203.0.113.5", "0.0.0.0", false},
      {"203.0.113.77", "0.0.0.0", "255.255.255.0", false},
      {"0.0.0.0", "0.0.0.0", "0.0.0.0", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pelk::IsInnerNetwork(Ip(c.peer), Ip(c.local), Ip(c.mask)), c.inner)
        << c.peer << " from " << c.local << "/" << c.mask;
  }
}

TEST(PelkInnerTest, TheMaskComesFromTheInterfaceThatHoldsTheAddress) {
  EXPECT_EQ(pelk::InterfaceMask(Ip("127.0.0.1")), Ip("255.0.0.0"));
  EXPECT_EQ(pelk::InterfaceMask(0), 0u);
  EXPECT_EQ(pelk::InterfaceMask(Ip("192.0.2.254")), 0u);  // a documentation address no interface holds
  // Every IPv4 interface of this machine gives its own mask back.
  ifaddrs* list = nullptr;
  ASSERT_EQ(getifaddrs(&list), 0);
  for (const ifaddrs* item = list; item != nullptr; item = item->ifa_next) {
    if (item->ifa_addr == nullptr || item->ifa_netmask == nullptr || item->ifa_addr->sa_family != AF_INET) continue;
    const uint32_t address = ntohl(reinterpret_cast<const sockaddr_in*>(item->ifa_addr)->sin_addr.s_addr);
    const uint32_t mask = ntohl(reinterpret_cast<const sockaddr_in*>(item->ifa_netmask)->sin_addr.s_addr);
    EXPECT_EQ(pelk::InterfaceMask(address), mask) << item->ifa_name;
  }
  freeifaddrs(list);
}
