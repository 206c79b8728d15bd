#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/thread_base.h"
#include "live/message_window.h"
#include "pelk/pelk_testing.h"
#include "relay/relay_callbacks.h"
#include "relay/relay_messages.h"
#include "relay/remote_session_registry.h"
#include "relay/udp_login.h"
#include "tests/platform/event_wait.h"

namespace {

// A served session: runs until stopped, counts its deletion.
class SessionThread : public CThread {
 public:
  explicit SessionThread(std::atomic<int>& deleted) : deleted_(deleted) {}
  ~SessionThread() override { ++deleted_; }
  DWORD Run() override { return 0; }

 private:
  std::atomic<int>& deleted_;
};

}  // namespace

TEST(UdpLogin, RunsUntilStoppedAndStopJoins) {
  CUdpLogin login("user", "pass", "server", 6060);
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

TEST(RemoteSessionRegistry, RemoveAllStopsDeletesAndErasesEverySession) {
  std::atomic<int> deleted{0};
  CRemoteSessionRegistry registry;
  auto add = [&](std::map<long, CThread*>& sessions, long id) {
    auto* thread = new SessionThread(deleted);
    thread->Start();
    sessions[id] = thread;
  };
  add(registry.m_mapReplay, 1);
  add(registry.m_mapReplay, 2);
  add(registry.m_mapReplayByDate, 3);
  add(registry.m_mapDownload, 4);
  registry.RemoveAll();
  EXPECT_EQ(deleted, 4);
  EXPECT_TRUE(registry.m_mapReplay.empty());
  EXPECT_TRUE(registry.m_mapReplayByDate.empty());
  EXPECT_TRUE(registry.m_mapDownload.empty());
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
