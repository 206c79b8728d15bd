// The keys that name a relay device in the live grid's panes and in patrol
// plans: "MAC:IP:name" for a relay NVR channel (kind 4), "MAC:name" for any
// other relay device. A pane that waits for a relay video (a patrol step) is
// found by it when the video's answer comes.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct RelayDevice;

std::string RelayPaneKey(const RelayDevice& device);

// The first device of the logged-in relay servers that the key names, or
// null. UI thread (which changes the lists), or a caller holding g_csVssInfo.
const RelayDevice* FindRelayDeviceByPaneKey(const std::string& key);

// The state word of the device the key names, -1 when none does. Any thread:
// reads under g_csVssInfo.
int RelayPaneKeyState(const std::string& key);

// The relay devices a patrol point may name, (label, key) in list order: every
// device of every logged-in server, a relay node excepted. Under g_csVssInfo.
std::vector<std::pair<std::string, std::string>> RelayPatrolChoices();
