#include "live/grid/stream_address.h"

#include <algorithm>
#include <cstring>

#include "core/dev_info.h"

namespace streamaddr {

namespace {

std::string HostPort(const char* scheme, const DevInfo& dev) {
  const size_t ipLength = strnlen(dev.IPAddr, sizeof(dev.IPAddr));
  return std::string(scheme) + "://" + std::string(dev.IPAddr, ipLength) + ":" + std::to_string(dev.VideoPort) + "/";
}

}  // namespace

std::string PaneResolution(const DevInfo& dev, bool alarmPane) {
  const char* text = dev.Resolution + (alarmPane ? kPaneResolutionBytes : 0);
  return std::string(text, strnlen(text, kPaneResolutionBytes));
}

void SetPaneResolution(DevInfo& dev, bool alarmPane, const std::string& text) {
  char* field = dev.Resolution + (alarmPane ? kPaneResolutionBytes : 0);
  std::memset(field, 0, kPaneResolutionBytes);
  std::memcpy(field, text.data(), std::min<size_t>(text.size(), kPaneResolutionBytes - 1));
}

bool IsSubStream(const std::string& resolution) { return resolution == "cif"; }

StreamAddress LiveAddress(const DevInfo& dev) {
  const std::string res = PaneResolution(dev, false);
  const bool sub = IsSubStream(res);
  StreamAddress address;
  switch (dev.VisitMod) {
    case 0:
      if (dev.DevType == 1) address.url = HostPort("rtsp", dev) + "mpeg4" + res;
      else if (sub) address.url = HostPort("rtsp", dev) + "h264cif";
      else address.url = HostPort("rtsp", dev) + "h264-" + res;
      break;
    case 1:
      if (dev.DevType == kDevTypeNvr) address.url = HostPort("vmq", dev) + "mpeg4" + res + "-" + std::to_string(dev.CurNVRChannel);
      else if (dev.DevType == 1) address.url = HostPort("vmq", dev) + "mpeg4" + res;
      else if (sub) address.url = HostPort("vmq", dev) + "h264cif";
      else address.url = HostPort("vmq", dev) + "h264-" + res;
      break;
    case 2:
      if (dev.DevType == 1) address.path = "mpeg4" + res;
      else address.path = sub ? "mpeg4cif" : "mpeg4";
      break;
    default:
      break;
  }
  return address;
}

StreamAddress SecondStreamAddress(const DevInfo& dev) {
  const std::string res = PaneResolution(dev, false);
  StreamAddress address;
  switch (dev.VisitMod) {
    case 0: address.url = HostPort("rtsp", dev) + "mpeg4" + res; break;
    case 1: address.url = HostPort("vmq", dev) + "mpeg4" + res; break;
    case 2: address.path = "mpeg4" + res; break;
    default: break;
  }
  return address;
}

}  // namespace streamaddr
