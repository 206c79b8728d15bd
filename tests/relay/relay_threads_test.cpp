#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/thread_base.h"
#include "live/message_window.h"
#include "pelk/pelk_stub.h"
#include "relay/relay_callbacks.h"
#include "relay/relay_messages.h"
#include "relay/remote_session_registry.h"
#include "relay/udp_login.h"
#include "relay/vemo2_login.h"
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

TEST(Vemo2Login, ReportsTheLoginResultToTheMainWindow) {
  MessageWindow window;
  CVemo2Login login(window.GetSafeHwnd());
  ASSERT_TRUE(login.Start());
  ASSERT_TRUE(WaitUntil([&] { return !window.received.empty(); }));
  EXPECT_EQ(window.received[0].msg, WM_VSS_LOGIN_RESULT);
}

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
  Pelk_StubReset();
  RegisterRelayCallbacks(nullptr, nullptr);
  EXPECT_EQ(Pelk_StubCounts().setMsgWnd, 1);
  EXPECT_EQ(Pelk_StubCounts().setCallbacks, 4);
  EXPECT_EQ(RelayGetUserIdCallback("00-11:1.2.3.4", 0, 0, nullptr), 0);
  const BYTE frame[4] = {};
  EXPECT_EQ(RelayRealDataCallback(1, 2, 3, 0, frame, 4, nullptr, nullptr), 1);
}
