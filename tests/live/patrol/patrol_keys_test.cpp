// Device keys of patrol points: local or relay, and whether their camera is online.
#include <gtest/gtest.h>

#include "live/patrol/patrol_keys.h"
#include "tests/live/live_config_env.h"

class PatrolKeyTest : public LiveConfigTest {};

TEST_F(PatrolKeyTest, LocalAndRelayKeysAreLookedUpWhereTheyLive) {
  AddDevice("IPC1", "大门", 1, 1);
  AddDevice("IPC2", "Lobby", 1, 0);
  AddDevice("NVR1", "Cam-02", kDevTypeNvr, 1, "192.168.1.20", 2);
  AddDevice("IPC3", "Hall:East", 1, 1);
  const RelayKeyStateFn relay = [](const std::string& key) {
    if (key == "00-1A-2B-3C-4D-5E:Front-Door") return 1;
    if (key == "00-1A-2B-3C-4D-5E:Hall:East") return 0;
    if (key == "00:11:22:33:44:55:Gate") return 2;
    if (key == "00:11:22:33:44:66:Yard") return 0;
    if (key == "00-11-22-33-44-88:10.0.0.3:Channel-2") return 1;
    return -1;
  };
  struct Case {
    std::string key;
    bool local;
    bool online;
  } cases[] = {
      {Gbk("大门"), true, true},
      {"Lobby", true, false},
      {"192.168.1.20:Cam-02", true, true},  // a '-' behind the first ':' keeps it local
      {"Cam-02", true, false},              // an NVR channel is named with its address
      {"00:11:22:33:44:55:Gate", false, true},
      {"00:11:22:33:44:66:Yard", false, false},
      {"00:11:22:33:44:77:Gone", false, false},
      // A relay NVR channel: its name's '-' does not make it local.
      {"00-11-22-33-44-88:10.0.0.3:Channel-2", false, true},
      {"Nobody", true, false},
      // The side is the one whose device has the key, whatever '-' or ':' the names hold.
      {"00-1A-2B-3C-4D-5E:Front-Door", false, true},  // a relay camera, not a local NVR channel
      {"Hall:East", true, true},                      // a local camera, not a relay one
      {"00-1A-2B-3C-4D-5E:Hall:East", false, false},
      {"192.168.1.21:Channel-1", false, false},       // no local record has it: found nowhere, offline
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PatrolKeyIsLocal(c.key), c.local) << c.key;
    EXPECT_EQ(PatrolKeyOnline(c.key, relay), c.online) << c.key;
  }
  EXPECT_FALSE(PatrolKeyOnline("00:11:22:33:44:55:Gate", nullptr));  // no relay service
  EXPECT_EQ(PatrolRelayChannel("00:11:22:33:44:55:NVR-3"), 3);
  EXPECT_EQ(PatrolRelayChannel("00:11:22:33:44:55:Gate"), 0);
  EXPECT_EQ(PatrolRelayChannel("00-11-22-33-44-88:10.0.0.3:Channel-2"), 2);
}
