// A served live video session against a real relay peer on 127.0.0.1: this
// process serves (the relay library's default instance), a second instance
// logs in and asks for the video.
#include <gtest/gtest.h>

#include <QWidget>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

#include "common/wait_for.h"
#include "live/streams/relay_video_session.h"
#include "pelk/pelk.h"
#include "pelk/pelk_client.h"
#include "pelk/pelk_engine.h"
#include "pelk/pelk_server.h"
#include "pelk/pelk_testing.h"
#include "platform/wnd.h"
#include "streva/streva_ctrl.h"

namespace {

constexpr char kDigest[] = "E10ADC3949BA59ABBE56E057F20F883E";
constexpr char kKey[] = "00-1A-2B-3C-4D-5E:10.0.0.1";

struct Posted {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

class Window : public QWidget, public CWnd {
 public:
  Window() : CWnd(this) {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_RELAY_CHECK_USER) {
      return Pelk_CheckPassword(reinterpret_cast<const PelkPasswordVerifier*>(lParam), kDigest) ? 0 : 1;
    }
    posted.push_back({msg, wParam, lParam});
    return 0;
  }
  bool Take(UINT msg, Posted* out) {
    return WaitFor([&] {
      for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (it->msg != msg) continue;
        *out = *it;
        posted.erase(it);
        return true;
      }
      return false;
    });
  }
  std::deque<Posted> posted;
};

struct Frame {
  LONG kind;
  DWORD keyFlag;
  double time;
  DWORD sequence;
};

class RelayVideoSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Pelk_SetMsgWnd(server_.GetSafeHwnd());
    ASSERT_EQ(Pelk_StartTS("127.0.0.1", 0, 8, 8), 1);
    viewer_.SetMsgWnd(viewerWindow_.GetSafeHwnd());
    login_ = viewer_.client().Login("127.0.0.1", pelk::Engine::Default().server().Port(), "admin", kDigest);
    ASSERT_NE(login_, 0);
  }
  void TearDown() override {
    viewer_.client().LogOutAll();
    Pelk_StopTS();
    Pelk_SetMsgWnd(nullptr);
    Pelk_Release();
  }

  // The peer asks for the key's video; the request as the serving window gets it.
  RelayRequestRecord Ask(DWORD* word) {
    viewer_.client().InviteDeviceVideo(login_, kKey, 1, 2);
    Posted request{};
    EXPECT_TRUE(server_.Take(WM_RELAY_VIDEO_REQUEST, &request));
    *word = static_cast<DWORD>(request.lParam);
    const RelayRequestRecord record = *reinterpret_cast<const RelayRequestRecord*>(request.wParam);
    Pelk_Delete(reinterpret_cast<void*>(request.wParam), PELK_DELETE_RECORD);
    return record;
  }
  void Receive() {
    viewer_.RealData().Register(kKey, 1, 2,
                                [](LONG, DWORD, DWORD, LONG kind, const BYTE*, LONG, const RelayFrameInfo* info,
                                   void* context) -> LONG {
                                  auto* self = static_cast<RelayVideoSessionTest*>(context);
                                  std::lock_guard<std::mutex> lock(self->mutex_);
                                  self->frames_.push_back({kind, info->dwKeyFlag, info->dTime, info->dwSequence});
                                  return 1;
                                },
                                this);
  }
  // The viewer's answer to its request has come; its record is freed. Frames
  // that were served before the answer have been handed on by then (the link
  // delivers in order), as a viewer sees them when it opens its player there.
  void TakeAnswer() {
    Posted answer{};
    ASSERT_TRUE(viewerWindow_.Take(WM_RELAY_CHANNEL_NOTIFY, &answer));
    viewer_.Records().Delete(reinterpret_cast<void*>(answer.wParam), PELK_DELETE_RECORD);
  }
  size_t Frames() {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_.size();
  }

  Window server_;
  Window viewerWindow_;
  pelk::Engine viewer_;
  LONG login_ = 0;
  std::mutex mutex_;
  std::vector<Frame> frames_;
};

std::vector<BYTE> Block(size_t size, const char* codec) {
  std::vector<BYTE> block(size, 0);
  std::memcpy(block.data(), codec, std::strlen(codec));
  return block;
}

FrameHeader Header(uint32_t flags, uint32_t time) {
  FrameHeader header{};
  header.dwFlags = flags;
  header.dwTimeStamp = time;
  return header;
}

const BYTE* Bytes(const FrameHeader& header) { return reinterpret_cast<const BYTE*>(&header); }

}  // namespace

TEST_F(RelayVideoSessionTest, AStreamWithoutAudioIsAnsweredOnceAndItsFramesAreCounted) {
  DWORD word = 0;
  const RelayRequestRecord request = Ask(&word);
  CRelayVideoSession session(nullptr);
  session.Set(request.szDevKey, request.dwStream, request.dwChannel, request.dwWord3, word);
  const std::vector<BYTE> video = Block(PELK_VIDEO_PARAM_SIZE, "H264 640x360");
  const std::vector<BYTE> audio = Block(PELK_AUDIO_PARAM_SIZE, "");
  PelkTestReset();
  session.Answer(video.data(), audio.data());
  session.Answer(video.data(), audio.data());
  EXPECT_EQ(PelkTestCounts().rspDeviceVideo, 1);
  EXPECT_TRUE(session.IsAnswered());
  EXPECT_NE(session.RelayVideoHandle(), 0u);
  Posted answer{};
  ASSERT_TRUE(viewerWindow_.Take(WM_RELAY_CHANNEL_NOTIFY, &answer));
  const auto* notify = reinterpret_cast<const RelayVideoAnswer*>(answer.wParam);
  EXPECT_STREQ(reinterpret_cast<const char*>(notify->VideoParam), "H264 640x360");
  EXPECT_EQ(notify->AudioParam[0], 0);
  EXPECT_EQ(notify->dwMainId, 1u);
  EXPECT_EQ(notify->dwSubId, 2u);
  viewer_.Records().Delete(reinterpret_cast<void*>(answer.wParam), PELK_DELETE_RECORD);

  Receive();
  const BYTE data[8] = {0, 0, 0, 1, 0x65, 1, 2, 3};
  for (uint32_t i = 0; i < 3; ++i) {
    const FrameHeader header = Header(i == 0 ? kFrameFlagKey : 0, 1000 + 40 * i);
    EXPECT_EQ(session.ReportVideo(data, sizeof data, Bytes(header)), 0);
  }
  for (uint32_t i = 0; i < 2; ++i) {
    const FrameHeader header = Header(kFrameFlagKey, 2000 + 20 * i);
    EXPECT_EQ(session.ReportAudio(data, sizeof data, Bytes(header)), 0);
  }
  EXPECT_EQ(session.ReportVideo(data, sizeof data, nullptr), 0);  // the last frame information again
  ASSERT_TRUE(WaitFor([&] { return Frames() == 6; }));
  std::lock_guard<std::mutex> lock(mutex_);
  const Frame expected[] = {{0, 1, 1000, 1}, {0, 0, 1040, 2}, {0, 0, 1080, 3},
                            {1, 1, 2000, 1}, {1, 1, 2020, 2}, {0, 1, 2020, 2}};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(frames_[i].kind, expected[i].kind) << i;
    EXPECT_EQ(frames_[i].keyFlag, expected[i].keyFlag) << i;
    EXPECT_EQ(frames_[i].time, expected[i].time) << i;
    EXPECT_EQ(frames_[i].sequence, expected[i].sequence) << i;
  }
}

TEST_F(RelayVideoSessionTest, AClosedSessionStopsServingAndCanBeAnsweredAgain) {
  DWORD word = 0;
  RelayRequestRecord request = Ask(&word);
  CRelayVideoSession session(nullptr);
  session.Set(request.szDevKey, request.dwStream, request.dwChannel, request.dwWord3, word);
  const std::vector<BYTE> video = Block(PELK_VIDEO_PARAM_SIZE, "H264");
  const std::vector<BYTE> audio = Block(PELK_AUDIO_PARAM_SIZE, "G711");
  session.Answer(video.data(), audio.data());
  const DWORD handle = session.RelayVideoHandle();
  ASSERT_NE(handle, 0u);
  TakeAnswer();
  const BYTE data[4] = {1, 2, 3, 4};
  const FrameHeader header = Header(kFrameFlagKey, 40);
  session.ReportVideo(data, 4, Bytes(header));
  PelkTestReset();
  session.Close();
  EXPECT_EQ(PelkTestCounts().closeDeviceVideo, 1);
  EXPECT_FALSE(session.IsAnswered());
  EXPECT_EQ(session.RelayVideoHandle(), 0u);
  EXPECT_STREQ(session.Name(), "");
  EXPECT_EQ(session.Owner(), nullptr);
  EXPECT_EQ(pelk::Engine::Default().server().OpenVideos(), 0u);

  // Filled and answered again, its counters start at 1 once more.
  request = Ask(&word);
  session.Set(request.szDevKey, request.dwStream, request.dwChannel, request.dwWord3, word);
  session.Answer(video.data(), audio.data());
  EXPECT_NE(session.RelayVideoHandle(), 0u);
  // The first session's frame is still on its way: the viewer takes the new
  // video from its answer on, and then sees only the new session's frames.
  TakeAnswer();
  Receive();
  session.ReportVideo(data, 4, Bytes(header));
  ASSERT_TRUE(WaitFor([&] { return Frames() == 1; }));
  std::lock_guard<std::mutex> lock(mutex_);
  EXPECT_EQ(frames_[0].sequence, 1u);
}

TEST_F(RelayVideoSessionTest, ASessionNeverAnsweredClosesWithoutARelayCall) {
  CRelayVideoSession session(nullptr);
  session.Set(kKey, 1, 2, 0, 99);
  const std::vector<BYTE> none = Block(PELK_VIDEO_PARAM_SIZE, "");
  PelkTestReset();
  session.Answer(none.data(), none.data());  // no media described: nothing sent, answered all the same
  EXPECT_TRUE(session.IsAnswered());
  EXPECT_EQ(PelkTestCounts().rspDeviceVideo, 0);
  // Without a relay video handle a frame goes nowhere.
  const BYTE data[4] = {1, 2, 3, 4};
  const FrameHeader header = Header(kFrameFlagKey, 40);
  EXPECT_EQ(session.ReportVideo(data, 4, Bytes(header)), -1);
  EXPECT_EQ(session.FrameInfo().dwSequence, 1u);
  session.Close();
  EXPECT_EQ(PelkTestCounts().closeDeviceVideo, 0);
  EXPECT_FALSE(session.IsAnswered());
}
