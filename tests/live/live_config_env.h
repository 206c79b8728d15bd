// The program folder of the configuration store tests (tests/core), with the
// live-video fixtures and a quick way to put devices into g_lstDevInfo.
#pragma once

#include <cstring>
#include <string>

#include "core/dev_info_store.h"
#include "tests/core/config_test_env.h"

class LiveConfigTest : public ConfigTest {
 protected:
  // Copies tests/live/fixtures/<fixture> to Config/<name>.
  void InstallLiveFixture(const std::string& fixture, const std::string& name) const {
    WriteBytes(ConfigFile(name), ReadBytes(std::string(VEMO_TEST_SOURCE_DIR) + "/live/fixtures/" + fixture));
  }

  // Appends a device record to g_lstDevInfo.
  static DevInfo& AddDevice(const char* devId, const char* utf8Name, int devType, int online,
                            const char* ip = "", int channel = 0) {
    DevInfo& dev = g_lstDevInfo.emplace_back();
    std::strcpy(dev.DevId, devId);
    std::strcpy(dev.DevName, Gbk(utf8Name).c_str());
    std::strcpy(dev.IPAddr, ip);
    dev.DevType = devType;
    dev.nOnline = online;
    dev.CurNVRChannel = channel;
    return dev;
  }
};
