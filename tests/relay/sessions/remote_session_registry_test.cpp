// The registry of served sessions: ids, follow-up requests, ends and the close.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "common/temp_folder.h"
#include "relay/sessions/download_thread.h"
#include "relay/sessions/remote_session_registry.h"
#include "relay/sessions/replay_by_date_thread.h"
#include "relay/sessions/replay_pacing.h"
#include "relay/sessions/replay_thread.h"
#include "relay/sessions/session_test_support.h"

namespace {

RelayFileRequest FileRequest(const std::string& path) {
  RelayFileRequest request;
  std::snprintf(request.szPath, sizeof request.szPath, "%s", path.c_str());
  return request;
}

template <class Thread>
Thread* New(RecordingRelay& relay, ISessionClock& clock, const RelayFileRequest& request, DWORD word) {
  auto* thread = new Thread(relay, clock);
  thread->SetRequest(request);
  thread->SetSessionId(word);
  return thread;
}

bool WaitFor(const std::function<bool()>& done, int limitMs = 10000) {
  for (int i = 0; i < limitMs / 5; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

}  // namespace

TEST(RemoteSessionRegistry, IdsAreSharedAndEndMessagesRemoveTheirThread) {
  TempFolder folder;
  FakeSessionClock clock;
  RecordingRelay relay(clock);
  CRemoteSessionRegistry registry;
  EXPECT_FALSE(registry.AddReplayThread(nullptr));
  auto* replay = New<CReplayThread>(relay, clock, FileRequest(folder.File("none.avi")), 1);
  auto* download = New<CDownloadThread>(relay, clock, FileRequest(folder.File("none.avi")), 2);
  auto* byDate = new CReplayByDateThread(relay, clock);
  ASSERT_TRUE(registry.AddReplayThread(replay));
  ASSERT_TRUE(registry.AddDownloadThread(download));
  ASSERT_TRUE(registry.AddByDateThread(byDate));
  EXPECT_EQ(replay->GetRegistryId(), 1u);
  EXPECT_EQ(download->GetRegistryId(), 2u);
  EXPECT_EQ(byDate->GetRegistryId(), 3u);
  replay->Start();
  ASSERT_TRUE(relay.WaitEnd());
  registry.RemoveReplayThread(99);  // unknown: nothing
  registry.RemoveByDateThread(1);   // another kind's id: nothing
  EXPECT_EQ(registry.ReplayCount(), 1u);
  registry.RemoveReplayThread(relay.Of(RelayCall::kEnd).front().id);
  EXPECT_EQ(registry.ReplayCount(), 0u);
  registry.RemoveAll();
  EXPECT_EQ(registry.DownloadCount() + registry.ByDateCount(), 0u);
  registry.RemoveDownloadThread(2);  // an end message after the close finds nothing
}

// Two peers download the same file: the stop of one leaves the other going.
TEST(RemoteSessionRegistry, FollowUpsNameTheirThreadByPathAndSessionWord) {
  TempFolder folder;
  const std::string path = folder.File("shared.avi");
  std::ofstream(path, std::ios::binary) << std::string(3000000, 'x');
  RecordingRelay relay(SystemSessionClock());
  CRemoteSessionRegistry registry;
  auto* first = New<CDownloadThread>(relay, SystemSessionClock(), FileRequest(path), 1);
  auto* second = New<CDownloadThread>(relay, SystemSessionClock(), FileRequest(path), 2);
  registry.AddDownloadThread(first);
  registry.AddDownloadThread(second);
  first->Start();
  second->Start();
  ASSERT_TRUE(WaitFor([&] { return first->IsRunning() && second->IsRunning(); }));
  EXPECT_EQ(registry.StopDownload(path.c_str(), 3), 0);
  EXPECT_EQ(registry.StopDownload((path + "x").c_str(), 2), 0);
  EXPECT_EQ(registry.StopDownload(path.c_str(), 2), 1);
  ASSERT_TRUE(WaitFor([&] { return !second->IsRunning(); }));
  EXPECT_TRUE(first->IsRunning());
  registry.RemoveAll();  // the close: the first peer is told that it stops
  int stops1 = 0, stops2 = 0;
  for (const RelayCall& call : relay.Of(RelayCall::kDloadStop)) (call.word == 1 ? stops1 : stops2)++;
  EXPECT_EQ(stops1, 1);
  EXPECT_EQ(stops2, 0);
  EXPECT_EQ(registry.DownloadCount(), 0u);
}

TEST(RemoteSessionRegistry, TheCloseStopsPausedReplaysAndTellsTheirPeers) {
  TempFolder folder;
  const std::string path = folder.File("090000-vv1.avi");
  WriteServedRecord(path, 20);
  FakeSessionClock clock;
  RecordingRelay relay(clock);
  CRemoteSessionRegistry registry;
  auto* replay = New<CReplayThread>(relay, clock, FileRequest(path), 5);
  relay.onData = [&](int n) {
    if (n == 2) replay->Control(replaypace::kControlPause);
  };
  registry.AddReplayThread(replay);
  replay->Start();
  ASSERT_TRUE(WaitFor([&] { return relay.Count(RelayCall::kReplayData) >= 2; }));
  registry.SetReplaySpeed(path.c_str(), 3, 6);  // another peer's word: nothing
  registry.ControlReplay(path.c_str(), replaypace::kControlPause, 5);
  registry.RemoveAll();
  EXPECT_EQ(relay.Count(RelayCall::kReplayStop), 1);
  EXPECT_EQ(relay.Count(RelayCall::kEnd), 1);
  EXPECT_EQ(registry.ReplayCount(), 0u);
}
