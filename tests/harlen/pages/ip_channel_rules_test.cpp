// The IP channel window's rules without the window: the found list's
// growth, a camera taking and giving back a channel, and copy-to.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/text_codec.h"
#include "harlen/pages/windows/ip_channel_rules.h"

namespace {

IpcHeadInfo Camera(const std::string& ip, const char* serial = "CAM", uint16_t ptzport = 6000) {
  IpcHeadInfo camera = {};
  CopyFieldText(camera.serial, serial);
  camera.ip = StringToIp(ip);
  camera.ptzport = ptzport;
  CopyFieldText(camera.username, "admin");
  CopyFieldText(camera.password, "secret");
  return camera;
}

IpcSearchList List(const std::vector<std::string>& ips) {
  IpcSearchList list = {};
  for (const std::string& ip : ips) list.cameras[list.count++] = Camera(ip);
  return list;
}

std::vector<std::string> Ips(const IpcSearchList& list) {
  std::vector<std::string> ips;
  for (uint32_t i = 0; i < list.count; ++i) ips.push_back(IpToString(list.cameras[i].ip));
  return ips;
}

std::vector<std::string> Numbered(int first, int count) {
  std::vector<std::string> ips;
  for (int i = first; i < first + count; ++i) ips.push_back("10.0.0." + std::to_string(i));
  return ips;
}

// A table whose channels `taken` carry the addresses 10.1.0.<slot + 1>.
IpcChannelTable Table(const std::vector<int>& taken) {
  IpcChannelTable table = {};
  table.count = kIpcChannels;
  for (int slot : taken) {
    IpcChannelEntry& e = table.entries[slot];
    e.chanid = static_cast<uint32_t>(slot + 1);
    CopyFieldText(e.channame, "kept name");
    e.used = 1;
    CopyFieldText(e.ip, "10.1.0." + std::to_string(slot + 1));
    e.port = 554;
  }
  return table;
}

}  // namespace

TEST(IpChannelRules, TheFoundListKeepsEachAddressOnceAndAtMostSixteen) {
  std::vector<std::string> sixteen = Numbered(1, 15);
  sixteen.push_back("10.0.0.50");
  const struct {
    const char* what;
    std::vector<std::string> found, reply;
    int appended;
    std::vector<std::string> after;
  } cases[] = {
      {"first result", {}, {"10.0.0.1", "10.0.0.2"}, 2, {"10.0.0.1", "10.0.0.2"}},
      {"a repeated camera adds nothing", {"10.0.0.1"}, {"10.0.0.1"}, 0, {"10.0.0.1"}},
      {"only the new one of a reply", {"10.0.0.1"}, {"10.0.0.1", "10.0.0.3"}, 1, {"10.0.0.1", "10.0.0.3"}},
      {"a camera twice in one reply", {}, {"10.0.0.4", "10.0.0.4"}, 1, {"10.0.0.4"}},
      {"the seventeenth is ignored", Numbered(1, 15), {"10.0.0.50", "10.0.0.51"}, 1, sixteen},
      {"a full list takes nothing", Numbered(1, 16), {"10.0.0.99"}, 0, Numbered(1, 16)},
  };
  for (const auto& c : cases) {
    IpcSearchList found = List(c.found);
    EXPECT_EQ(AppendFoundCameras(found, List(c.reply)), c.appended) << c.what;
    EXPECT_EQ(Ips(found), c.after) << c.what;
  }
}

TEST(IpChannelRules, ACameraTakesTheFirstChannelWithoutAnAddress) {
  const IpcHeadInfo camera = Camera("192.168.1.66", "CAM", 6000);
  const struct {
    const char* what;
    std::vector<int> taken;
    CameraAssignment::Kind kind;
    int channel;
  } cases[] = {
      {"an empty table", {}, CameraAssignment::kAssigned, 0},
      {"the first gap", {0, 1, 3}, CameraAssignment::kAssigned, 2},
      {"the last channel", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, CameraAssignment::kAssigned, 15},
      {"every channel holds an address", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
       CameraAssignment::kFull, -1},
  };
  for (const auto& c : cases) {
    IpcChannelTable table = Table(c.taken);
    const IpcChannelTable before = table;
    const CameraAssignment result = AssignCamera(table, camera);
    EXPECT_EQ(result.kind, c.kind) << c.what;
    EXPECT_EQ(result.channel, c.channel) << c.what;
    if (c.channel < 0) {
      EXPECT_EQ(std::memcmp(&table, &before, sizeof table), 0) << c.what;
      continue;
    }
    const IpcChannelEntry& e = table.entries[c.channel];
    EXPECT_EQ(e.chanid, static_cast<uint32_t>(c.channel + 1)) << c.what;
    EXPECT_EQ(FieldText(e.ip), "192.168.1.66") << c.what;
    EXPECT_EQ(e.used, 1u) << c.what;
    EXPECT_EQ(e.port, 6000) << c.what;
    EXPECT_EQ(FieldText(e.channame), "channel " + std::to_string(c.channel + 1)) << c.what;
    EXPECT_EQ(FieldText(e.username), "admin") << c.what;
    EXPECT_EQ(FieldText(e.passwd), "secret") << c.what;
    EXPECT_EQ(FindChannelOf(table, camera.ip), c.channel) << c.what;
  }
}

TEST(IpChannelRules, ACameraThatAChannelCarriesChangesNothing) {
  IpcChannelTable table = Table({0, 4});
  const IpcChannelTable before = table;
  const CameraAssignment result = AssignCamera(table, Camera("10.1.0.5"));
  EXPECT_EQ(result.kind, CameraAssignment::kAlreadyAssigned);
  EXPECT_EQ(result.channel, 4);
  EXPECT_EQ(std::memcmp(&table, &before, sizeof table), 0);
  // A channel whose text is no address is neither free nor anybody's.
  CopyFieldText(table.entries[1].ip, "not an address");
  EXPECT_EQ(ChannelAddress(table.entries[1]), 0u);
  EXPECT_EQ(AssignCamera(table, Camera("10.9.9.9")).channel, 2);
}

TEST(IpChannelRules, ReleasingClearsTheWholeEntryOfTheCarryingChannel) {
  IpcChannelTable table = Table({0, 1, 2});
  EXPECT_EQ(ReleaseCamera(table, Camera("10.1.0.2")), 1);
  const IpcChannelEntry zero = {};
  EXPECT_EQ(std::memcmp(&table.entries[1], &zero, sizeof zero), 0) << "chanid, name and settings cleared too";
  EXPECT_EQ(table.entries[0].chanid, 1u);
  EXPECT_EQ(table.entries[2].chanid, 3u);
  const IpcChannelTable before = table;
  EXPECT_EQ(ReleaseCamera(table, Camera("10.7.7.7")), -1) << "a camera no channel carries";
  EXPECT_EQ(std::memcmp(&table, &before, sizeof table), 0);
}

TEST(IpChannelRules, CopyToCopiesTheSettingsButNeverTheCameraAddress) {
  IpcChannelTable table = Table({0, 1, 5});
  IpcChannelEntry& source = table.entries[0];
  source.port = 8554;
  source.streammode = 1;
  source.netmode = 0;
  CopyFieldText(source.username, "viewer");
  CopyFieldText(source.passwd, "pw");
  int32_t flags[kIpcChannels] = {};
  flags[0] = 1;  // the source itself
  flags[1] = 1;
  flags[3] = 1;  // a free channel
  EXPECT_EQ(CopyChannelSettings(table, 0, flags), 2);
  for (int k : {1, 3}) {
    const IpcChannelEntry& e = table.entries[k];
    EXPECT_EQ(e.used, 1u) << k;
    EXPECT_EQ(e.port, 8554) << k;
    EXPECT_EQ(e.streammode, 1) << k;
    EXPECT_EQ(e.netmode, 0) << k;
    EXPECT_EQ(FieldText(e.username), "viewer") << k;
    EXPECT_EQ(FieldText(e.passwd), "pw") << k;
  }
  EXPECT_EQ(FieldText(table.entries[1].ip), "10.1.0.2") << "the address stays";
  EXPECT_EQ(FieldText(table.entries[1].channame), "kept name");
  EXPECT_EQ(table.entries[1].chanid, 2u);
  EXPECT_EQ(FieldText(table.entries[3].ip), "") << "a free channel stays free";
  EXPECT_EQ(table.entries[3].chanid, 0u);
  EXPECT_EQ(table.entries[5].port, 554) << "an unticked channel is not written";
}
