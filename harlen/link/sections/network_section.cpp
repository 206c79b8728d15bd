// The network sections: networkparam of the whole configuration and its
// children, sent back as sections 12 to 16.
//
//   network      interface: cardtype, DHCP, svrport, httpport, upnp, MTU;
//                  IP, MASK, GW (IPv4 elements), HW
//                DNS1, DNS2, MULTICAST (IPv4 elements)
//   DDNS         enable, type, domainname, port, user, password, devdomainname
//   NTP          enable, server, port, interval, timezone
//   email        enable, server, port, username, password, ssl, attach;
//                  recipient: name, email (at most 10)
//   managehosts  ipvs, vemo, mobile: enable, ipv4, port
#include <strings.h>
#include <tinyxml.h>

#include <chrono>
#include <random>
#include <string>

#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/address_elements.h"
#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/sections/section_rules.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/section_xml.h"
#include "harlen/link/xml/text_codec.h"

namespace {

// A MAC address of six zero bytes is replaced by a random one whose first byte stays 0.
void ReplaceZeroMac(uint8_t mac[6]) {
  for (int i = 0; i < 6; ++i) {
    if (mac[i] != 0) return;
  }
  std::minstd_rand random(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()));
  for (int i = 1; i < 6; ++i) mac[i] = static_cast<uint8_t>(random() + static_cast<unsigned>(i));
}

// One management host: its address as attribute ipv4 of its own element.
void LoadManageHost(const TiXmlElement* e, ManageHost& host, const char* addressError) {
  host.enable = AttrInt(e, "enable") > 0 ? 1 : 0;
  uint32_t address = 0;
  if (LoadIpv4Element(e, address) != 0) HarlenTrace("%s", addressError);
  host.address = address;
  const int32_t port = AttrInt(e, "port");
  if (port < 1 || port > 65534) HarlenTrace("ipvs port %d error. set to 0", port);
  host.port = static_cast<uint16_t>(InRange(port, 1, 65534, 0));
}

TiXmlElement* GenManageHost(const char* name, const ManageHost& host) {
  auto* e = new TiXmlElement(name);
  e->SetAttribute("enable", host.enable);
  e->SetAttribute("ipv4", IpToString(host.address).c_str());
  e->SetAttribute("port", host.port);
  return e;
}

// A required child loaded by `load`: -1 with the traces of a missing or failing one.
template <class Load>
int LoadRequired(const TiXmlElement* parent, const char* name, const char* failed, Load load) {
  const TiXmlElement* e = parent->FirstChildElement(name);
  if (e == nullptr) {
    HarlenTrace("%s element not found. return.", name);
    return -1;
  }
  if (load(e) != 0) {
    HarlenTrace("%s", failed);
    return -1;
  }
  return 0;
}

}  // namespace

int CHarlenLoader::LoadNetworkParam(const TiXmlElement* networkparam, NetworkCfg& network, DdnsCfg& ddns,
                                    NtpCfg& ntp, EmailCfg& email, ManageHostsCfg& hosts, NvrLoadedSections* loaded) {
  TraceSectionBanner("CHarlenLoader::LoadNetworkParam");
  if (networkparam == nullptr) return -1;
  // Each child is marked as its loader ends; a child after a failing one is not
  // read, so its record and its mark stay as they were.
  auto mark = [loaded](int section, int result) {
    if (loaded != nullptr) loaded->Mark(section, result == 0);
    return result;
  };
  if (mark(NVR_SECTION_NETWORK, LoadRequired(networkparam, "network", "xml load network cfg error\n",
                                             [&](const TiXmlElement* e) { return LoadConfNetwork(e, network); })) != 0 ||
      mark(NVR_SECTION_DDNS, LoadRequired(networkparam, "DDNS", "xml load DDNS cfg error\n",
                                          [&](const TiXmlElement* e) { return LoadConfDdns(e, ddns); })) != 0 ||
      mark(NVR_SECTION_NTP, LoadRequired(networkparam, "NTP", "xml load NTP cfg error\n",
                                         [&](const TiXmlElement* e) { return LoadConfNtp(e, ntp); })) != 0 ||
      mark(NVR_SECTION_EMAIL, LoadRequired(networkparam, "email", "xml load email cfg error\n",
                                           [&](const TiXmlElement* e) { return LoadConfEmail(e, email); })) != 0) {
    return -1;
  }
  const TiXmlElement* managehosts = networkparam->FirstChildElement("managehosts");
  if (managehosts != nullptr && mark(NVR_SECTION_MANAGEHOSTS, LoadConfManageHosts(managehosts, hosts)) != 0) {
    HarlenTrace("xml load ipc channel cfg error\n");  // the NVR's settings load all the same
  }
  return 0;
}

int CHarlenLoader::LoadConfNetwork(const TiXmlElement* network, NetworkCfg& cfg) {
  TraceElementBanner("CHarlenLoader::LoadConfNetwork");
  ClearRecord(cfg);
  const TiXmlElement* iface = network->FirstChildElement("interface");
  if (iface == nullptr) {
    HarlenTrace("interface element not found. return.");
    return -1;
  }
  const int32_t cardtype = AttrInt(iface, "cardtype");
  if (cardtype < 1 || cardtype > 6) {
    HarlenTrace("cardtype %d error.", cardtype);
    return -1;
  }
  cfg.cardtype = static_cast<uint8_t>(cardtype);
  cfg.DHCP = static_cast<uint16_t>(InRange(AttrInt(iface, "DHCP"), 0, 1, 1));
  const int32_t svrport = AttrInt(iface, "svrport");
  if (svrport < 1 || svrport > 65534) {
    HarlenTrace("svrport %d error.", svrport);
    return -1;
  }
  cfg.svrport = static_cast<uint16_t>(svrport);
  const int32_t httpport = AttrInt(iface, "httpport");
  if (httpport < 1 || httpport > 65534) {
    HarlenTrace("httpport %d error.", httpport);
    return -1;
  }
  cfg.httpport = static_cast<uint16_t>(httpport);
  cfg.upnp = static_cast<uint8_t>(InRange(AttrInt(iface, "upnp"), 0, 1, 1));
  cfg.MTU = static_cast<uint16_t>(AttrInt(iface, "MTU"));
  if (LoadHostAddresses(iface, cfg.IP, cfg.MASK, cfg.GW, cfg.MAC) != 0) return -1;
  ReplaceZeroMac(cfg.MAC);
  if (LoadLenientIpv4Child(network, "DNS1", cfg.DNS1) != 0 || LoadLenientIpv4Child(network, "DNS2", cfg.DNS2) != 0 ||
      LoadLenientIpv4Child(network, "MULTICAST", cfg.MULTICAST) != 0) {
    return -1;
  }
  HarlenTrace("cardtype %u DHCP %u svrport %u httpport %u upnp %u MTU %u IP %s MASK %s GW %s "
              "MAC %02X-%02X-%02X-%02X-%02X-%02X DNS1 %s DNS2 %s MULTICAST %s",
              cfg.cardtype, cfg.DHCP, cfg.svrport, cfg.httpport, cfg.upnp, cfg.MTU, IpToString(cfg.IP).c_str(),
              IpToString(cfg.MASK).c_str(), IpToString(cfg.GW).c_str(), cfg.MAC[0], cfg.MAC[1], cfg.MAC[2],
              cfg.MAC[3], cfg.MAC[4], cfg.MAC[5], IpToString(cfg.DNS1).c_str(), IpToString(cfg.DNS2).c_str(),
              IpToString(cfg.MULTICAST).c_str());
  return 0;
}

int CHarlenLoader::LoadConfDdns(const TiXmlElement* ddns, DdnsCfg& cfg) {
  TraceElementBanner("CHarlenLoader::LoadConfDdns");
  ClearRecord(cfg);
  cfg.enable = AsFlag(AttrInt(ddns, "enable"));
  const char* type = ddns->Attribute("type");
  cfg.type = type != nullptr && strcasecmp(type, kDdnsProvider) == 0 ? 1 : 0;
  cfg.port = static_cast<uint16_t>(AttrInt(ddns, "port"));
  AttrText(ddns, "domainname", cfg.domainname);
  AttrText(ddns, "user", cfg.user);
  AttrText(ddns, "password", cfg.password);
  AttrText(ddns, "devdomainname", cfg.devdomainname);
  HarlenTrace("enable %u type %u domainname %s port %u user %s devdomainname %s", cfg.enable, cfg.type,
              cfg.domainname, cfg.port, cfg.user, cfg.devdomainname);
  return 0;
}

int CHarlenLoader::LoadConfNtp(const TiXmlElement* ntp, NtpCfg& cfg) {
  TraceElementBanner("CHarlenLoader::LoadConfNtp");
  ClearRecord(cfg);
  cfg.enable = AsFlag(AttrInt(ntp, "enable"));
  AttrText(ntp, "server", cfg.server);
  cfg.port = static_cast<uint16_t>(AttrInt(ntp, "port"));
  cfg.interval = static_cast<uint32_t>(AttrInt(ntp, "interval"));
  cfg.timezone = static_cast<int8_t>(AttrInt(ntp, "timezone"));
  HarlenTrace("enable %u server %s port %u interval %u timezone %d", cfg.enable, cfg.server, cfg.port, cfg.interval,
              cfg.timezone);
  return 0;
}

int CHarlenLoader::LoadConfEmail(const TiXmlElement* email, EmailCfg& cfg) {
  TraceElementBanner("CHarlenLoader::LoadConfEmail");
  ClearRecord(cfg);
  cfg.enable = AsFlag(AttrInt(email, "enable"));
  cfg.ssl = AsFlag(AttrInt(email, "ssl"));
  cfg.attach = AsFlag(AttrInt(email, "attach"));
  cfg.port = static_cast<uint16_t>(AttrInt(email, "port"));
  AttrText(email, "server", cfg.server);
  AttrText(email, "username", cfg.username);
  AttrText(email, "password", cfg.password);
  const unsigned count = ForEachRow(email, "recipient", kEmailRecipients, [&](const TiXmlElement* row, unsigned taken) {
    AttrText(row, "name", cfg.recipients[taken].name);
    AttrText(row, "email", cfg.recipients[taken].email);
    return Row::kTaken;
  });
  cfg.count = static_cast<uint8_t>(count);
  HarlenTrace("enable %u server %s port %u username %s ssl %u attach %u recipients %u", cfg.enable, cfg.server,
              cfg.port, cfg.username, cfg.ssl, cfg.attach, count);
  return 0;
}

int CHarlenLoader::LoadConfManageHosts(const TiXmlElement* managehosts, ManageHostsCfg& cfg) {
  TraceElementBanner("CHarlenLoader::LoadConfManageHosts");
  ClearRecord(cfg);
  const TiXmlElement* ipvs = managehosts->FirstChildElement("ipvs");
  if (ipvs == nullptr) {
    HarlenTrace("ipvs element not found. return.");
    return -1;
  }
  LoadManageHost(ipvs, cfg.ipvs, "get ipvs host error. set to 0.");
  const TiXmlElement* mobile = managehosts->FirstChildElement("mobile");
  if (mobile == nullptr) {
    HarlenTrace("mobile element not found. return.");
    return -1;
  }
  LoadManageHost(mobile, cfg.mobile, "get mobile host error. set to 0.");
  const TiXmlElement* vemo = managehosts->FirstChildElement("vemo");
  if (vemo == nullptr) {
    HarlenTrace("ipvs element not found. return.");
    return -1;
  }
  LoadManageHost(vemo, cfg.vemo, "get IPVS host error. set to 0.");
  HarlenTrace("ipvs %u %s:%u mobile %u %s:%u vemo %u %s:%u", cfg.ipvs.enable, IpToString(cfg.ipvs.address).c_str(),
              cfg.ipvs.port, cfg.mobile.enable, IpToString(cfg.mobile.address).c_str(), cfg.mobile.port,
              cfg.vemo.enable, IpToString(cfg.vemo.address).c_str(), cfg.vemo.port);
  return 0;
}

// ---- builders

TiXmlElement* CHarlenGenXMLNode::GenNetwork(const NetworkCfg& cfg) {
  auto* root = new TiXmlElement("network");
  TiXmlElement* iface = AddChild(root, "interface");
  iface->SetAttribute("cardtype", cfg.cardtype);
  iface->SetAttribute("DHCP", cfg.DHCP);
  iface->SetAttribute("svrport", cfg.svrport);
  iface->SetAttribute("httpport", cfg.httpport);
  iface->SetAttribute("upnp", cfg.upnp);
  iface->SetAttribute("MTU", cfg.MTU);
  AddChild(iface, GenIpv4Element("IP", cfg.IP));
  AddChild(iface, GenIpv4Element("MASK", cfg.MASK));
  AddChild(iface, GenIpv4Element("GW", cfg.GW));
  AddChild(iface, GenHwElement(cfg.MAC));
  AddChild(root, GenIpv4Element("DNS1", cfg.DNS1));
  AddChild(root, GenIpv4Element("DNS2", cfg.DNS2));
  AddChild(root, GenIpv4Element("MULTICAST", cfg.MULTICAST));
  return root;
}

TiXmlElement* CHarlenGenXMLNode::GenDdns(const DdnsCfg& cfg) {
  auto* e = new TiXmlElement("DDNS");
  e->SetAttribute("enable", cfg.enable);
  e->SetAttribute("type", cfg.type == 1 ? kDdnsProvider : "unknown");
  SetAttrText(e, "domainname", cfg.domainname);
  e->SetAttribute("port", cfg.port);
  SetAttrText(e, "user", cfg.user);
  SetAttrText(e, "password", cfg.password);
  SetAttrText(e, "devdomainname", cfg.devdomainname);
  return e;
}

TiXmlElement* CHarlenGenXMLNode::GenNtp(const NtpCfg& cfg) {
  auto* e = new TiXmlElement("NTP");
  e->SetAttribute("enable", cfg.enable);
  SetAttrText(e, "server", cfg.server);
  e->SetAttribute("port", cfg.port);
  SetAttrUint(e, "interval", cfg.interval);
  e->SetAttribute("timezone", cfg.timezone);
  return e;
}

TiXmlElement* CHarlenGenXMLNode::GenEmail(const EmailCfg& cfg) {
  auto* e = new TiXmlElement("email");
  e->SetAttribute("enable", cfg.enable);
  SetAttrText(e, "server", cfg.server);
  e->SetAttribute("port", cfg.port);
  SetAttrText(e, "username", cfg.username);
  SetAttrText(e, "password", cfg.password);
  e->SetAttribute("ssl", cfg.ssl);
  e->SetAttribute("attach", cfg.attach);
  for (unsigned i = 0; i < Capped(cfg.count, kEmailRecipients); ++i) {
    TiXmlElement* row = AddChild(e, "recipient");
    SetAttrText(row, "name", cfg.recipients[i].name);
    SetAttrText(row, "email", cfg.recipients[i].email);
  }
  return e;
}

TiXmlElement* CHarlenGenXMLNode::GenManageHosts(const ManageHostsCfg& cfg) {
  auto* root = new TiXmlElement("managehosts");
  AddChild(root, GenManageHost("ipvs", cfg.ipvs));
  AddChild(root, GenManageHost("vemo", cfg.vemo));
  AddChild(root, GenManageHost("mobile", cfg.mobile));
  return root;
}

int CHarlenSaveString::SaveConfNetwork(const NetworkCfg& cfg, std::string& text) {
  text = PrintSectionText(GenNetwork(cfg));
  return 0;
}

int CHarlenSaveString::SaveConfDdns(const DdnsCfg& cfg, std::string& text) {
  text = PrintSectionText(GenDdns(cfg));
  return 0;
}

int CHarlenSaveString::SaveConfNtp(const NtpCfg& cfg, std::string& text) {
  text = PrintSectionText(GenNtp(cfg));
  return 0;
}

int CHarlenSaveString::SaveConfEmail(const EmailCfg& cfg, std::string& text) {
  text = PrintSectionText(GenEmail(cfg));
  return 0;
}

int CHarlenSaveString::SaveConfManageHosts(const ManageHostsCfg& cfg, std::string& text) {
  text = PrintSectionText(GenManageHosts(cfg));
  return 0;
}
