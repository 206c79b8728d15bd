// The file replay served to a peer, paced on a clock of the test's own.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "common/temp_folder.h"
#include "common/wait_for.h"
#include "records/recfile/rec_file_fixture.h"
#include "records/recfile/rec_file_reader.h"
#include "relay/relay_messages.h"
#include "relay/sessions/replay_pacing.h"
#include "relay/sessions/replay_thread.h"
#include "relay/sessions/session_test_support.h"

namespace {

class ReplayThreadTest : public ::testing::Test {
 protected:
  std::unique_ptr<CReplayThread> Make(const std::string& path, DWORD word = 77) {
    auto thread = std::make_unique<CReplayThread>(relay, clock);
    RelayFileRequest request;
    std::snprintf(request.szDevKey, sizeof request.szDevKey, "00-1A:10.0.0.1");
    std::snprintf(request.szPath, sizeof request.szPath, "%s", path.c_str());
    request.dwHandle = 9;
    thread->SetRequest(request);
    thread->SetSessionId(word);
    thread->SetRegistryId(5);
    return thread;
  }
  std::vector<RelayCall> Video() const {
    std::vector<RelayCall> out;
    for (const RelayCall& call : relay.Of(RelayCall::kReplayData)) {
      if (call.kind == PELK_MEDIA_VIDEO) out.push_back(call);
    }
    return out;
  }

  TempFolder folder;
  FakeSessionClock clock;
  RecordingRelay relay{clock};
};

DWORD KeyCount(const std::string& path) {
  CRecFileReader reader;
  return reader.Open(path.c_str()) ? reader.GetKeyFrameCount() : 0;
}

}  // namespace

TEST(ReplayPacing, SpeedTablesOfBothReplaysNeverGoBelowOneMillisecond) {
  struct Case {
    int speed, fps, fileInterval, fileCode, dayInterval, factor;
    double fileSkip;
  };
  const Case cases[] = {
      {1, 25, 40, 21, 40, 1, 4.0},    {2, 25, 15, 11, 20, 2, 2.0},    {3, 25, 10, 6, 10, 4, 1.0},
      {4, 25, 5, 3, 5, 8, 0.5},       {5, 25, 2, 2, 2, 16, 0.25},     {6, 25, 1, 1, 1, 32, 0.125},
      {7, 25, 80, 41, 80, 0, 8.0},    {8, 25, 160, 81, 160, 0, 16.0}, {9, 25, 320, 161, 320, 0, 32.0},
      {10, 25, 640, 321, 640, 0, 64.0}, {11, 25, 1280, 641, 1280, 0, 128.0},
      {12, 25, 40, 21, 40, 1, -1},    // unknown: normal, the file's key-skip period stays
      // Fast files: the divisions reach 0 or less; the interval stays at 1 ms.
      {6, 60, 1, 1, 1, 32, 0.125},    {2, 200, 1, 11, 2, 2, 2.0},     {5, 100, 1, 2, 1, 16, 0.25},
  };
  for (const Case& c : cases) {
    const replaypace::SpeedSetting file = replaypace::FileReplaySpeed(c.speed, c.fps);
    const replaypace::SpeedSetting day = replaypace::DayReplaySpeed(c.speed, c.fps);
    EXPECT_EQ(file.intervalMs, c.fileInterval) << c.speed << "@" << c.fps;
    EXPECT_EQ(file.speedCode, c.fileCode) << c.speed << "@" << c.fps;
    EXPECT_EQ(day.intervalMs, c.dayInterval) << c.speed << "@" << c.fps;
    EXPECT_EQ(file.factor, c.factor) << c.speed;
    if (c.fileSkip < 0) {
      EXPECT_TRUE(file.keepKeySkip);
    } else {
      EXPECT_DOUBLE_EQ(file.keySkipSeconds, c.fileSkip) << c.speed;
      EXPECT_DOUBLE_EQ(day.keySkipSeconds, c.fileSkip * 2) << c.speed;
    }
  }
  EXPECT_TRUE(replaypace::FileReplaySpeed(0, 25).pause);
  EXPECT_TRUE(replaypace::DayReplaySpeed(0, 25).pause);
  EXPECT_EQ(replaypace::FileStartInterval(25), 38);
  EXPECT_EQ(replaypace::FileStartInterval(1000), 1);
  EXPECT_EQ(replaypace::NormalInterval(0), 1000);
  EXPECT_EQ(replaypace::JumpEntry(5, 30, false), 0u);
  EXPECT_EQ(replaypace::JumpEntry(21, 30, false), 1u);
  EXPECT_EQ(replaypace::JumpEntry(20, 30, false), 0u);
  EXPECT_EQ(replaypace::JumpEntry(15, 30, true), 29u);
  EXPECT_EQ(replaypace::JumpEntry(9, 30, true), 29u);
  EXPECT_EQ(replaypace::JumpEntry(8, 30, true), 28u);
}

TEST_F(ReplayThreadTest, AnswersThenSendsEveryChunkAtTheFileRateAndEnds) {
  const std::string path = folder.File("080000-av1.avi");
  WriteServedRecord(path, 10, 25, true);
  auto thread = Make(path);
  ASSERT_TRUE(thread->Start());
  ASSERT_TRUE(relay.WaitEnd());
  thread->Stop();

  const std::vector<RelayCall> calls = relay.Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front().type, RelayCall::kReplayStart);
  EXPECT_EQ(calls.front().status, PELK_STATUS_ANSWER);
  EXPECT_TRUE(calls.front().video);
  EXPECT_TRUE(calls.front().audio);  // a two-stream file
  EXPECT_EQ(calls.front().videoCodec, "H264");
  EXPECT_EQ(calls.front().seconds, static_cast<LONG>(KeyCount(path)));
  EXPECT_EQ(calls.front().word, 77u);

  const std::vector<RelayCall> video = Video();
  ASSERT_EQ(video.size(), 250u);
  EXPECT_EQ(relay.Count(RelayCall::kReplayData), 500);  // every audio chunk at normal speed
  EXPECT_GE(video.front().time - calls.front().time, CReplayThread::kStartDelayMs);
  for (size_t i = 1; i < video.size(); ++i) EXPECT_EQ(video[i].time - video[i - 1].time, 38u) << i;
  DWORD sequence = 1;
  for (const RelayCall& call : relay.Of(RelayCall::kReplayData)) EXPECT_EQ(call.info.dwSequence, sequence++);
  EXPECT_EQ(video.front().info.dwKeyFlag, 1u);
  EXPECT_EQ(video[1].info.dwKeyFlag, 0u);
  EXPECT_NEAR(video.back().info.dTime, 10000.0, 100.0);

  EXPECT_EQ(relay.Count(RelayCall::kReplayStop), 1);
  EXPECT_EQ(calls.back().type, RelayCall::kEnd);
  EXPECT_EQ(calls.back().msg, WM_SESSION_REPLAY_END);
  EXPECT_EQ(calls.back().id, 5u);
}

TEST_F(ReplayThreadTest, AOneStreamFileAnswersWithoutAudioAndAMissingFileIsRefused) {
  const std::string path = folder.File("090000-vv1.avi");
  WriteServedRecord(path, 2);
  auto one = Make(path);
  ASSERT_TRUE(one->Start());
  ASSERT_TRUE(relay.WaitEnd());
  one->Stop();
  EXPECT_TRUE(relay.Calls().front().video);
  EXPECT_FALSE(relay.Calls().front().audio);

  RecordingRelay missingRelay(clock);
  CReplayThread missing(missingRelay, clock);
  RelayFileRequest request;
  std::snprintf(request.szPath, sizeof request.szPath, "%s", folder.File("none.avi").c_str());
  missing.SetRequest(request);
  missing.SetRegistryId(8);
  ASSERT_TRUE(missing.Start());
  ASSERT_TRUE(missingRelay.WaitEnd());
  missing.Stop();
  const std::vector<RelayCall> calls = missingRelay.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].status, PELK_STATUS_REFUSED);
  EXPECT_FALSE(calls[0].video);
  EXPECT_EQ(calls[0].seconds, 0);
  EXPECT_EQ(calls[1].type, RelayCall::kEnd);
  EXPECT_EQ(calls[1].id, 8u);
}

// The file of a recording still under way (or of a recorder that died) has no
// index yet: the peer is served its chunks up to the last whole one.
TEST_F(ReplayThreadTest, AFileWithoutItsIndexIsServedToItsLastWholeChunk) {
  RecFileFixture fixture(2);
  for (int i = 0; i < 100; ++i) {
    fixture.AddVideo(H264Frame(i % 25 == 0, 500, static_cast<uint8_t>(i)), i % 25 == 0);
    fixture.AddAudio(Bytes(320, 0x55));
  }
  const std::string path = folder.File("100000-av1.avi");
  // Cut inside video chunk 80 (chunk 160 of the file), the index gone with it.
  const std::string bytes = fixture.Build().substr(0, fixture.ChunkPos(160) + 100);
  {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  auto thread = Make(path);
  ASSERT_TRUE(thread->Start());
  ASSERT_TRUE(relay.WaitEnd());
  thread->Stop();
  const std::vector<RelayCall> calls = relay.Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().status, PELK_STATUS_ANSWER);
  EXPECT_EQ(calls.front().seconds, 3);  // 80 whole video frames at 25 a second
  EXPECT_EQ(Video().size(), 80u);
  EXPECT_EQ(relay.Count(RelayCall::kReplayData), 160);
  EXPECT_EQ(relay.Count(RelayCall::kReplayStop), 1);
}

// Normal speed (40 ms), half speed (80 ms, no audio), then 8 x fast on a file
// whose key frames lie 8 s apart: without a key frame for 0.5 s the thread
// skips to the next key frame.
TEST_F(ReplayThreadTest, SpeedRequestsChangeTheIntervalDropAudioAndSkipToKeyFrames) {
  const std::string path = folder.File("100000-av1.avi");
  WriteServedRecord(path, 40, 25, true, 200);
  auto thread = Make(path);
  std::map<int, int> speedAt = {{20, 1}, {60, 7}, {100, 4}};
  relay.onData = [&](int n) {
    if (auto found = speedAt.find(n); found != speedAt.end()) thread->SetSpeed(found->second);
  };
  ASSERT_TRUE(thread->Start());
  ASSERT_TRUE(relay.WaitEnd());
  thread->Stop();

  const std::vector<RelayCall> data = relay.Of(RelayCall::kReplayData);
  ASSERT_GT(data.size(), 110u);
  std::vector<DWORD> gaps;  // between video chunks, by the data call number of the later one
  std::vector<int> numbers;
  for (size_t i = 0, last = 0; i < data.size(); ++i) {
    if (data[i].kind != PELK_MEDIA_VIDEO) continue;
    if (last) {
      gaps.push_back(data[i].time - data[last - 1].time);
      numbers.push_back(static_cast<int>(i) + 1);
    }
    last = i + 1;
  }
  bool saw40 = false, saw80 = false;
  for (size_t i = 0; i < gaps.size(); ++i) {
    if (numbers[i] > 24 && numbers[i] < 58) saw40 |= gaps[i] == 40;
    if (numbers[i] > 64 && numbers[i] < 98) {
      EXPECT_EQ(gaps[i], 80u) << numbers[i];
      saw80 = true;
    }
  }
  EXPECT_TRUE(saw40);
  EXPECT_TRUE(saw80);
  for (size_t i = 62; i < data.size(); ++i) EXPECT_EQ(data[i].kind, PELK_MEDIA_VIDEO) << "audio after half speed, " << i;
  // 8 x fast: 5 ms a frame, and a key frame at most about 0.5 s apart although
  // the file has one only every 200 frames (1 s of play at this speed).
  // The file's last key frame (32 s) has no next one: only up to it.
  int sinceKey = 0, longest = 0, keys = 0;
  for (size_t i = 105; i < data.size() && data[i].info.dTime < 32000; ++i) {
    keys += data[i].info.dwKeyFlag ? 1 : 0;
    sinceKey = data[i].info.dwKeyFlag ? 0 : sinceKey + 1;
    longest = std::max(longest, sinceKey);
  }
  EXPECT_LE(longest, 105);
  EXPECT_GE(keys, 2);
  EXPECT_LT(data.size(), 800u);  // frames were skipped
}

TEST_F(ReplayThreadTest, SpeedZeroSendsOneMoreFrameThenPausesUntilContinued) {
  const std::string path = folder.File("110000-vv1.avi");
  WriteServedRecord(path, 4);
  auto thread = Make(path);
  relay.onData = [&](int n) {
    if (n == 20) thread->SetSpeed(0);
  };
  ASSERT_TRUE(thread->Start());
  // Paused: the count stays at 21 while the clock runs on.
  WaitFor([&] { return relay.Count(RelayCall::kReplayData) >= 21; });
  const DWORD pausedAt = clock.Now();
  EXPECT_TRUE(WaitFor([&] { return clock.Now() - pausedAt > 1000u; })) << "a paused session's clock runs on";
  EXPECT_EQ(relay.Count(RelayCall::kReplayData), 21);
  thread->Control(replaypace::kControlContinue);
  ASSERT_TRUE(relay.WaitEnd());
  thread->Stop();
  EXPECT_EQ(relay.Count(RelayCall::kReplayData), 100);
  EXPECT_EQ(relay.Count(RelayCall::kReplayStop), 1);
}

TEST_F(ReplayThreadTest, JumpsOfTwentySecondsStopAtTheEnds) {
  const std::string path = folder.File("120000-vv1.avi");
  WriteServedRecord(path, 30);
  const DWORD k = KeyCount(path);
  ASSERT_EQ(k, 30u);
  auto thread = Make(path);
  // At 5 s back 20 s (entry 0); later at 15 s forward 20 s (the last entry).
  relay.onData = [&](int n) {
    if (n == 125) thread->Control(replaypace::kControlBack20);
    if (n == 500) thread->Control(replaypace::kControlForward20);
  };
  ASSERT_TRUE(thread->Start());
  ASSERT_TRUE(relay.WaitEnd());
  thread->Stop();
  const std::vector<RelayCall> data = relay.Of(RelayCall::kReplayData);
  ASSERT_GT(data.size(), 502u);
  EXPECT_NEAR(data[124].info.dTime, 5000.0, 100.0);
  EXPECT_LT(data[125].info.dTime, 400.0);  // back at entry 0 (the time is the byte position's)
  EXPECT_EQ(data[125].info.dwKeyFlag, 1u);
  EXPECT_NEAR(data[500].info.dTime, 29000.0, 400.0);  // the last entry
  EXPECT_EQ(data.size(), 500u + 25u);
  // After a jump the interval is 1000 / F.
  EXPECT_EQ(data[127].time - data[126].time, 40u);
}

TEST_F(ReplayThreadTest, AFastFileAtAFastSpeedStillWaitsBetweenFrames) {
  const std::string path = folder.File("130000-vv1.avi");
  WriteServedRecord(path, 2, 200);
  auto thread = Make(path);
  relay.onData = [&](int n) {
    if (n == 1) thread->SetSpeed(2);  // 1000 / 200 / 2 - 5 is below 0
  };
  ASSERT_TRUE(thread->Start());
  ASSERT_TRUE(relay.WaitEnd(30000));
  thread->Stop();
  const std::vector<RelayCall> data = relay.Of(RelayCall::kReplayData);
  ASSERT_EQ(data.size(), 400u);
  std::map<DWORD, int> perMs;
  for (size_t i = 1; i < data.size(); ++i) ++perMs[data[i].time];
  for (const auto& [time, count] : perMs) EXPECT_LE(count, 2) << time;
  EXPECT_GE(data.back().time - data[1].time, 190u);
}

TEST_F(ReplayThreadTest, AStopFromOutsideEndsWithoutTheStopNotice) {
  const std::string path = folder.File("140000-vv1.avi");
  WriteServedRecord(path, 10);
  auto thread = Make(path);
  relay.onData = [&](int n) {
    if (n == 3) thread->Control(replaypace::kControlStop);
  };
  ASSERT_TRUE(thread->Start());
  ASSERT_TRUE(relay.WaitEnd());
  thread->Stop();
  EXPECT_LE(relay.Count(RelayCall::kReplayData), 4);
  EXPECT_EQ(relay.Count(RelayCall::kReplayStop), 0);
  EXPECT_FALSE(thread->IsRunning());
}
