// The TV wall's layout: the monitors drawn on the wall's canvas. The layout
// window edits it; the TV wall subsystem fills it.
#pragma once

#include <vector>

#include "platform/win_types.h"

struct TVWallLayout {
  std::vector<RECT> Monitors;
};
