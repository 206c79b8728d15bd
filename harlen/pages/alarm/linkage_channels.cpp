#include "harlen/pages/alarm/linkage_channels.h"

std::array<bool, kLinkChannels> LinkChannelsShown(uint8_t chnNum, const char (&chnArray)[17]) {
  std::array<bool, kLinkChannels> boxes{};
  for (int i = 0; i < chnNum && i < kLinkChannels; ++i) boxes[i] = chnArray[i] == '1';
  return boxes;
}

void StoreLinkChannels(const std::array<bool, kLinkChannels>& boxes, uint8_t& chnNum, char (&chnArray)[17]) {
  for (int i = 0; i < kLinkChannels; ++i) chnArray[i] = boxes[i] ? '1' : '0';
  chnArray[kLinkChannels] = '\0';
  chnNum = kLinkChannels;
}
