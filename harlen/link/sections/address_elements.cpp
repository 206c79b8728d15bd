#include "harlen/link/sections/address_elements.h"

#include <tinyxml.h>

#include "harlen/link/xml/harlen_trace.h"
#include "harlen/link/xml/section_xml.h"

namespace {

int LoadRequiredIpv4(const TiXmlElement* parent, const char* name, const char* missing, const char* unreadable,
                     uint32_t& address) {
  const TiXmlElement* e = parent->FirstChildElement(name);
  if (e == nullptr) {
    HarlenTrace("%s", missing);
    return -1;
  }
  if (LoadIpv4Element(e, address) != 0) {
    HarlenTrace("%s", unreadable);
    return -1;
  }
  return 0;
}

}  // namespace

int LoadHostAddresses(const TiXmlElement* parent, uint32_t& ip, uint32_t& mask, uint32_t& gateway, uint8_t mac[6]) {
  if (LoadRequiredIpv4(parent, "IP", "IP element not found. return.", "get IPV4  error. return.", ip) != 0 ||
      LoadRequiredIpv4(parent, "MASK", "MASK element not found. return.", "get mask IPV4  error. return.", mask) != 0 ||
      LoadRequiredIpv4(parent, "GW", "gateway element not found. return.", "get mask IPV4  error. return.", gateway) != 0) {
    return -1;
  }
  const TiXmlElement* hw = parent->FirstChildElement("HW");
  if (hw == nullptr) {
    HarlenTrace("HW element not found. return.");
    return -1;
  }
  if (LoadHwElement(hw, mac) != 0) {
    HarlenTrace("get HW address  error. return.");
    return -1;
  }
  return 0;
}

int LoadLenientIpv4Child(const TiXmlElement* parent, const char* name, uint32_t& address) {
  const TiXmlElement* e = parent->FirstChildElement(name);
  if (e == nullptr) {
    HarlenTrace("%s element not found. return.", name);
    return -1;
  }
  uint32_t value = 0;
  if (LoadIpv4Element(e, value) != 0) HarlenTrace("get %s IPV4  error. return.", name);
  address = value;
  return 0;
}
