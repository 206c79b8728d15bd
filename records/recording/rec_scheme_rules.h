// Small rules of the recording: scheme paths, the storage switch table, text
// fields, the relay channel of a device.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

struct DevInfo;
struct RecSchemeSettings;

namespace recrules {

// Storage path 1, 2 or 3 of a scheme; empty when not set or n is another number.
std::string StoragePath(const RecSchemeSettings& scheme, int n);

// What a device does when the drive of its current path (1 to 3) runs short:
// stop (the scheme stops when full and has no later path), or go on with path
// `target`; neither (target 0): only one path is set, recording goes on.
struct StorageDecision {
  bool stop = false;
  int target = 0;
};
StorageDecision DecideStorageSwitch(int current, bool has1, bool has2, bool has3, int storageScheme);

// The channel reported to the relay with a device's record state: for video
// servers and NVR channels the number after the last '-' of DevName (the whole
// name without '-'), 0 when that does not start with a digit; 0 for others.
long ReportChannel(const DevInfo& dev);

template <size_t N, size_t M>
bool SameText(const char (&a)[N], const char (&b)[M]) {
  return std::strncmp(a, b, N < M ? N : M) == 0;
}

template <size_t N>
void CopyText(char (&out)[N], const std::string& text) {
  const size_t n = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace recrules
