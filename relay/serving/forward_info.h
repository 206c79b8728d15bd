// The forwarding server's saved settings, "Config\ForwardInfo.xml": root
// <Forwarded> with one <Forward IPAddr="" Port="" ChannelCount="" UserCount=""
// Running="0|1" />, and the start of the server from them after start-up.
#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

struct ForwardSettings {
  std::string ipAddr;
  std::string port;
  std::string channelCount;  // forwarded live videos
  std::string userCount;
  int running = 0;
};

extern const char kForwardInfoEmpty[];
constexpr size_t kForwardInfoBlockSize = 2048;

// Reads the first child of the root. A file that cannot be loaded is written
// as the empty document in one 2048-byte block, and FALSE comes back.
BOOL LoadForwardInfo(ForwardSettings* settings);

// This machine's IPv4 addresses: its host name resolved, in the answer's order.
std::vector<std::string> LocalAddresses();

// The first item whose text begins with `saved` (without regard to letter
// case), searched from the second item on and wrapping round to the first;
// -1 when none does.
int FindAddressByPrefix(const std::vector<std::string>& items, const std::string& saved);

// The saved server runs again: when the file says it ran and its address is
// one of this machine's, Pelk_StartTS with the saved values. TRUE when it runs.
BOOL RestartForwarding();
