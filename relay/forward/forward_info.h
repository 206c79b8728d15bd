// The forwarding server's saved settings, "Config\ForwardInfo.xml": root
// <Forwarded> with one <Forward IPAddr="" Port="" ChannelCount="" UserCount=""
// Running="0|1" /> (the texts as typed on the forwarding page).
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

// Reads the first child of the root (texts up to 255 bytes). A file that
// cannot be loaded is written as the empty document in one 2048-byte block,
// and FALSE comes back.
BOOL LoadForwardInfo(ForwardSettings* settings);

// Replaces the root's children with one Forward element of `settings`. A file
// that cannot be loaded is not written; the new text replaces the old file
// only once it is written whole. FALSE when nothing was saved.
BOOL SaveForwardInfo(const ForwardSettings& settings);

// This machine's IPv4 addresses: its host name resolved, in the answer's order.
std::vector<std::string> LocalAddresses();

// The first item whose text begins with `saved` (without regard to letter
// case), searched from the second item on and wrapping round to the first;
// -1 when none does.
int FindAddressByPrefix(const std::vector<std::string>& items, const std::string& saved);
