#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <list>
#include <thread>
#include <vector>

#include "live/message_window.h"
#include "pelk/pelk_testing.h"
#include "relay/login/vss_info.h"
#include "relay/relay_callbacks.h"
#include "relay/relay_messages.h"
#include "relay/udp/udp_login.h"
#include "tests/platform/event_wait.h"

TEST(UdpLogin, RunsUntilStoppedAndStopJoins) {
  CUdpLogin login("user", "pass", "127.0.0.1", 6060);  // nothing answers: the session waits
  MessageWindow window;
  login.SetNotifyWnd(window.GetSafeHwnd());
  EXPECT_EQ(login.GetNotifyWnd(), window.GetSafeHwnd());
  ASSERT_TRUE(login.Start());
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  DWORD code = 0;
  ASSERT_TRUE(login.GetExitCode(&code));
  EXPECT_EQ(code, STILL_ACTIVE);
  login.Stop();
  EXPECT_FALSE(login.GetExitCode(&code));  // joined and forgotten
}

TEST(RelayCallbacks, RegistersTheMainWindowAndRefusesWithoutContext) {
  PelkTestReset();
  RegisterRelayCallbacks(nullptr, nullptr);
  EXPECT_EQ(PelkTestCounts().setMsgWnd, 1);
  EXPECT_EQ(PelkTestCounts().setCallbacks, 4);
  EXPECT_EQ(RelayGetUserIdCallback("00-11:1.2.3.4", 0, 0, nullptr), 0);
  EXPECT_EQ(RelayRealReplayCallback(1, "00-11:1.2.3.4", 1, 2, 0, nullptr, 0, nullptr, "f", nullptr), 0);
  const BYTE frame[4] = {};
  EXPECT_EQ(RelayRealDataCallback(1, 2, 3, 0, frame, 4, nullptr, nullptr), 1);
}

// The relay library's threads look devices up while the UI thread replaces
// the servers' lists: they only ever see a whole list, old or new.
TEST(RelayCallbacks, UserLookupsOnLibraryThreadsSeeWholeLists) {
  std::list<Vemo2Node> saved;
  saved.swap(g_lstVssInfo);
  auto list = [](const char* mac, int count) {
    std::list<RelayDevice> devices;
    for (int i = 0; i < count; ++i) {
      RelayDevice& device = devices.emplace_back();
      std::snprintf(device.MACAddr, sizeof device.MACAddr, "%s", mac);
    }
    return devices;
  };
  {
    CsLock lock(&g_csVssInfo);
    Vemo2Node& server = g_lstVssInfo.emplace_back();
    server.nLoginHandle = 42;
    server.bHasDeviceList = true;
    server.lstRelayDevice = list("AA-AA", 50);
  }
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&] {
      while (!stop) {
        const LONG handle = RelayUserIdOf("AA-AA:10.0.0.1", "00-1A-2B-3C-4D-5E");
        if (handle != 42 && handle != 0) ++wrong;
      }
    });
  }
  for (int round = 0; round < 2000; ++round) {
    std::list<RelayDevice> replacement = list(round % 2 ? "AA-AA" : "BB-BB", 50);
    CsLock lock(&g_csVssInfo);
    g_lstVssInfo.front().lstRelayDevice.swap(replacement);
  }
  stop = true;
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(RelayUserIdOf("00-1A-2B-3C-4D-5E:10.0.0.1", "00-1A-2B-3C-4D-5E"), 0);  // this client's own
  g_lstVssInfo.swap(saved);
}
