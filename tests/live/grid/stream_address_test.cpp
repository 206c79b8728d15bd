// The stream address a pane opens, by VisitMod, DevType and stream text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/dev_info.h"
#include "live/grid/stream_address.h"

namespace {

DevInfo Device(int visitMod, int devType, const char* ip, int port, const char* resolution, int channel = 0) {
  DevInfo dev;
  dev.VisitMod = visitMod;
  dev.DevType = devType;
  std::snprintf(dev.IPAddr, sizeof(dev.IPAddr), "%s", ip);
  dev.VideoPort = port;
  std::snprintf(dev.Resolution, 20, "%s", resolution);
  dev.CurNVRChannel = channel;
  return dev;
}

TEST(StreamAddress, LiveAddressByVisitModDevTypeAndResolution) {
  struct Case {
    int visitMod, devType;
    const char* resolution;
    int channel;
    const char* url;
    const char* path;
  };
  const Case cases[] = {
      {0, 1, "", 0, "rtsp://10.0.0.5:554/mpeg4", ""},
      {0, 1, "cif", 0, "rtsp://10.0.0.5:554/mpeg4cif", ""},
      {0, 1, "d1", 0, "rtsp://10.0.0.5:554/mpeg4d1", ""},
      {0, 0, "cif", 0, "rtsp://10.0.0.5:554/h264cif", ""},
      {0, 0, "", 0, "rtsp://10.0.0.5:554/h264-", ""},
      {0, 0, "720p", 0, "rtsp://10.0.0.5:554/h264-720p", ""},
      {0, 4, "cif", 0, "rtsp://10.0.0.5:554/h264cif", ""},
      {1, 4, "", 3, "vmq://10.0.0.5:554/mpeg4-3", ""},
      {1, 4, "cif", 12, "vmq://10.0.0.5:554/mpeg4cif-12", ""},
      {1, 1, "cif", 0, "vmq://10.0.0.5:554/mpeg4cif", ""},
      {1, 0, "cif", 0, "vmq://10.0.0.5:554/h264cif", ""},
      {1, 0, "d1", 0, "vmq://10.0.0.5:554/h264-d1", ""},
      {2, 1, "cif", 0, "", "mpeg4cif"},
      {2, 1, "", 0, "", "mpeg4"},
      {2, 0, "cif", 0, "", "mpeg4cif"},
      {2, 0, "d1", 0, "", "mpeg4"},
      {3, 1, "cif", 0, "", ""},
      {-1, 0, "", 0, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.visitMod) + "/" + std::to_string(c.devType) + "/" + c.resolution);
    const StreamAddress address =
        streamaddr::LiveAddress(Device(c.visitMod, c.devType, "10.0.0.5", 554, c.resolution, c.channel));
    EXPECT_EQ(address.url, c.url);
    EXPECT_EQ(address.path, c.path);
  }
}

TEST(StreamAddress, SecondStreamOfARecordedCameraAlwaysUsesTheMpeg4Form) {
  EXPECT_EQ(streamaddr::SecondStreamAddress(Device(0, 1, "h", 8554, "cif")).url, "rtsp://h:8554/mpeg4cif");
  EXPECT_EQ(streamaddr::SecondStreamAddress(Device(1, 1, "h", 8554, "")).url, "vmq://h:8554/mpeg4");
  EXPECT_EQ(streamaddr::SecondStreamAddress(Device(2, 1, "h", 8554, "cif")).path, "mpeg4cif");
  const StreamAddress none = streamaddr::SecondStreamAddress(Device(7, 1, "h", 8554, "cif"));
  EXPECT_TRUE(none.url.empty() && none.path.empty());
}

// Long host names and stream texts fill the fields to their last byte: the
// whole address comes out, with nothing cut and nothing written past a buffer.
TEST(StreamAddress, FullLengthFieldsGiveTheWholeAddress) {
  DevInfo dev = Device(1, 4, "", 65535, "", 2147483647);
  std::memset(dev.IPAddr, 'a', sizeof(dev.IPAddr) - 1);
  std::memset(dev.Resolution, 'r', 19);  // the grid half, full
  std::memset(dev.Resolution + 20, 'x', 19);  // the alarm half must not leak in
  const std::string host(255, 'a');
  const std::string res(19, 'r');
  EXPECT_EQ(streamaddr::LiveAddress(dev).url, "vmq://" + host + ":65535/mpeg4" + res + "-2147483647");
  dev.VisitMod = 2;
  dev.DevType = 1;
  EXPECT_EQ(streamaddr::LiveAddress(dev).path, "mpeg4" + res);
  // A host field without its terminating zero is still read within the field.
  std::memset(dev.IPAddr, 'b', sizeof(dev.IPAddr));
  dev.VisitMod = 0;
  EXPECT_EQ(streamaddr::LiveAddress(dev).url.substr(7, 256), std::string(256, 'b'));
}

TEST(StreamAddress, PaneStreamTextsAreTheTwoHalvesOfResolution) {
  DevInfo dev;
  streamaddr::SetPaneResolution(dev, false, "cif");
  streamaddr::SetPaneResolution(dev, true, "an overlong stream text here");
  EXPECT_EQ(streamaddr::PaneResolution(dev, false), "cif");
  EXPECT_EQ(streamaddr::PaneResolution(dev, true), "an overlong stream ");  // 19 bytes and the zero
  EXPECT_TRUE(streamaddr::IsSubStream(streamaddr::PaneResolution(dev, false)));
  EXPECT_FALSE(streamaddr::IsSubStream("CIF"));
  EXPECT_FALSE(streamaddr::IsSubStream(""));
}

}  // namespace
