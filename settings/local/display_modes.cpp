#include "settings/local/display_modes.h"

namespace {
constexpr int kFallbackPanes = 4;
constexpr int kFallbackIndex = 1;
}  // namespace

int DisplayModeIndex(int panes) {
  for (size_t i = 0; i < kDisplayModes.size(); ++i) {
    if (kDisplayModes[i].panes == panes) return static_cast<int>(i);
  }
  return kFallbackIndex;
}

int DisplayModePanes(int index) {
  if (index < 0 || index >= static_cast<int>(kDisplayModes.size())) return kFallbackPanes;
  return kDisplayModes[index].panes;
}
