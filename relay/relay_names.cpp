#include "relay/relay_names.h"

#include <cstdlib>
#include <cstring>

int NameNumber(const char* name) {
  if (!name) return 0;
  const char* dash = std::strrchr(name, '-');
  return std::atoi(dash ? dash + 1 : name);
}

int LastCharNumber(const char* name) {
  if (!name || !*name) return 0;
  const char last = name[std::strlen(name) - 1];
  return last >= '0' && last <= '9' ? last - '0' : 0;
}
