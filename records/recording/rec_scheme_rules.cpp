#include "records/recording/rec_scheme_rules.h"

#include <cctype>
#include <cstdlib>

#include "core/dev_info.h"
#include "core/rec_scheme.h"

namespace recrules {

std::string StoragePath(const RecSchemeSettings& scheme, int n) {
  const char* path = n == 1 ? scheme.StoragePath1 : n == 2 ? scheme.StoragePath2 : n == 3 ? scheme.StoragePath3 : nullptr;
  if (!path) return {};
  return std::string(path, strnlen(path, sizeof scheme.StoragePath1));
}

StorageDecision DecideStorageSwitch(int current, bool has1, bool has2, bool has3, int storageScheme) {
  const bool stopWhenFull = storageScheme == 0;
  StorageDecision decision;
  switch (current) {
    case 1:
      if (!has2 && !has3 && stopWhenFull) decision.stop = true;
      else if (!has2) decision.target = has3 ? 3 : 0;
      else decision.target = 2;
      break;
    case 2:
      if (!has3 && stopWhenFull) decision.stop = true;
      else if (!has3) decision.target = has1 ? 1 : 0;
      else decision.target = 3;
      break;
    case 3:
      if (stopWhenFull) decision.stop = true;
      else if (!has1) decision.target = has2 ? 2 : 0;
      else decision.target = 1;
      break;
    default:
      break;
  }
  return decision;
}

long ReportChannel(const DevInfo& dev) {
  if (dev.DevType != 0 && dev.DevType != kDevTypeNvr) return 0;
  const std::string name(dev.DevName, strnlen(dev.DevName, sizeof dev.DevName));
  const size_t dash = name.rfind('-');
  const std::string number = dash == std::string::npos ? name : name.substr(dash + 1);
  if (number.empty() || !std::isdigit(static_cast<unsigned char>(number[0]))) return 0;
  return std::strtol(number.c_str(), nullptr, 10);
}

}  // namespace recrules
