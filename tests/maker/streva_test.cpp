// The RTSP pull client against the GStreamer RTSP server of tests/peers.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <cstring>
#include <memory>

#include <set>

#include "fake_device_process.h"
#include "maker/gimbro/gimbro.h"
#include "maker_test_support.h"
#include "rtsp_test_server.h"
#include "streva/streva_ctrl.h"

namespace {

class StrevaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
    ctrl_ = std::make_unique<CStrevaCtrl>();
    ctrl_->Advise(&events_);
  }
  void TearDown() override {
    ctrl_.reset();
    server_.Stop();
  }

  RtspTestServer server_;
  EventRecorder events_;
  std::unique_ptr<CStrevaCtrl> ctrl_;
};

TEST(StrevaAddress, UnusableAddressesFailAtOnce) {
  CStrevaCtrl ctrl;
  for (const char* url : {"", "http://127.0.0.1/h264", "rtsp://", "rtsp:///h264", "rtsp://:554/x",
                          "rtsp://127.0.0.1:0/x", "rtsp://127.0.0.1:70000/x", "rtsp://127.0.0.1:/x",
                          "rtsp://bad host/x", "rtsp://[::1/x", "vmq://"}) {
    EXPECT_EQ(ctrl.OpenStream(url, "", "", TRUE), 0) << url;
  }
  EXPECT_EQ(ctrl.OpenStreamEx("127.0.0.1", 0, "h264", "", "", TRUE), 0);
  EXPECT_EQ(ctrl.OpenStreamEx("", 554, "h264", "", "", TRUE), 0);
  EXPECT_EQ(ctrl.DeleteStream(12345), -1);
  EXPECT_EQ(ctrl.RegisterReader(12345, 1), -1);
  BYTE buffer[16];
  long length = sizeof(buffer);
  long headerLength = 16;
  EXPECT_EQ(ctrl.ReadVideo(12345, 1, buffer, &length, buffer, &headerLength), kReadBadArgs);
}

TEST_F(StrevaTest, PullRaisesMediaParametersAndFramesWithHeaders) {
  long id = ctrl_->OpenStream(server_.Url("/h264aac"), "", "", TRUE);
  ASSERT_GE(id, 1);
  ASSERT_TRUE(WaitFor([&] { return events_.VideoFrames() >= 30 && events_.AudioFrames() >= 5; }, 15000));
  ASSERT_EQ(events_.media.size(), 1u);
  EXPECT_EQ(events_.lastMediaType, kMediaTypeParam);
  EXPECT_EQ(events_.lastMediaLength, 848);
  const MediaParamBlock& block = events_.media[0];
  EXPECT_STREQ(block.szCodecTag, "OndrexH264");
  EXPECT_EQ(Field(block.wVideoPresent), 1);
  EXPECT_EQ(Field(block.wAudioPresent), 1);
  EXPECT_NE(Field(block.video.dwValid), 0u);
  EXPECT_EQ(Field(block.video.dwCodec), kVideoCodecH264);
  EXPECT_EQ(Field(block.video.dwWidth), 640u);
  EXPECT_EQ(Field(block.video.dwHeight), 360u);
  EXPECT_DOUBLE_EQ(double(block.video.dwFrameRateNum) / block.video.dwFrameRateDen, 25.0);
  EXPECT_GT(Field(block.video.dwExtraSize), 8u);
  EXPECT_STREQ(block.video.szText, "H264 640x360 25fps");
  EXPECT_NE(Field(block.audio.dwValid), 0u);
  EXPECT_EQ(Field(block.audio.wCodec), kAudioCodecAac);
  EXPECT_EQ(Field(block.audio.dwSampleRate), 8000u);
  EXPECT_EQ(Field(block.audio.byChannels), 1);
  EXPECT_GE(Field(block.audio.byExtraSize), 2);
  EXPECT_EQ(events_.Count(kStreamPlaying), 1);

  // Video frames: numbered without gaps, time stamps going forward, key frames marked.
  uint32_t expected = 0;
  int keys = 0;
  uint32_t lastTime = 0;
  for (const RecordedFrame& frame : events_.frames) {
    if (!frame.video) continue;
    EXPECT_EQ(Field(frame.header.dwSequence), expected++);
    EXPECT_EQ(Field(frame.header.dwReserved), 0u);
    if (!(frame.header.dwFlags & kFrameFlagNoTime)) {
      EXPECT_GE(Field(frame.header.dwTimeStamp), lastTime);
      lastTime = frame.header.dwTimeStamp;
    }
    keys += (frame.header.dwFlags & kFrameFlagKey) != 0;
  }
  EXPECT_GE(keys, 1);
  EXPECT_GT(lastTime, 500u);
}

TEST_F(StrevaTest, ReaderTakesFramesInsteadOfEvents) {
  long id = ctrl_->OpenStream(server_.Url("/h264"), "", "", TRUE);
  ASSERT_EQ(ctrl_->RegisterReader(id, id), 0);
  std::vector<BYTE> buffer(1 << 20);
  BYTE header[16];
  int got = 0;
  uint32_t lastSequence = 0;
  ASSERT_TRUE(WaitFor(
      [&] {
        long length = static_cast<long>(buffer.size());
        long headerLength = 16;
        long result = ctrl_->ReadVideo(id, id, buffer.data(), &length, header, &headerLength);
        if (result == 0) {
          EXPECT_GE(length, 1);
          EXPECT_EQ(headerLength, 16);
          FrameHeader h;
          std::memcpy(&h, header, 16);
          if (got > 0) {
            EXPECT_EQ(Field(h.dwSequence), lastSequence + 1);
          }
          lastSequence = h.dwSequence;
          ++got;
        } else {
          EXPECT_EQ(result, kReadEmpty);
          EXPECT_EQ(length, 0);
        }
        return got >= 25;
      },
      15000));
  EXPECT_EQ(events_.VideoFrames(), 0);  // a read stream raises no frame events
  EXPECT_EQ(events_.media.size(), 1u);

  // A buffer too small: the frame is dropped and its size given.
  ASSERT_TRUE(WaitFor(
      [&] {
        long length = 4;
        long headerLength = 16;
        long result = ctrl_->ReadVideo(id, id, buffer.data(), &length, header, &headerLength);
        if (result == kReadTooSmall) {
          EXPECT_GT(length, 4);
        }
        return result == kReadTooSmall;
      },
      5000));
  long length = static_cast<long>(buffer.size());
  long headerLength = 16;
  EXPECT_EQ(ctrl_->ReadVideo(id, 999, buffer.data(), &length, header, &headerLength), kReadBadArgs);
  EXPECT_EQ(ctrl_->ReadAudio(id, id, buffer.data(), &length, header, &headerLength), kReadEmpty);
  EXPECT_EQ(ctrl_->UnregisterReader(id, id), 0);
  EXPECT_EQ(ctrl_->UnregisterReader(id, id), -1);
  // Without readers frames come as events again.
  ASSERT_TRUE(WaitFor([&] { return events_.VideoFrames() >= 3; }, 5000));
}

TEST_F(StrevaTest, LaggingReaderLosesOldestWholeFramesOnly) {
  long id = ctrl_->OpenStream(server_.Url("/h264"), "", "", TRUE);
  ASSERT_EQ(ctrl_->RegisterReader(id, 7), 0);
  ASSERT_EQ(ctrl_->RegisterReader(id, 8), 0);
  std::vector<BYTE> buffer(1 << 20);
  BYTE header[16];
  long length = 0;
  long headerLength = 16;
  // Reader 7 reads nothing while more frames arrive than its queue holds (100
  // frames, 4 s); reader 8 keeps up and counts them. Counted, not timed: on a
  // busy machine the stream can start seconds late.
  int arrived = 0;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (;;) {
          length = static_cast<long>(buffer.size());
          headerLength = 16;
          if (ctrl_->ReadVideo(id, 8, buffer.data(), &length, header, &headerLength) != 0) break;
          ++arrived;
        }
        return arrived >= 110;
      },
      60000));
  length = static_cast<long>(buffer.size());
  headerLength = 16;
  ASSERT_EQ(ctrl_->ReadVideo(id, 7, buffer.data(), &length, header, &headerLength), 0);
  FrameHeader first;
  std::memcpy(&first, header, 16);
  EXPECT_GT(Field(first.dwSequence), 0u);  // the oldest went
  int queued = 1;
  uint32_t last = first.dwSequence;
  while (true) {
    length = static_cast<long>(buffer.size());
    if (ctrl_->ReadVideo(id, 7, buffer.data(), &length, header, &headerLength) != 0) break;
    FrameHeader h;
    std::memcpy(&h, header, 16);
    EXPECT_EQ(Field(h.dwSequence), last + 1);  // what is kept has no holes
    last = h.dwSequence;
    ++queued;
  }
  EXPECT_LE(queued, 101);
  EXPECT_GE(queued, 90);
}

TEST_F(StrevaTest, UnreachableStreamsFailClearlyAndStopPromptly) {
  struct Case {
    std::string url;
    const char* what;
  };
  const int closedPort = RtspTestServer::FreePort();
  const std::vector<Case> cases = {
      {server_.Url("/nope"), "wrong path"},
      {"rtsp://127.0.0.1:" + std::to_string(closedPort) + "/h264", "refused port"},
      {"rtsp://no-such-host.invalid/h264", "unknown host"},
  };
  const int threadsBefore = StreamThreadCount();
  for (const Case& c : cases) {
    EventRecorder events;
    ctrl_->Advise(&events);
    long id = ctrl_->OpenStream(c.url, "user", "pass", TRUE);
    ASSERT_GE(id, 1) << c.what;
    EXPECT_TRUE(WaitFor([&] { return events.Count(kStreamFailed) >= 1; }, 10000)) << c.what;
    EXPECT_TRUE(events.media.empty()) << c.what;
    for (auto& [state, detail] : events.states) {
      if (state == kStreamFailed) {
        EXPECT_LT(detail, 0) << c.what;
      }
    }
    EXPECT_EQ(ctrl_->DeleteStream(id), 0);
    ctrl_->Unadvise(&events);
  }
  EXPECT_EQ(StreamThreadCount(), threadsBefore);
}

TEST_F(StrevaTest, ServerLossReconnectsAndAnnouncesAgain) {
  const int threadsBefore = StreamThreadCount();
  long id = ctrl_->OpenStream(server_.Url("/h264"), "", "", TRUE);
  ASSERT_TRUE(WaitFor([&] { return events_.VideoFrames() >= 10; }, 15000));
  ASSERT_EQ(events_.media.size(), 1u);
  const int port = server_.Port();
  server_.Kill();
  ASSERT_TRUE(WaitFor([&] { return events_.Count(kStreamLost) >= 1; }, 10000));
  ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py", port));
  const int framesBefore = events_.VideoFrames();
  ASSERT_TRUE(WaitFor([&] { return events_.media.size() >= 2 && events_.VideoFrames() >= framesBefore + 10; },
                      20000));
  EXPECT_EQ(std::memcmp(&events_.media[0], &events_.media[1], sizeof(MediaParamBlock)), 0);
  EXPECT_EQ(ctrl_->DeleteStream(id), 0);
  EXPECT_EQ(StreamThreadCount(), threadsBefore);
  // Nothing more arrives for the deleted stream.
  const size_t eventsAfter = events_.frames.size() + events_.states.size();
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(events_.frames.size() + events_.states.size(), eventsAfter);
}

TEST_F(StrevaTest, TransportsAndAddressForms) {
  struct Case {
    const char* what;
    std::function<long()> open;
  };
  const std::vector<Case> cases = {
      {"udp", [&] { return ctrl_->OpenStream(server_.Url("/h264"), "", "", FALSE); }},
      {"vmq", [&] { return ctrl_->OpenStream("vmq://127.0.0.1:" + std::to_string(server_.Port()) + "/h264", "", "", FALSE); }},
      {"host form", [&] { return ctrl_->OpenStreamEx("localhost", server_.Port(), "h264", "", "", TRUE); }},
  };
  for (const Case& c : cases) {
    EventRecorder events;
    ctrl_->Advise(&events);
    long id = c.open();
    ASSERT_GE(id, 1) << c.what;
    EXPECT_TRUE(WaitFor([&] { return events.VideoFrames() >= 10; }, 15000)) << c.what;
    ctrl_->DeleteStream(id);
    ctrl_->Unadvise(&events);
  }
}

TEST_F(StrevaTest, UnadvisedSinkAndDeletedStreamGetNothing) {
  EventRecorder second;
  ctrl_->Advise(&second);
  long a = ctrl_->OpenStream(server_.Url("/h264"), "", "", TRUE);
  long b = ctrl_->OpenStream(server_.Url("/h264"), "", "", TRUE);
  EXPECT_NE(a, b);
  ASSERT_TRUE(WaitFor([&] { return second.VideoFrames() >= 20; }, 15000));
  ctrl_->Unadvise(&second);
  const size_t seen = second.frames.size();
  // A sink that deletes a stream inside a callback: no later event for it.
  size_t deletedAt = 0;
  events_.onFrame = [&](const RecordedFrame& frame) {
    if (frame.streamId == a && deletedAt == 0) {
      EXPECT_EQ(ctrl_->DeleteStream(a), 0);
      deletedAt = events_.frames.size();
    }
  };
  // Frames recorded before the hook was set do not count: wait for the
  // deletion and for 40 frames of the other stream after it.
  ASSERT_TRUE(WaitFor([&] { return deletedAt > 0 && events_.frames.size() >= deletedAt + 40; }, 15000));
  events_.onFrame = nullptr;
  EXPECT_EQ(second.frames.size(), seen);
  ASSERT_GT(deletedAt, 0u);
  int afterDelete = 0;
  for (size_t i = deletedAt; i < events_.frames.size(); ++i) afterDelete += events_.frames[i].streamId == a;
  EXPECT_EQ(afterDelete, 0);
  ctrl_->StopAll();
  EXPECT_EQ(ctrl_->DeleteStream(b), -1);
}

}  // namespace

// The program's address of a camera that speaks ONVIF names paths the camera
// does not serve; the pull control opens the camera's own streams instead:
// the first profile's for a main-stream path, the second's for a sub-stream path.
TEST_F(StrevaTest, AddressOfAnOnvifCameraOpensTheCamerasOwnStreams) {
  FakeOnvifCamera camera(0, {"--rtsp-main", QString::fromStdString(server_.Url("/h264")), "--rtsp-sub",
                             QString::fromStdString(server_.Url("/mpeg4cif"))});
  ASSERT_TRUE(camera.Ready());
  CGimbroCtrl gimbro;
  ASSERT_GT(gimbro.AddDevice("127.0.0.1", camera.Port(), "admin", "secret"), 0);
  // Opened at once: each waits while the control finds out what the device speaks.
  const long main = ctrl_->OpenStream(server_.Url("/h264-D1"), "admin", "secret", TRUE);
  const long sub = ctrl_->OpenStream(server_.Url("/h264cif"), "admin", "secret", TRUE);
  ASSERT_GE(main, 1);
  ASSERT_GE(sub, 1);
  ASSERT_TRUE(WaitFor([&] { return events_.media.size() >= 2; }, 30000));
  std::set<uint32_t> seen;
  for (const MediaParamBlock& block : events_.media) seen.insert(block.video.dwWidth);
  EXPECT_EQ(seen, (std::set<uint32_t>{640, 320}));
  EXPECT_FALSE(camera.Take("GetStreamUri sub").empty());
}
