// The stream object: media parameters, the pump feeding a player, recording,
// relay forwarding and stopping, against the RTSP peer and with made-up blocks.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QWidget>
#include <cstring>
#include <memory>
#include <thread>

#include "common/temp_folder.h"
#include "live/live_messages.h"
#include "live/streams/relay_video_session.h"
#include "live/streams/rtsp_events.h"
#include "maker_test_support.h"
#include "tests/live/message_window.h"
#include "pelk/pelk_testing.h"
#include "rtsp_test_server.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

// Threads of this process with the given name.
int ThreadsNamed(const char* name) {
  int count = 0;
  for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile comm("/proc/self/task/" + task + "/comm");
    if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name) ++count;
  }
  return count;
}

MediaParamBlock MakeBlock(const char* videoText, const char* audioText) {
  MediaParamBlock block{};
  std::strcpy(block.szCodecTag, kMediaCodecTag);
  block.wVideoPresent = 1;
  std::strcpy(block.video.szText, videoText);
  block.video.dwValid = 1;
  block.video.dwCodec = kVideoCodecH264;
  if (audioText) {
    block.wAudioPresent = 1;
    std::strcpy(block.audio.szText, audioText);
    block.audio.dwValid = 1;
    block.audio.wCodec = kAudioCodecPcma;
  }
  return block;
}

long Raise(CRtspEvents& events, long streamId, const MediaParamBlock& block, long length = sizeof(MediaParamBlock)) {
  return events.MediaRecv(streamId, kMediaTypeParam, reinterpret_cast<const BYTE*>(&block), length);
}

// Made-up parameter blocks, without a server: the pull control knows no such
// stream, so a pump that starts only finds nothing to read.
class RtspEventsBlockTest : public ::testing::Test {
 protected:
  static constexpr long kStream = 41;
  void SetUp() override {
    SetMainWindowForStreams(mainWnd_.GetSafeHwnd());
    mainWnd_.textMessages = {WM_TALKPARAMCHANGED};
    events_ = std::make_unique<CRtspEvents>(nullptr, &ctrl_);
    events_->SetStreamInfo(kStream, 1, 0, TRUE);
  }
  void TearDown() override {
    events_.reset();
    SetMainWindowForStreams(nullptr);
  }
  CStrevaCtrl ctrl_;
  MessageWindow mainWnd_;
  TempFolder folder_;
  std::unique_ptr<CRtspEvents> events_;
};

TEST_F(RtspEventsBlockTest, BlocksThatAreNotThisStreamsParametersAreIgnored) {
  MediaParamBlock other = MakeBlock("H264", "G711");
  std::strcpy(other.szCodecTag, "OtherTag");
  const MediaParamBlock good = MakeBlock("H264", "G711");
  struct Case { const char* name; long stream; long type; const MediaParamBlock* block; long length; };
  const Case cases[] = {
      {"short block", kStream, kMediaTypeParam, &good, sizeof(MediaParamBlock) - 1},
      {"empty block", kStream, kMediaTypeParam, &good, 0},
      {"other stream", kStream + 1, kMediaTypeParam, &good, sizeof(MediaParamBlock)},
      {"other media type", kStream, 0x12, &good, sizeof(MediaParamBlock)},
      {"other tag", kStream, kMediaTypeParam, &other, sizeof(MediaParamBlock)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(events_->MediaRecv(c.stream, c.type, reinterpret_cast<const BYTE*>(c.block), c.length), 0);
    EXPECT_EQ(Field(events_->VideoParam().dwValid), 0u);
    EXPECT_FALSE(events_->HasAudio());
    EXPECT_FALSE(events_->IsPumpRunning());
  }
  EXPECT_EQ(events_->MediaRecv(kStream, kMediaTypeParam, nullptr, sizeof(MediaParamBlock)), 0);
  EXPECT_EQ(Field(events_->VideoParam().dwValid), 0u);
}

TEST_F(RtspEventsBlockTest, RepeatedParametersKeepRecordingAndChangedAudioIsReported) {
  Raise(*events_, kStream, MakeBlock("H264 640x360", "G711 8000"));
  EXPECT_TRUE(events_->HasAudio());
  EXPECT_TRUE(events_->IsPumpRunning());
  const long fileId = events_->StartRecord(kStream, 3600, 1800, folder_.Path() + "rec", 0);
  ASSERT_GE(fileId, 1);
  ASSERT_TRUE(events_->IsRecording());
  DeliverPosted();
  EXPECT_TRUE(mainWnd_.received.empty());  // audio was not known before

  Raise(*events_, kStream, MakeBlock("H264 640x360", "G711 8000"));  // identical
  DeliverPosted();
  EXPECT_TRUE(mainWnd_.received.empty());
  EXPECT_EQ(events_->GetRecordFileId(), fileId);  // the same recording goes on
  EXPECT_TRUE(events_->IsRecording());

  Raise(*events_, kStream, MakeBlock("H264 640x360", "AAC 16000"));  // audio changed
  DeliverPosted();
  ASSERT_EQ(mainWnd_.received.size(), 1u);
  EXPECT_EQ(mainWnd_.received[0].msg, WM_TALKPARAMCHANGED);
  EXPECT_EQ(mainWnd_.received[0].wParam, static_cast<WPARAM>(kStream));
  EXPECT_EQ(mainWnd_.received[0].text, "AAC 16000");
  EXPECT_TRUE(events_->IsRecording());  // restarted in a new file
  EXPECT_GT(events_->GetRecordFileId(), fileId);
  EXPECT_STREQ(events_->AudioParam().szText, "AAC 16000");

  // The main window gone: the posted text is released with the failed post.
  mainWnd_.received.clear();
  SetMainWindowForStreams(reinterpret_cast<HWND>(0x7fff0000));
  Raise(*events_, kStream, MakeBlock("H264 640x360", "G711 8000"));
  DeliverPosted();
  EXPECT_TRUE(mainWnd_.received.empty());
  events_->StopRecord();
  EXPECT_FALSE(events_->IsRecording());
}

TEST_F(RtspEventsBlockTest, NvrStreamNeverHasAudioAndRepeatsChangeNothing) {
  events_->SetDevType(4);
  Raise(*events_, kStream, MakeBlock("H264 1920x1080", "G711 8000"));
  EXPECT_FALSE(events_->HasAudio());
  EXPECT_EQ(Field(events_->AudioParam().dwValid), 0u);
  const long fileId = events_->StartRecord(kStream, 3600, 1800, folder_.Path() + "nvr", 0);
  ASSERT_GE(fileId, 1);
  Raise(*events_, kStream, MakeBlock("H264 1920x1080", "G711 8000"));
  EXPECT_FALSE(events_->HasAudio());
  EXPECT_EQ(events_->GetRecordFileId(), fileId);  // the same recording goes on
  EXPECT_TRUE(events_->IsRecording());
  DeliverPosted();
  EXPECT_TRUE(mainWnd_.received.empty());
}

// The recording thread starts and stops recordings and closes an object's view
// too: the player, a widget, is taken away at once and closed on the UI thread.
TEST_F(RtspEventsBlockTest, RecordingThreadCallsLeaveThePlayerToTheUiThread) {
  QWidget pane;
  Raise(*events_, kStream, MakeBlock("H264 640x360", nullptr));
  events_->DisplayMediaStream(&pane, FALSE);
  QPointer<CTessalyCtrl> player = events_->Player(1);
  ASSERT_FALSE(player.isNull());
  long fileId = 0;
  std::thread recording([&] {
    fileId = events_->StartRecord(kStream, 3600, 1800, folder_.Path() + "rec", 0);
    events_->StopRecord();
    events_->CloseAllDecoder();
  });
  recording.join();
  EXPECT_GE(fileId, 1);
  EXPECT_FALSE(events_->IsRecording());
  EXPECT_EQ(events_->Player(1), nullptr);
  EXPECT_FALSE(events_->IsRendering());
  EXPECT_FALSE(player.isNull());  // the widget waits for the UI thread
  DeliverPosted();
  EXPECT_TRUE(player.isNull());
}

TEST_F(RtspEventsBlockTest, RelaySessionIsAnsweredOnceAndClosed) {
  PelkTestReset();
  events_->AttachRelaySession(std::make_unique<CRelayVideoSession>(nullptr));
  events_->SetRelayForward(TRUE);
  Raise(*events_, kStream, MakeBlock("H264", "G711"));
  Raise(*events_, kStream, MakeBlock("H264", "G711"));
  EXPECT_TRUE(events_->IsRelayActive());
  EXPECT_EQ(PelkTestCounts().rspDeviceVideo, 1);
  events_->CloseRelayVideo();
  EXPECT_EQ(events_->RelaySession(), nullptr);
  EXPECT_FALSE(events_->IsRelayServing());
  EXPECT_FALSE(events_->IsRelayActive());
}

TEST(RtspEventsStop, StopWithoutPumpReturnsAtOnce) {
  CRtspEvents events(nullptr, nullptr);
  EXPECT_FALSE(events.IsPumpRunning());
  events.StopAllThread();
  events.StopAllThread();
  EXPECT_EQ(events.GetStreamId(), 0);
  EXPECT_EQ(events.GetStreamKind(), -1);
}

// Against the RTSP peer.
class RtspEventsStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
    pane_.resize(320, 180);
    pane_.show();
    ctrl_ = std::make_unique<CStrevaCtrl>();
    events_ = std::make_unique<CRtspEvents>(&pane_, ctrl_.get());
    ctrl_->Advise(events_.get());
  }
  void TearDown() override {
    if (events_) {
      events_->StopAllThread();
      ctrl_->Unadvise(events_.get());
    }
    events_.reset();
    ctrl_.reset();
    server_.Stop();
  }
  long Open(const char* path) {
    const long id = ctrl_->OpenStream(server_.Url(path), "", "", TRUE);
    events_->SetStreamInfo(id, 1, 0, TRUE);
    return id;
  }

  RtspTestServer server_;
  QWidget pane_;
  std::unique_ptr<CStrevaCtrl> ctrl_;
  std::unique_ptr<CRtspEvents> events_;
  TempFolder folder_;
};

TEST_F(RtspEventsStreamTest, PumpFeedsThePlayerTheRecorderAndTheRelay) {
  PelkTestReset();
  events_->AttachRelaySession(std::make_unique<CRelayVideoSession>(nullptr));
  events_->SetRelayForward(TRUE);
  events_->SetMediaRenderMod(&pane_, TRUE);
  const long id = Open("/h264aac");
  ASSERT_GE(id, 1);
  ASSERT_TRUE(WaitFor([&] { return events_->VideoParam().dwValid != 0; }, kFirstMediaMs));
  EXPECT_TRUE(events_->HasAudio());
  ASSERT_NE(events_->Player(1), nullptr);
  EXPECT_TRUE(events_->IsPumpRunning());
  EXPECT_EQ(ThreadsNamed("rtsppump"), 1);
  ASSERT_TRUE(WaitFor([&] { return events_->Player(1)->HasPicture(); }, 10000));

  const std::string folder = folder_.Path() + "manual";
  ASSERT_GE(events_->StartManualRecord(folder), 1);
  EXPECT_TRUE(events_->IsManualRecording());
  WaitFor([] { return false; }, 2000);
  events_->StopManualRecord();
  EXPECT_FALSE(events_->IsManualRecording());
  const auto files = FilesIn(folder, ".avi");
  ASSERT_EQ(files.size(), 1u);
  const ProbeResult probe = Ffprobe(files[0]);
  EXPECT_TRUE(probe.ok);
  EXPECT_EQ(probe.videoCodec, "h264");
  EXPECT_GT(probe.videoFrames, 10);

  EXPECT_EQ(PelkTestCounts().rspDeviceVideo, 1);
  EXPECT_GT(PelkTestCounts().reportVideo, 10);
  EXPECT_GT(PelkTestCounts().reportAudio, 0);

  events_->StopAllThread();
  EXPECT_FALSE(events_->IsPumpRunning());
  EXPECT_EQ(events_->GetStreamId(), 0);
  EXPECT_EQ(ThreadsNamed("rtsppump"), 0);
  EXPECT_EQ(StreamThreadCount(), 0);
}

TEST_F(RtspEventsStreamTest, ServerDyingMidStreamIsSurvivedAndStopLeavesNoThread) {
  const long id = Open("/h264");
  ASSERT_GE(id, 1);
  ASSERT_TRUE(WaitFor([&] { return events_->VideoParam().dwValid != 0; }, kFirstMediaMs));
  EXPECT_FALSE(events_->HasAudio());
  EXPECT_TRUE(events_->IsPumpRunning());
  WaitFor([] { return false; }, 500);
  server_.Kill();
  WaitFor([] { return false; }, 1500);
  EXPECT_TRUE(events_->IsPumpRunning());  // reads nothing, keeps polling
  events_->StopAllThread();
  EXPECT_EQ(ThreadsNamed("rtsppump"), 0);
  EXPECT_EQ(StreamThreadCount(), 0);
}

}  // namespace
