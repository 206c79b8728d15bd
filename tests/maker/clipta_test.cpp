// The AVI recorder: files from a pulled stream, pre-recording, and files whose
// writer was killed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "clipta/clipta_ctrl.h"
#include "common/peer_lifetime.h"
#include "common/temp_folder.h"
#include "platform/file_api.h"
#include "maker_test_support.h"
#include "record_layout_check.h"
#include "rtsp_test_server.h"
#include "streva/media_blocks.h"
#include "streva/streva_ctrl.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

const BYTE* Bytes(const void* p) { return static_cast<const BYTE*>(p); }

// Feeds a recorder from a pulled stream through the events, as a stream object does.
class CliptaPullTest : public ::testing::Test {
 protected:
  void Pull(const std::string& path, bool withAudio) {
    events_.media.clear();
    events_.frames.clear();
    ASSERT_TRUE(server_.Start(PeersDir() + "/rtsp_server.py"));
    streva_ = std::make_unique<CStrevaCtrl>();
    events_.onMedia = [this, withAudio](const MediaParamBlock& block) {
      clipta_.BeginStream(kStream);
      EXPECT_EQ(clipta_.SetVideoParam(kStream, Bytes(&block.video), 536), 0);
      if (withAudio) {
        EXPECT_EQ(clipta_.SetAudioParam(kStream, Bytes(&block.audio), 276), 0);
      }
    };
    events_.onFrame = [this](const RecordedFrame& frame) {
      long n = static_cast<long>(frame.data.size());
      if (frame.video) {
        clipta_.InputVideo(kStream, frame.data.data(), n, Bytes(&frame.header), 16);
      } else {
        clipta_.InputAudio(kStream, frame.data.data(), n, Bytes(&frame.header), 16);
      }
    };
    streva_->Advise(&events_);
    ASSERT_GE(streva_->OpenStream(server_.Url(path), "", "", TRUE), 1);
    ASSERT_TRUE(WaitFor([&] { return !events_.media.empty(); }, kFirstMediaMs));
  }
  void Run(int ms) { WaitFor([] { return false; }, ms); }

  static constexpr long kStream = 3;
  RtspTestServer server_;
  EventRecorder events_;
  std::unique_ptr<CStrevaCtrl> streva_;
  CCliptaCtrl clipta_;
  TempFolder folder_;
};

TEST_F(CliptaPullTest, RecordsWithPreRecordingIntoNamedFiles) {
  Pull("/h264", false);
  ASSERT_EQ(clipta_.PreRecordSetup(kStream, "", 2, 0, 0), 0);
  Run(3000);
  const std::string dayFolder = folder_.Path() + "Record/Cam 1/2026/5/3";  // made on demand
  const long fileId = clipta_.BeginRecordFile(kStream, dayFolder, 2, 3600, 1800, 1);
  ASSERT_GE(fileId, 1);
  Run(1500);
  EXPECT_EQ(clipta_.StopRecordFile(fileId), 0);
  EXPECT_EQ(clipta_.StopRecordFile(fileId), -1);
  const auto files = FilesIn(dayFolder, ".avi");
  ASSERT_EQ(files.size(), 1u);
  const std::string name = files[0].substr(files[0].rfind('/') + 1);
  EXPECT_EQ(name.size(), 14u) << name;  // HHMMSS-vv1.avi
  EXPECT_EQ(name.substr(6), "-vv1.avi");
  ProbeResult probe = Ffprobe(files[0]);
  ASSERT_TRUE(probe.ok);
  EXPECT_EQ(probe.videoCodec, "h264");
  EXPECT_TRUE(probe.audioCodec.empty());
  const LayoutSummary layout = ExpectRecordLayout(files[0]);
  EXPECT_EQ(layout.videoChunks, probe.videoPackets);
  EXPECT_EQ(layout.indexEntries, layout.videoChunks);
  std::string errors;
  EXPECT_TRUE(FfmpegDecodesCleanly(files[0], &errors)) << errors;
  // 1.5 s live and up to 2 s (from a key frame) before: clearly more than live alone.
  EXPECT_GE(probe.videoFrames, 60);
  EXPECT_LE(probe.videoFrames, 120);
}

// Files with audio split at the file length and end with the duration; both
// audio codecs of the devices are stored so that ffmpeg reads and decodes them.
TEST_F(CliptaPullTest, AudioFilesSplitAndEnd) {
  struct Case {
    const char* path;
    const char* audioCodec;
  } cases[] = {{"/h264aac", "aac"}, {"/h264pcma", "pcm_alaw"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Pull(c.path, true);
    Run(500);
    const std::string folder = folder_.Path() + (c.path + 1);
    // File length 1 s, duration 3 s, sub stream.
    const long fileId = clipta_.BeginRecordFile(kStream, folder, 0, 3, 1, 2);
    ASSERT_GE(fileId, 1);
    // 4.5 s of stream (counted, not timed: a busy server sends slower than 25 a second).
    const int begun = events_.VideoFrames();
    ASSERT_TRUE(WaitFor([&] { return events_.VideoFrames() >= begun + 112; }, kFirstMediaMs));
    EXPECT_EQ(clipta_.StopRecordFile(fileId), -1);  // ended by itself
    const auto files = FilesIn(folder, ".avi");
    ASSERT_GE(files.size(), 2u);
    ASSERT_LE(files.size(), 4u);
    int frames = 0;
    int audioChunks = 0;
    for (const std::string& file : files) {
      EXPECT_NE(file.find("-av2.avi"), std::string::npos) << file;
      ProbeResult probe = Ffprobe(file);
      ASSERT_TRUE(probe.ok) << file;
      EXPECT_EQ(probe.videoCodec, "h264");
      EXPECT_EQ(probe.audioCodec, c.audioCodec);
      const LayoutSummary layout = ExpectRecordLayout(file);
      EXPECT_EQ(layout.videoChunks, probe.videoPackets);
      EXPECT_EQ(layout.indexEntries, layout.videoChunks + layout.audioChunks);
      audioChunks += layout.audioChunks;  // a busy server may send a file's audio late
      std::string errors;
      EXPECT_TRUE(FfmpegDecodesCleanly(file, &errors)) << errors;
      frames += probe.videoFrames;
    }
    // 3 s from the first key frame after the start, which comes within a
    // second (one key frame a second): 2 to 3 s of 25 frames.
    EXPECT_GE(frames, 48);
    EXPECT_LE(frames, 90);
    EXPECT_GT(audioChunks, 0);
    streva_.reset();
    server_.Stop();
    clipta_.EndStream(kStream);
  }
}

TEST(Clipta, RefusesWhatItCannotRecord) {
  CCliptaCtrl clipta;
  TempFolder folder;
  VideoParamBlock video{};
  BYTE frame[8] = {0, 0, 0, 1, 0x65, 1, 2, 3};
  EXPECT_EQ(clipta.BeginRecordFile(1, folder.Path(), 0, 10, 10, 1), -1);  // no stream
  EXPECT_EQ(clipta.BeginStream(1), 0);
  EXPECT_EQ(clipta.SetVideoParam(1, Bytes(&video), 536), -1);  // not filled
  EXPECT_EQ(clipta.BeginRecordFile(1, folder.Path(), 0, 10, 10, 1), -1);
  EXPECT_EQ(clipta.InputVideo(1, frame, 8, nullptr, 0), -1);
  video.dwValid = 1;
  video.dwCodec = kVideoCodecH264;
  EXPECT_EQ(clipta.SetVideoParam(1, Bytes(&video), 535), -1);
  EXPECT_EQ(clipta.SetVideoParam(1, Bytes(&video), 536), 0);
  EXPECT_EQ(clipta.SetVideoParam(2, Bytes(&video), 536), -1);
  EXPECT_EQ(clipta.BeginRecordFile(1, folder.Path(), 0, 0, 10, 1), -3);
  EXPECT_EQ(clipta.BeginRecordFile(1, folder.Path(), 0, 10, 10, 3), -3);
  // A folder below a file cannot be made.
  ASSERT_TRUE(std::system(("touch " + folder.File("plain")).c_str()) == 0);
  EXPECT_EQ(clipta.BeginRecordFile(1, folder.File("plain/sub"), 0, 10, 10, 1), -2);
  EXPECT_EQ(clipta.StopRecordFile(99), -1);
  EXPECT_EQ(clipta.EndStream(1), 0);
  EXPECT_EQ(clipta.EndStream(1), -1);
}

// Reads an elementary H.264 file and records it forever into $VEMO_CLIPTA_CHILD_FOLDER,
// frames without time stamps; run by KilledWriterLeavesReadableFile in a child process.
TEST(CliptaChild, RecordUntilKilled) {
  const char* folder = std::getenv("VEMO_CLIPTA_CHILD_FOLDER");
  const char* source = std::getenv("VEMO_CLIPTA_CHILD_SOURCE");
  if (!folder || !source) GTEST_SKIP() << "run by KilledWriterLeavesReadableFile";
  CCliptaCtrl clipta;
  bool begun = false;
  for (;;) {
    AVFormatContext* input = nullptr;
    ASSERT_EQ(avformat_open_input(&input, source, nullptr, nullptr), 0);
    ASSERT_GE(avformat_find_stream_info(input, nullptr), 0);
    if (!begun) {
      VideoParamBlock video;
      ASSERT_TRUE(mediablocks::FillVideo(input->streams[0]->codecpar, AVRational{25, 1},
                                         AVRational{1, 90000}, &video));
      clipta.BeginStream(1);
      ASSERT_EQ(clipta.SetVideoParam(1, Bytes(&video), 536), 0);
      ASSERT_GE(clipta.BeginRecordFile(1, folder, 0, 3600, 3600, 1), 1);
      begun = true;
    }
    AVPacket* packet = av_packet_alloc();
    FrameHeader header{kFrameFlagNoTime, 0, 0, 0};
    while (av_read_frame(input, packet) == 0) {
      clipta.InputVideo(1, packet->data, packet->size, Bytes(&header), 16);
      av_packet_unref(packet);
      std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
    av_packet_free(&packet);
    avformat_close_input(&input);
  }
}

TEST(Clipta, KilledWriterLeavesReadableFile) {
  TempFolder folder;
  const std::string source = folder.File("source.h264");
  ASSERT_EQ(std::system(("ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25 -t 4 -c:v libx264 "
                         "-g 25 -pix_fmt yuv420p -y '" + source + "'").c_str()),
            0);
  const std::string out = folder.Path() + "rec";
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("VEMO_CLIPTA_CHILD_FOLDER", QString::fromStdString(out));
  env.insert("VEMO_CLIPTA_CHILD_SOURCE", QString::fromStdString(source));
  child.setProcessEnvironment(env);
  DieWithParent(child);  // it records until killed: never beyond this test
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=CliptaChild.*"});
  ASSERT_TRUE(child.waitForStarted());
  // Let it write a good part of a file (a few hundred frames of about 300
  // bytes), then kill it mid-file.
  ASSERT_TRUE(WaitFor(
      [&] {
        auto files = FilesIn(out, ".avi");
        return !files.empty() && QFileInfo(QString::fromStdString(files[0])).size() > 100000;
      },
      20000));
  ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
  child.waitForFinished();
  const auto files = FilesIn(out, ".avi");
  ASSERT_EQ(files.size(), 1u);
  ProbeResult probe = Ffprobe(files[0]);
  ASSERT_TRUE(probe.ok);
  EXPECT_EQ(probe.videoCodec, "h264");
  EXPECT_GE(probe.videoFrames, 50);
  const LayoutSummary layout = ExpectRecordLayout(files[0]);
  EXPECT_EQ(layout.indexEntries, -1);  // the writer died before its index
  EXPECT_EQ(layout.videoChunks, probe.videoFrames);  // read to the last whole chunk
}

}  // namespace
