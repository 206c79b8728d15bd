// A day of one device's recordings served to a peer as one stream.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/app_data.h"
#include "core/rec_scheme.h"
#include "common/wait_for.h"
#include "records/search/rec_tree.h"
#include "relay/relay_messages.h"
#include "relay/sessions/replay_by_date_thread.h"
#include "relay/sessions/replay_pacing.h"
#include "relay/sessions/session_test_support.h"

namespace {

// Two files of camera 10.0.0.1 on 2026-12-10: 08:00:00 (60 s, two streams)
// and 08:10:00 (30 s, video only), in the scheme list of the program.
class ByDateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string storage = tree.Storage("rec");
    RecSchemeInfo& scheme = tree.AddScheme(storage);
    scheme.lstDev.push_back(MakeDevice(1, "Cam1", "10.0.0.1"));
    const std::string day = tree.DayFolder(storage, "Cam1", "Schedule", 2026, 12, 10);
    WriteServedRecord(day + "080000-av1.avi", 60, 25, true);
    WriteServedRecord(day + "081000-vv1.avi", 30);
    saved_.swap(g_lstRecSchemeInfo);
    g_lstRecSchemeInfo = tree.Schemes();
  }
  void TearDown() override { g_lstRecSchemeInfo.swap(saved_); }

  std::unique_ptr<CReplayByDateThread> Make(DWORD startSecond) {
    auto thread = std::make_unique<CReplayByDateThread>(relay, clock);
    ReplayByDateRequest request;
    std::snprintf(request.szDevKey, sizeof request.szDevKey, "00-1A-2B-3C-4D-5E:10.0.0.1");
    request.dwHandle = 3;
    request.dwYear = 2026;
    request.dwMonth = 12;
    request.dwDay = 10;
    request.dwStartSecond = startSecond;
    thread->SetRequest(request);
    thread->SetSessionId(41);
    thread->SetRegistryId(6);
    return thread;
  }

  // The day served from `startSecond` to its end: the data calls.
  std::vector<RelayCall> ServeToTheEnd(DWORD startSecond) {
    auto thread = Make(startSecond);
    EXPECT_TRUE(thread->Start());
    EXPECT_TRUE(relay.WaitEnd());
    thread->Stop();
    return relay.Of(RelayCall::kByDateData);
  }

  RecTree tree;
  FakeSessionClock clock;
  RecordingRelay relay{clock};
  std::list<RecSchemeInfo*> saved_;
};

constexpr int k0800 = 8 * 3600;
constexpr int k0810 = 8 * 3600 + 600;

}  // namespace

TEST(ByDateFiles, TheFileOfASecondCoversItOrStartsAfterIt) {
  const std::vector<CReplayByDateThread::DayFile> files = {{"a", 60, 100}, {"b", 60, 300}};
  struct Case {
    int second;
    bool found;
    int file;
    int offset;
  };
  const Case cases[] = {{50, true, 1, 0},   {100, true, 1, 0}, {130, true, 1, 30}, {160, true, 1, 60},
                        {200, true, 2, 0},  {359, true, 2, 59}, {360, true, 2, 60}, {361, false, -1, 0}};
  for (const Case& c : cases) {
    int current = -1;
    int offset = 0;
    EXPECT_EQ(CReplayByDateThread::FindFileAt(files, c.second, &current, &offset), c.found) << c.second;
    EXPECT_EQ(current, c.file) << c.second;
    EXPECT_EQ(offset, c.offset) << c.second;
  }
  int current = -1;
  EXPECT_FALSE(CReplayByDateThread::FindFileAt({}, 0, &current, nullptr));
}

// From 90 s before the first file's end into the gap and on: the first file
// from its key entry 30, then the second file whole, each file's first chunk
// with its blocks; the stop notice, then the end message.
TEST_F(ByDateTest, ServesTheDayFromASecondAcrossItsFiles) {
  const std::vector<RelayCall> data = ServeToTheEnd(k0800 + 30);
  ASSERT_FALSE(data.empty());
  EXPECT_EQ(data.front().first, 1);
  EXPECT_TRUE(data.front().video);
  EXPECT_TRUE(data.front().audio);
  EXPECT_EQ(data.front().start, static_cast<DWORD>(k0800));
  EXPECT_EQ(data.front().seconds, 60);
  EXPECT_NEAR(data.front().info.dTime, 30000.0, 600.0);
  size_t second = 0;
  int firsts = 0;
  for (size_t i = 0; i < data.size(); ++i) {
    firsts += data[i].first;
    if (i > 0 && data[i].first) second = i;
    if (!data[i].first) {
      EXPECT_FALSE(data[i].video || data[i].audio) << i;
    }
    EXPECT_EQ(data[i].info.dwSequence, i + 1);
  }
  EXPECT_EQ(firsts, 2);
  ASSERT_GT(second, 0u);
  EXPECT_EQ(data[second].start, static_cast<DWORD>(k0810));
  EXPECT_TRUE(data[second].video);
  EXPECT_FALSE(data[second].audio);  // a one-stream file
  // Normal speed: 40 ms between video chunks.
  EXPECT_EQ(data[second + 2].time - data[second + 1].time, 40u);
  const std::vector<RelayCall> calls = relay.Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2].type, RelayCall::kByDateStop);
  EXPECT_EQ(calls.back().type, RelayCall::kEnd);
  EXPECT_EQ(calls.back().msg, WM_SESSION_REPLAY_BY_DATE_END);
  EXPECT_EQ(calls.back().id, 6u);
}

// A second scheme records the camera into the same storage path (as the
// default scheme does beside the user's): its files are the same files, each
// is played once.
TEST_F(ByDateTest, AFileThatTwoSchemesRecordIsPlayedOnce) {
  RecSchemeInfo& second = tree.AddScheme(tree.Storage("rec"));
  second.lstDev.push_back(MakeDevice(1, "Cam1", "10.0.0.1"));
  g_lstRecSchemeInfo = tree.Schemes();
  auto thread = Make(k0810 + 25);
  ASSERT_TRUE(thread->Start());
  ASSERT_TRUE(relay.WaitEnd());
  thread->Stop();
  int firsts = 0;
  for (const RelayCall& call : relay.Of(RelayCall::kByDateData)) firsts += call.first;
  EXPECT_EQ(firsts, 1);
}

// The day search of a served day runs on its own thread while the UI thread
// changes the scheme list (under g_csAppData, as the scheme editor does): it
// reads a copy taken under the lock, never the list itself.
TEST_F(ByDateTest, TheDaySearchReadsACopyWhileTheSchemesChange) {
  std::vector<std::unique_ptr<RecordingRelay>> relays;
  std::vector<std::unique_ptr<CReplayByDateThread>> threads;
  for (int i = 0; i < 4; ++i) {
    relays.push_back(std::make_unique<RecordingRelay>(clock));
    threads.push_back(std::make_unique<CReplayByDateThread>(*relays.back(), clock));
    ReplayByDateRequest request = Make(k0810 + 29)->GetRequest();
    threads.back()->SetRequest(request);
    threads.back()->Start();
  }
  for (int round = 0; round < 200; ++round) {
    auto extra = std::make_unique<RecSchemeInfo>();
    extra->lstDev.push_back(MakeDevice(1, "Cam9", "10.0.0.9"));
    {
      CsLock lock(&g_csAppData);
      g_lstRecSchemeInfo.push_back(extra.get());
    }
    CsLock lock(&g_csAppData);
    g_lstRecSchemeInfo.pop_back();
  }
  for (auto& relay : relays) EXPECT_TRUE(relay->WaitEnd());
  for (auto& thread : threads) thread->Stop();
  for (auto& relay : relays) EXPECT_GE(relay->Count(RelayCall::kByDateData), 1);
}

// The day's last file is still being written (no index yet, its last chunk
// not whole): the day search counts its whole seconds and the peer is served
// them, then the stop notice.
TEST_F(ByDateTest, AFileStillBeingWrittenIsServedToItsLastWholeChunk) {
  const std::string day = tree.DayFolder(tree.Storage("rec"), "Cam1", "Schedule", 2026, 12, 10);
  const std::string path = day + "082000-av1.avi";
  WriteServedRecord(path, 20, 25, true);
  ASSERT_EQ(::truncate(path.c_str(), std::filesystem::file_size(path) / 2), 0);
  const std::vector<RelayCall> data = ServeToTheEnd(8 * 3600 + 1200);
  ASSERT_FALSE(data.empty());
  EXPECT_EQ(data.front().first, 1);
  EXPECT_EQ(data.front().start, static_cast<DWORD>(8 * 3600 + 1200));
  EXPECT_GE(data.front().seconds, 5);
  EXPECT_LT(data.front().seconds, 20);
  int video = 0;
  for (const RelayCall& call : data) video += call.kind == PELK_MEDIA_VIDEO;
  // From the file's first key frame after its start (its second second) to its last whole frame.
  EXPECT_GE(video, (data.front().seconds - 1) * 25);
  EXPECT_LT(video, (data.front().seconds + 1) * 25);
  EXPECT_EQ(relay.Count(RelayCall::kByDateStop), 1);
}

TEST_F(ByDateTest, AStartInAGapPlaysTheLaterFileAndOneAfterTheDayPlaysNothing) {
  auto gap = Make(k0800 + 200);
  relay.onData = [&](int n) {
    if (n == 1) gap->Control(replaypace::kControlStop);
  };
  ASSERT_TRUE(gap->Start());
  ASSERT_TRUE(relay.WaitEnd());
  gap->Stop();
  const std::vector<RelayCall> data = relay.Of(RelayCall::kByDateData);
  ASSERT_GE(data.size(), 1u);
  EXPECT_EQ(data.front().start, static_cast<DWORD>(k0810));
  EXPECT_EQ(relay.Count(RelayCall::kByDateStop), 1);  // a stop from outside still tells the peer

  RecordingRelay after(clock);
  CReplayByDateThread late(after, clock);
  ReplayByDateRequest request = gap->GetRequest();
  request.dwStartSecond = k0810 + 31;
  late.SetRequest(request);
  ASSERT_TRUE(late.Start());
  ASSERT_TRUE(after.WaitEnd());
  late.Stop();
  const std::vector<RelayCall> calls = after.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].type, RelayCall::kEnd);  // the end notice goes first here
  EXPECT_EQ(calls[1].type, RelayCall::kByDateStop);
}

TEST_F(ByDateTest, AJumpIntoThePlayingFileReopensItAndAPausedJumpWaits) {
  auto thread = Make(k0810);
  relay.onData = [&](int n) {
    if (n == 10) thread->SetPendingJump(k0810 + 20);
    if (n == 30) {
      thread->Control(replaypace::kControlPause);
      thread->SetPendingJump(k0810 + 5);
    }
  };
  ASSERT_TRUE(thread->Start());
  WaitFor([&] { return relay.Count(RelayCall::kByDateData) >= 30; });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(relay.Count(RelayCall::kByDateData), 30);  // paused, the jump waits
  thread->Control(replaypace::kControlContinue);
  relay.SetOnData(nullptr);
  // Going on, the jump is taken and the file plays from its new place.
  ASSERT_TRUE(WaitFor([&] { return relay.Count(RelayCall::kByDateData) > 33; }));
  thread->Control(replaypace::kControlStop);
  ASSERT_TRUE(relay.WaitEnd());
  thread->Stop();
  const std::vector<RelayCall> data = relay.Of(RelayCall::kByDateData);
  ASSERT_GT(data.size(), 33u);
  EXPECT_EQ(data[10].first, 0);  // the jump is taken after the next chunk
  EXPECT_EQ(data[11].first, 1);  // the same file again, with its blocks
  EXPECT_TRUE(data[11].video);
  EXPECT_NEAR(data[11].info.dTime, 20000.0, 700.0);
  EXPECT_EQ(data[30].first, 0);  // the first chunk after the pause, then the jump
  EXPECT_EQ(data[31].first, 1);
  EXPECT_NEAR(data[31].info.dTime, 5000.0, 700.0);
}

TEST_F(ByDateTest, SpeedElevenSendsAFrameEvery1280Ms) {
  auto thread = Make(k0810);
  relay.onData = [&](int n) {
    if (n == 1) thread->SetSpeed(11);
    if (n == 6) thread->Control(replaypace::kControlStop);
  };
  ASSERT_TRUE(thread->Start());
  ASSERT_TRUE(relay.WaitEnd());
  thread->Stop();
  const std::vector<RelayCall> data = relay.Of(RelayCall::kByDateData);
  ASSERT_EQ(data.size(), 6u);
  for (size_t i = 3; i < data.size(); ++i) EXPECT_EQ(data[i].time - data[i - 1].time, 1280u) << i;
}
