#include "live/patrol/patrol_keys.h"

#include <cstdlib>

#include "core/app_data.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"

std::string LocalDeviceKey(const DevInfo& dev) {
  if (dev.DevType == kDevTypeNvr) return FixedText(dev.IPAddr) + ":" + FixedText(dev.DevName);
  return FixedText(dev.DevName);
}

bool PatrolKeyIsLocal(const std::string& key) {
  return key.find(':') == std::string::npos || FindLocalDeviceByKey(key) != nullptr;
}

DevInfo* FindLocalDeviceByKey(const std::string& key) {
  for (DevInfo& dev : g_lstDevInfo) {
    if (LocalDeviceKey(dev) == key) return &dev;
  }
  return nullptr;
}

int PatrolRelayChannel(const std::string& key) {
  const size_t colon = key.find(':');
  if (colon == std::string::npos) return 0;
  const size_t dash = key.find('-', colon + 1);
  if (dash == std::string::npos) return 0;
  return std::atoi(key.c_str() + dash + 1);
}

bool PatrolKeyOnline(const std::string& key, const RelayKeyStateFn& relayState) {
  {
    CsLock lock(&g_csAppData);
    if (PatrolKeyIsLocal(key)) {
      const DevInfo* dev = FindLocalDeviceByKey(key);
      return dev && dev->nOnline != 0;
    }
  }
  return relayState && relayState(key) > 0;
}
