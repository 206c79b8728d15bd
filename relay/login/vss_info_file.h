// "Config\VssInfo.xml" as the relay login reads it: any root element; each
// child element is one relay server with the attributes DevName, IPAddr,
// LoginName, Password (texts; a missing one reads as empty) and nPort
// (decimal; missing reads as 0).
#pragma once

#include <string>
#include <vector>

struct VssServerEntry {
  char DevName[256] = {};
  char IPAddr[256] = {};
  char LoginName[260] = {};
  char Password[260] = {};
  int nPort = 0;
};

// The text that replaces a file that cannot be loaded (written as one block
// of 2048 bytes: the text and zero bytes).
extern const char kVssInfoEmpty[];
constexpr size_t kVssInfoBlockSize = 2048;

std::string VssInfoPath();

// Reads the servers in document order. A file that cannot be loaded is
// replaced by the empty list (when it can be written) and gives false.
bool ReadVssInfoFile(std::vector<VssServerEntry>* servers);
