// The record folder tree's names and the folder maker, and the small rules of
// the recording: stream addresses, the storage switch table, relay channels.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <fstream>

#include "common/temp_folder.h"
#include "core/dev_info.h"
#include "platform/file_api.h"
#include "records/recording/rec_scheme_rules.h"
#include "records/recording/rec_stream_address.h"
#include "records/recording/record_folders.h"

namespace {

DevInfo Device(int devType, const char* name, const char* id = "", int visitMode = 0) {
  DevInfo dev;
  dev.DevType = devType;
  dev.VisitMod = visitMode;
  std::snprintf(dev.DevName, sizeof dev.DevName, "%s", name);
  std::snprintf(dev.DevId, sizeof dev.DevId, "%s", id);
  return dev;
}

}  // namespace

TEST(RecordFolders, DayFolderNamesFollowTheTree) {
  // One separator after the storage path, whichever way the path ends.
  EXPECT_EQ(RecordDayFolder("D:\\", "Cam1", "Schedule", 2026, 3, 7), "D:\\Record\\Cam1\\Local\\Schedule\\2026\\3\\7\\");
  EXPECT_EQ(RecordDayFolder("E:\\Video\\", "Cam1", "IO", 2026, 3, 7), "E:\\Video\\Record\\Cam1\\Local\\IO\\2026\\3\\7\\");
  EXPECT_EQ(RecordDayFolder("/srv/video/", "Cam1", "Motion", 2026, 3, 7), "/srv/video/Record\\Cam1\\Local\\Motion\\2026\\3\\7\\");
  EXPECT_EQ(RecordDeviceFolder(Device(4, "Cam1", "NVR01")), "NVR01-Cam1");
  EXPECT_EQ(RecordDeviceFolder(Device(1, "Cam1", "NVR01")), "Cam1");
  EXPECT_STREQ(RecordKindWord(0), "Schedule");
  EXPECT_STREQ(RecordKindWord(1), "Motion");
  EXPECT_STREQ(RecordKindWord(2), "IO");
  EXPECT_EQ(RecordKindWord(3), nullptr);
  // Names that would leave the tree have no folder; a GBK character whose
  // second byte is 0x5C is no separator.
  for (const char* bad : {"", ".", "..", "a\\b", "../x", "a/b"}) {
    EXPECT_EQ(RecordDeviceFolder(Device(1, bad)), "") << bad;
  }
  EXPECT_EQ(RecordDeviceFolder(Device(1, "\xD5\x5C" "1")), "\xD5\x5C" "1");
}

TEST(RecordFolders, CreateRecordFolderMakesEveryMissingLevel) {
  TempFolder temp;
  const std::string root = temp.Path() + "drive";
  ASSERT_TRUE(fileapi::MakeDirectory(root));
  // Two new levels below an existing folder, given with a trailing backslash.
  EXPECT_TRUE(CreateRecordFolder(root + "\\one\\two\\"));
  EXPECT_TRUE(fileapi::IsDirectory(root + "/one/two"));
  EXPECT_TRUE(CreateRecordFolder(root + "\\one\\two"));  // exists: true, nothing made
  // A file in the way, and texts too short to name a folder.
  std::ofstream(root + "/file").put('x');
  EXPECT_FALSE(CreateRecordFolder(root + "\\file\\sub"));
  EXPECT_FALSE(CreateRecordFolder(""));
  EXPECT_FALSE(CreateRecordFolder("x"));
  EXPECT_FALSE(CreateRecordFolder("relative"));  // no parent to make it in
}

TEST(RecordStreamAddress, FollowsDeviceTypeVisitModeAndKind) {
  struct Case {
    int devType;
    int visitMode;
    const char* resolution;
    int kind;
    const char* url;   // or the path when opened by host
    bool byHost;
  } cases[] = {
      {1, 0, "", 1, "rtsp://192.168.1.10:554/mpeg4", false},
      {1, 0, "", 0, "rtsp://192.168.1.10:554/mpeg4cif", false},
      {1, 1, "", 0, "vmq://192.168.1.10:554/mpeg4cif", false},
      {1, 2, "", 1, "mpeg4", true},
      {0, 0, "cif", 1, "rtsp://192.168.1.10:554/h264cif", false},
      {0, 0, "cif", 0, "rtsp://192.168.1.10:554/h264cif", false},
      {0, 0, "D1", 0, "rtsp://192.168.1.10:554/h264-D1", false},
      {0, 1, "D1", 1, "vmq://192.168.1.10:554/h264-D1", false},
      {0, 2, "cif", 1, "h264cif", true},
      {2, 0, "", 1, "", false},
  };
  for (const Case& c : cases) {
    DevInfo dev = Device(c.devType, "Cam", "", c.visitMode);
    std::snprintf(dev.IPAddr, sizeof dev.IPAddr, "192.168.1.10");
    std::snprintf(dev.Resolution, sizeof dev.Resolution, "%s", c.resolution);
    std::snprintf(dev.DevSN, sizeof dev.DevSN, "cam.example");
    dev.VideoPort = 554;
    const RecStreamOpen open = RecordStreamOpen(dev, dev, c.kind);
    EXPECT_EQ(open.byHost, c.byHost) << c.url;
    EXPECT_EQ(c.byHost ? open.path : open.url, c.url);
    if (c.byHost) {
      EXPECT_EQ(open.host, "cam.example");
    }
  }
  DevInfo nvr = Device(4, "Cam3", "NVR01", 2);
  std::snprintf(nvr.IPAddr, sizeof nvr.IPAddr, "192.168.1.20");
  nvr.VideoPort = 554;
  nvr.CurNVRChannel = 3;
  EXPECT_EQ(RecordStreamOpen(nvr, nvr, 0).url, "vmq://192.168.1.20:554/mpeg4cif-3");
  EXPECT_EQ(RecordStreamOpen(nvr, nvr, 1).url, "vmq://192.168.1.20:554/mpeg4-3");
  // An address of any length is kept whole (no fixed buffer cuts it).
  DevInfo far = Device(1, "Far");
  std::memset(far.IPAddr, 'h', sizeof far.IPAddr - 1);
  far.VideoPort = 8554;
  const std::string url = RecordStreamOpen(far, far, 1).url;
  EXPECT_EQ(url, "rtsp://" + std::string(sizeof far.IPAddr - 1, 'h') + ":8554/mpeg4");
}

TEST(RecSchemeRules, StorageSwitchTable) {
  struct Case {
    int current;
    bool has1, has2, has3;
    int storageScheme;
    bool stop;
    int target;
  } cases[] = {
      {1, true, false, false, 0, true, 0},  {1, true, false, false, 1, false, 0}, {1, true, false, true, 0, false, 3},
      {1, true, true, true, 0, false, 2},   {2, true, true, false, 0, true, 0},   {2, true, true, false, 1, false, 1},
      {2, false, true, false, 1, false, 0}, {2, true, true, true, 0, false, 3},   {3, true, true, true, 0, true, 0},
      {3, true, true, true, 1, false, 1},   {3, false, true, true, 1, false, 2},  {3, false, false, true, 1, false, 0},
  };
  for (const Case& c : cases) {
    const recrules::StorageDecision d = recrules::DecideStorageSwitch(c.current, c.has1, c.has2, c.has3, c.storageScheme);
    EXPECT_EQ(d.stop, c.stop) << c.current << c.has1 << c.has2 << c.has3 << c.storageScheme;
    EXPECT_EQ(d.target, c.target) << c.current << c.has1 << c.has2 << c.has3 << c.storageScheme;
  }
}

TEST(RecSchemeRules, ReportChannelIsTheNumberAfterTheLastDash) {
  struct Case {
    int devType;
    const char* name;
    long channel;
  } cases[] = {{0, "Server-3", 3}, {4, "NVR-A-12", 12}, {4, "7", 7}, {0, "Server-x", 0}, {1, "Cam-5", 0}, {4, "Cam1", 0}};
  for (const Case& c : cases) EXPECT_EQ(recrules::ReportChannel(Device(c.devType, c.name)), c.channel) << c.name;
}
