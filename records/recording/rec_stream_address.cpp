#include "records/recording/rec_stream_address.h"

#include <cstdio>
#include <cstring>

#include "core/dev_info.h"

namespace {

std::string Text(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

RecStreamOpen RecordStreamOpen(const DevInfo& own, const DevInfo& dev, int kind) {
  RecStreamOpen open;
  const bool main = kind != 0;
  // The first 20 bytes of Resolution are the live panes' resolution.
  const std::string resolution = Text(own.Resolution, 20);
  std::string path;
  if (own.DevType == 1) {
    path = main ? "mpeg4" : "mpeg4cif";
  } else if (own.DevType == 0) {
    path = resolution == "cif" ? "h264cif" : "h264-" + resolution;
  }

  if (own.DevType == kDevTypeNvr) {
    char tail[48];
    std::snprintf(tail, sizeof tail, "/mpeg4%s-%d", main ? "" : "cif", dev.CurNVRChannel);
    open.url = "vmq://" + Text(dev.IPAddr, sizeof dev.IPAddr) + ":" + std::to_string(dev.VideoPort) + tail;
    open.loginName = Text(own.LoginName, sizeof own.LoginName);
    open.password = Text(own.LoginPsw, sizeof own.LoginPsw);
    open.rtpOverRtsp = own.RtpOverRtsp;
    return open;
  }
  if (path.empty()) return open;
  if (own.VisitMod == 2) {
    open.byHost = true;
    open.host = Text(dev.DevSN, sizeof dev.DevSN);
    open.port = static_cast<unsigned short>(dev.VideoPort);
    open.path = path;
    open.loginName = Text(dev.LoginName, sizeof dev.LoginName);
    open.password = Text(dev.LoginPsw, sizeof dev.LoginPsw);
    open.rtpOverRtsp = dev.RtpOverRtsp;
    return open;
  }
  const char* scheme = own.VisitMod == 1 ? "vmq://" : "rtsp://";
  open.url = scheme + Text(own.IPAddr, sizeof own.IPAddr) + ":" + std::to_string(own.VideoPort) + "/" + path;
  open.loginName = Text(own.LoginName, sizeof own.LoginName);
  open.password = Text(own.LoginPsw, sizeof own.LoginPsw);
  open.rtpOverRtsp = own.RtpOverRtsp;
  return open;
}
