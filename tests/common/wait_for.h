// Runs the event loop until `done` holds or the time is up.
#pragma once

#include <functional>

// True when `done` became true within `limitMs` milliseconds.
bool WaitFor(const std::function<bool()>& done, int limitMs = 15000);
