// The network settings: the children of networkparam in the whole
// configuration, sent back one by one as sections 12 (network), 13 (DDNS),
// 14 (NTP), 15 (email) and 16 (managehosts). Addresses are 32-bit IPv4 in
// network order.
#pragma once

#include <cstdint>

struct NetworkCfg {
  uint8_t cardtype;  // 1 to 6
  uint8_t upnp;
  uint16_t MTU;
  uint32_t IP;
  uint32_t MASK;
  uint32_t GW;
  uint8_t MAC[6];
  uint16_t DHCP;
  uint16_t svrport;
  uint16_t httpport;
  uint32_t MULTICAST;
  uint32_t DNS1;
  uint32_t DNS2;
};

constexpr const char* kDdnsProvider = "veltar";  // the provider keyword of type 1

struct DdnsCfg {
  uint8_t enable;
  uint8_t type;  // 1 for the provider keyword, 0 for anything else
  uint16_t port;
  char domainname[128];
  char user[16];
  char password[16];
  char devdomainname[128];
};

struct NtpCfg {
  uint8_t enable;
  int8_t timezone;  // signed, so that a zone west of Greenwich goes back as it came
  uint16_t port;
  char server[128];
  uint32_t interval;
};

constexpr int kEmailRecipients = 10;

struct EmailRecipient {
  char name[16];
  char email[32];
};

struct EmailCfg {
  uint8_t enable : 4;
  uint8_t ssl : 4;
  uint8_t attach : 4;
  uint8_t count : 4;  // recipients, 0 to 10
  uint16_t port;
  char server[128];
  char username[16];
  char password[16];
  EmailRecipient recipients[kEmailRecipients];
};

struct ManageHost {
  uint16_t enable;
  uint16_t port;
  uint32_t address;
};

struct ManageHostsCfg {
  ManageHost ipvs;
  ManageHost mobile;
  ManageHost vemo;
};
