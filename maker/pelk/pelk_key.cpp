// The relay device key: "MAC:IP".
#include <cstring>

#include "pelk/pelk.h"

std::string FormatDeviceKey(const char* mac, const char* ip) {
  return std::string(mac ? mac : "") + ":" + (ip ? ip : "");
}

void SplitDeviceKey(const char* key, char* left, char* right) {
  std::memset(left, 0, PELK_KEY_PART_SIZE);
  std::memset(right, 0, PELK_KEY_PART_SIZE);
  if (!key) return;
  const char* colon = std::strchr(key, ':');
  if (!colon || colon == key) return;
  const size_t leftLength = static_cast<size_t>(colon - key);
  std::memcpy(left, key, leftLength < PELK_KEY_PART_SIZE ? leftLength : PELK_KEY_PART_SIZE - 1);
  std::strncpy(right, colon + 1, PELK_KEY_PART_SIZE - 1);
}
