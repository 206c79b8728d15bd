// The address children that the network element and a camera search entry
// share: IP, MASK, GW and HW (required), DNS1 and DNS2 (required, but an
// address that does not read only leaves 0).
#pragma once

#include <cstdint>

class TiXmlElement;

// IP, MASK and GW (IPv4 elements) and HW (a0 to a5) of parent: 0, or -1 with
// the trace naming what is missing or does not read.
int LoadHostAddresses(const TiXmlElement* parent, uint32_t& ip, uint32_t& mask, uint32_t& gateway, uint8_t mac[6]);

// A required IPv4 child that may fail to read: -1 (trace "<name> element not
// found. return.") when missing; an address that does not read is traced
// ("get <name> IPV4  error. return.") and leaves 0.
int LoadLenientIpv4Child(const TiXmlElement* parent, const char* name, uint32_t& address);
