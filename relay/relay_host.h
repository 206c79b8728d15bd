// What the relay service asks of the main window: the main window fills these
// hooks with its own members. An empty hook is skipped.
#pragma once

#include <functional>

struct RelayHost {
  // Rebuilds the image of one device's item in the device lists (device name).
  std::function<void(const char* devName)> UpdateDevItem;
  // Stops and deletes the start-up thread and clears its slot.
  std::function<void()> StopStartThread;
};
