// The broadcast list file and the broadcast to the chosen devices.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "gimbro/gimbro.h"
#include "live/audio/broadcast_info.h"
#include "live/audio/broadcast_run.h"
#include "tests/live/live_config_env.h"

namespace {

class BroadcastTest : public LiveConfigTest {
 protected:
  // Records every call instead of talking to devices.
  BroadcastCalls RecordingCalls() {
    BroadcastCalls calls;
    calls.startBroadcast = [this](long codec, long rate, long bits, long channels) {
      log.push_back("start " + std::to_string(codec) + " " + std::to_string(rate) + " " + std::to_string(bits) +
                    " " + std::to_string(channels));
      return startResult;
    };
    calls.addDevice = [this](DevInfo& dev) {
      log.push_back("add " + std::string(dev.DevName));
      return 0L;
    };
    calls.releaseDevice = [this](DevInfo& dev) { log.push_back("release " + std::string(dev.DevName)); };
    calls.stopBroadcast = [this] {
      log.push_back("stop");
      return 0L;
    };
    return calls;
  }
  DevInfo& AddWired(const char* devId, const char* name, int devType, int online, int channel = 0) {
    DevInfo& dev = AddDevice(devId, name, devType, online, "10.0.0.9", channel);
    dev.pGimbroCtrl = &control;
    return dev;
  }

  CGimbroCtrl control;
  std::vector<std::string> log;
  long startResult = GIMBRO_OK;
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(BroadcastTest, MissingFileGivesAnEmptyListWithAac) {
  BroadcastSettings settings;
  settings.devices.push_back({"x", "y", 1});
  EXPECT_EQ(LoadBroadcastInfo(settings), 0);
  EXPECT_TRUE(settings.devices.empty());
  EXPECT_EQ(settings.audio, kBroadcastAac);
  std::string expected =
      "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<BroadcastList audio=\"0\">\n</BroadcastList>";
  expected.resize(2048, '\0');
  EXPECT_EQ(ReadBytes(ConfigFile("BroadcastInfo.xml")), expected);
}

TEST_F(BroadcastTest, FileTakesKnownDevicesOnly) {
  AddDevice("IPC1", "大门", 1, 1);
  AddDevice("NVR1", "NVR", kDevTypeNvr, 1, "", 0);   // the NVR's own record
  AddDevice("NVR1", "Cam2", kDevTypeNvr, 1, "", 2);
  WriteBytes(ConfigFile("BroadcastInfo.xml"),
             "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<BroadcastList audio=\"1\">\n"
             "<DevInfo DevId=\"IPC1\" DevName=\"" + Gbk("大门") + "\" />\n"
             "<DevInfo DevId=\"NVR1\" DevName=\"NVR\" />\n"
             "<DevInfo DevId=\"NVR1\" DevName=\"Cam2\" />\n"
             "<DevInfo DevId=\"IPC9\" DevName=\"Gone\" />\n</BroadcastList>");
  BroadcastSettings settings;
  ASSERT_EQ(LoadBroadcastInfo(settings), 0);
  EXPECT_EQ(settings.audio, kBroadcastG711);
  ASSERT_EQ(settings.devices.size(), 2u);
  EXPECT_EQ(BroadcastLabel(settings.devices[0]), Gbk("大门"));
  EXPECT_EQ(BroadcastLabel(settings.devices[1]), "NVR1-Cam2");

  settings.audio = kBroadcastAac;
  settings.devices.pop_back();
  ASSERT_EQ(SaveBroadcastInfo(settings), 0);
  EXPECT_EQ(ReadBytes(ConfigFile("BroadcastInfo.xml")),
            "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<BroadcastList audio=\"0\">\n"
            "    <DevInfo DevId=\"IPC1\" DevName=\"" + Gbk("大门") + "\" />\n</BroadcastList>\n");

  settings.devices.clear();  // an empty list still writes the file
  ASSERT_EQ(SaveBroadcastInfo(settings), 0);
  BroadcastSettings reloaded;
  ASSERT_EQ(LoadBroadcastInfo(reloaded), 0);
  EXPECT_TRUE(reloaded.devices.empty());
}

TEST_F(BroadcastTest, UnreadableFileIsLeftAloneOnSave) {
  WriteBytes(ConfigFile("BroadcastInfo.xml"), "<BroadcastList");
  EXPECT_EQ(SaveBroadcastInfo(BroadcastSettings{}), -1);
  EXPECT_EQ(ReadBytes(ConfigFile("BroadcastInfo.xml")), "<BroadcastList");
}

// The channels of one NVR share a DevId: starting and stopping must both reach
// the chosen channel, not the first record with that DevId.
TEST_F(BroadcastTest, StartAndStopFindTheSameNvrChannel) {
  AddWired("NVR1", "Cam1", kDevTypeNvr, 1, 1);
  DevInfo& cam2 = AddWired("NVR1", "Cam2", kDevTypeNvr, 1, 2);
  CBroadcastRun run(RecordingCalls());
  BroadcastSettings settings;
  settings.audio = kBroadcastG711;
  settings.devices.push_back(ToBroadcastDevice(cam2));

  ASSERT_TRUE(run.Toggle(settings));
  EXPECT_TRUE(run.IsRunning());
  EXPECT_TRUE(run.IsBroadcasting(cam2));
  ASSERT_TRUE(run.Toggle(settings));
  EXPECT_FALSE(run.IsRunning());
  EXPECT_FALSE(run.IsBroadcasting(cam2));
  EXPECT_EQ(log, (Log{"start 0 8000 16 1", "add Cam2", "release Cam2", "stop"}));
}

TEST_F(BroadcastTest, OnlyOnlineWiredDevicesJoin) {
  AddWired("IPC1", "On", 1, 1);
  AddWired("IPC2", "Off", 1, 0);
  AddDevice("IPC3", "Unwired", 1, 1);
  BroadcastSettings settings;
  settings.audio = kBroadcastAac;
  for (const DevInfo& dev : g_lstDevInfo) settings.devices.push_back(ToBroadcastDevice(dev));
  settings.devices.push_back({"IPC9", "Gone", 1});
  CBroadcastRun run(RecordingCalls());
  ASSERT_TRUE(run.Toggle(settings));
  run.Stop(settings);  // the broadcast page replacing its list
  run.Stop(settings);  // nothing runs any more
  EXPECT_EQ(log, (Log{"start 1 16000 16 2", "add On", "release On", "release Off", "stop"}));

  log.clear();
  EXPECT_FALSE(run.Toggle(BroadcastSettings{}));  // an empty list is refused
  EXPECT_TRUE(log.empty());
}

TEST(BroadcastFormat, FollowsTheAudioSelection) {
  const struct {
    int audio;
    long codec, rate, channels;
  } rows[] = {{kBroadcastG711, 0, 8000, 1}, {kBroadcastAac, 1, 16000, 2}, {7, 7, 16000, 2}};
  for (const auto& row : rows) {
    const BroadcastFormat f = BroadcastFormatOf(row.audio);
    EXPECT_EQ(f.codec, row.codec) << row.audio;
    EXPECT_EQ(f.sampleRate, row.rate) << row.audio;
    EXPECT_EQ(f.bits, 16) << row.audio;
    EXPECT_EQ(f.channels, row.channels) << row.audio;
  }
}

// Each listed device takes the first record with its label: a later record
// with the same name, or a plain camera named like an NVR channel, never joins.
TEST_F(BroadcastTest, FirstRecordWithTheLabelIsTaken) {
  DevInfo& gate = AddWired("IPC1", "Gate", 1, 0);  // first "Gate": offline
  DevInfo& laterGate = AddWired("IPC2", "Gate", 1, 1);
  DevInfo& plainHall = AddWired("IPC8", "Hall", 1, 1);
  DevInfo& nvrHall = AddWired("NVR7", "Hall", kDevTypeNvr, 1, 3);
  BroadcastSettings settings;
  settings.devices = {ToBroadcastDevice(laterGate), ToBroadcastDevice(nvrHall)};
  CBroadcastRun run(RecordingCalls());
  ASSERT_TRUE(run.Toggle(settings));
  EXPECT_FALSE(run.IsBroadcasting(gate));
  EXPECT_FALSE(run.IsBroadcasting(plainHall));
  EXPECT_TRUE(run.IsBroadcasting(nvrHall));
  EXPECT_EQ(log, (Log{"start 0 8000 16 1", "add Hall"}));
}

// A start the control refuses adds and marks nothing and leaves the run idle,
// so the next press starts again instead of stopping.
TEST_F(BroadcastTest, RefusedStartMarksNothing) {
  DevInfo& cam = AddWired("IPC1", "On", 1, 1);
  BroadcastSettings settings;
  settings.devices.push_back(ToBroadcastDevice(cam));
  CBroadcastRun run(RecordingCalls());
  startResult = GIMBRO_ERR_RELEASED;
  EXPECT_FALSE(run.Toggle(settings));
  EXPECT_FALSE(run.IsRunning());
  EXPECT_FALSE(run.IsBroadcasting(cam));
  run.Stop(settings);  // the broadcast page: nothing runs, nothing to release
  EXPECT_EQ(log, (Log{"start 0 8000 16 1"}));

  log.clear();
  startResult = GIMBRO_OK;
  ASSERT_TRUE(run.Toggle(settings));
  EXPECT_TRUE(run.IsRunning());
  EXPECT_EQ(log, (Log{"start 0 8000 16 1", "add On"}));
}
