// The record file writer: header fields at their fixed places, the index,
// short files, and files whose writing fails.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QProcess>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "clipta/clipta_ctrl.h"
#include "clipta/record_file_writer.h"
#include "common/temp_folder.h"
#include "maker_test_support.h"
#include "platform/file_api.h"
#include "record_layout_check.h"
#include "streva/streva_ctrl.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::string data;
  fileapi::ReadWhole(path, data);
  return data;
}

std::vector<uint8_t> Bytes(size_t length, uint8_t fill) { return std::vector<uint8_t>(length, fill); }

}  // namespace

TEST(RecordFileWriter, HeaderFieldsStandAtTheirFixedPlaces) {
  struct Case {
    const char* name;
    recordfile::VideoKind video;
    recordfile::AudioKind audio;
    uint16_t channels;
    uint32_t sampleRate;
    uint32_t streams;
    const char* handler;
    uint32_t audioHandler;
    uint16_t waveFormat;
  } cases[] = {
      {"H.264 alone", recordfile::VideoKind::kH264, recordfile::AudioKind::kNone, 1, 8000, 1, "H264", 0, 0},
      {"H.264 with G.711 A-law", recordfile::VideoKind::kH264, recordfile::AudioKind::kAlaw, 1, 8000, 2, "H264", 1, 6},
      {"H.264 with G.711 mu-law", recordfile::VideoKind::kH264, recordfile::AudioKind::kMulaw, 1, 8000, 2, "H264", 1, 7},
      {"MPEG-4 with AAC", recordfile::VideoKind::kMpeg4, recordfile::AudioKind::kAac, 2, 16000, 2, "XVID", 0xFF, 0xFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string path = folder.File("rec.avi");
    recordfile::Media media;
    media.video = c.video;
    media.width = 704;
    media.height = 576;
    media.frameRate = 25;
    media.audio = c.audio;
    media.channels = c.channels;
    media.sampleRate = c.sampleRate;
    media.audioConfig = {0x14, 0x10};
    RecordFileWriter writer;
    ASSERT_TRUE(writer.Open(path, media));
    // 100 frames at 25 per second, a key frame every 25, odd lengths, audio between.
    for (int i = 0; i < 100; ++i) {
      const auto frame = Bytes(1001 + 2 * i, static_cast<uint8_t>(i));
      ASSERT_TRUE(writer.WriteVideo(frame.data(), frame.size(), i % 25 == 0, i * 40.0));
      if (c.audio != recordfile::AudioKind::kNone) {
        const auto sound = Bytes(321, 0x55);
        ASSERT_TRUE(writer.WriteAudio(sound.data(), sound.size(), i * 40.0));
      }
    }
    writer.Close();
    const std::string data = ReadFile(path);
    EXPECT_EQ(Le32(data, 56), c.streams);
    EXPECT_EQ(Le32(data, 64), 704u);
    EXPECT_EQ(Le32(data, 68), 576u);
    EXPECT_EQ(data.substr(112, 4), c.handler);
    EXPECT_EQ(Le32(data, 132), 25u);
    EXPECT_EQ(Le32(data, 48), 100u);  // frames
    const uint64_t videoBytes = 100 * 1001 + 2 * (99 * 100 / 2);
    EXPECT_EQ(Le32(data, 36), videoBytes * 25 / 100);  // bytes per second
    if (c.streams == 2) {
      EXPECT_EQ(Le32(data, 4360), c.audioHandler);
      EXPECT_EQ(Le16(data, 4420), c.waveFormat);
      EXPECT_EQ(Le16(data, 4422), c.channels);
      EXPECT_EQ(Le32(data, 4424), c.sampleRate);
    }
    const LayoutSummary layout = ExpectRecordLayout(path);
    EXPECT_EQ(layout.videoChunks, 100);
    EXPECT_EQ(layout.audioChunks, c.streams == 2 ? 100 : 0);
    EXPECT_EQ(layout.indexEntries, layout.videoChunks + layout.audioChunks);
    const size_t moviEnd = (c.streams == 2 ? 9892 : 5668) + Le32(data, c.streams == 2 ? 9888 : 5664);
    EXPECT_EQ(Le32(data, moviEnd + 8 + 4), 0x10u);      // entry 0: a key frame
    EXPECT_EQ(Le32(data, moviEnd + 8 + 16 * (c.streams == 2 ? 2 : 1) + 4), 0u);  // frame 1 is not
  }
}

// A one-stream file that would be 9896..19796 bytes long is lengthened, so
// that a reader's data-start guess from the RIFF size can never pick it.
TEST(RecordFileWriter, ShortOneStreamFileIsLengthenedPastTheReadersGuess) {
  TempFolder folder;
  recordfile::Media media;
  media.width = 352;
  media.height = 288;
  struct Case {
    size_t frameBytes;
    size_t fileBytes;
  } cases[] = {{100, 5672 + 8 + 100 + 8 + 16}, {10000, 19800}, {14000, 19800}, {20000, 5672 + 8 + 20000 + 8 + 16}};
  for (const Case& c : cases) {
    const std::string path = folder.File("short" + std::to_string(c.frameBytes) + ".avi");
    RecordFileWriter writer;
    ASSERT_TRUE(writer.Open(path, media));
    const auto frame = Bytes(c.frameBytes, 1);
    ASSERT_TRUE(writer.WriteVideo(frame.data(), frame.size(), true, 0));
    writer.Close();
    const std::string data = ReadFile(path);
    EXPECT_EQ(data.size(), c.fileBytes) << c.frameBytes;
    EXPECT_EQ(Le32(data, 4) + 8u, data.size());
    EXPECT_EQ(ExpectRecordLayout(path).indexEntries, 1);
  }
  // A writer that got no frame leaves no file.
  RecordFileWriter empty;
  ASSERT_TRUE(empty.Open(folder.File("empty.avi"), media));
  empty.Close();
  EXPECT_FALSE(fileapi::Exists(folder.File("empty.avi")));
}

// Writes until the file-size limit of this process stops it; run by
// WriteFailureLeavesTheChunksBeforeIt in a child process.
TEST(RecordFileWriterChild, WriteUntilTheLimit) {
  const char* path = std::getenv("VEMO_WRITER_CHILD_FILE");
  if (!path) GTEST_SKIP() << "run by WriteFailureLeavesTheChunksBeforeIt";
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{300000, 300000};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  recordfile::Media media;
  media.width = 352;
  media.height = 288;
  RecordFileWriter writer;
  ASSERT_TRUE(writer.Open(path, media));
  const auto frame = Bytes(4999, 7);
  int i = 0;
  while (writer.WriteVideo(frame.data(), frame.size(), i % 25 == 0, i * 40.0)) ++i;
  EXPECT_TRUE(writer.Failed());
  EXPECT_EQ(writer.Error(), EFBIG);
  EXPECT_FALSE(writer.WriteVideo(frame.data(), frame.size(), true, i * 40.0));  // refused from now on
  writer.Close();
}

TEST(RecordFileWriter, WriteFailureLeavesTheChunksBeforeIt) {
  TempFolder folder;
  const std::string path = folder.File("full.avi");
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("VEMO_WRITER_CHILD_FILE", QString::fromStdString(path));
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=RecordFileWriterChild.*"});
  ASSERT_TRUE(child.waitForFinished(60000));
  EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
  const LayoutSummary layout = ExpectRecordLayout(path);
  EXPECT_GT(layout.videoChunks, 20);
  EXPECT_LE(fileapi::Size(path), 300000);
}

// The record folder is removed while a file is written: the recorder reports
// the failure, and after its pause records again into the folder, made anew.
// When the folder's parent has gone too (a disk taken away), nothing is made
// in its place: each new file is refused and reported.
TEST(Clipta, RemovedFolderEndsTheFileAndRecordingResumesLater) {
  struct Sink : ICliptaEvents {
    long OnEvent1(long fileId, long error) override {
      writeFailures.emplace_back(fileId, error);
      return 0;
    }
    long OnEvent2(long fileId, long error) override {
      openFailures.emplace_back(fileId, error);
      return 0;
    }
    long OnEvent3(long, long) override { return 0; }
    std::vector<std::pair<long, long>> writeFailures, openFailures;
  } sink;
  TempFolder temp;
  const std::string disk = temp.Path() + "disk";
  const std::string folder = disk + "/day";
  CCliptaCtrl clipta;
  clipta.Advise(&sink);
  VideoParamBlock video{};
  video.dwValid = 1;
  video.dwCodec = kVideoCodecH264;
  video.dwWidth = 352;
  video.dwHeight = 288;
  video.dwFrameRateNum = 25;
  video.dwFrameRateDen = 1;
  ASSERT_EQ(clipta.BeginStream(1), 0);
  ASSERT_EQ(clipta.SetVideoParam(1, reinterpret_cast<const BYTE*>(&video), 536), 0);
  uint32_t frameNo = 0;
  auto feed = [&](int frames) {
    for (int i = 0; i < frames; ++i, ++frameNo) {
      FrameHeader header{frameNo % 25 == 0 ? kFrameFlagKey : 0, frameNo, frameNo * 40, 0};
      BYTE data[600] = {0, 0, 0, 1, static_cast<BYTE>(frameNo % 25 == 0 ? 0x65 : 0x41)};
      clipta.InputVideo(1, data, sizeof data, reinterpret_cast<const BYTE*>(&header), 16);
    }
  };
  feed(1);
  const long fileId = clipta.BeginRecordFile(1, folder, 0, 3600, 3600, 1);
  ASSERT_GE(fileId, 1);
  feed(60);
  ASSERT_EQ(FilesIn(folder, ".avi").size(), 1u);
  std::filesystem::remove_all(folder);
  feed(50);  // the next write finds the file gone
  ASSERT_EQ(sink.writeFailures.size(), 1u);
  EXPECT_EQ(sink.writeFailures[0], std::make_pair(fileId, static_cast<long>(-ENOENT)));
  EXPECT_FALSE(fileapi::IsDirectory(folder));
  feed(300);  // 12 s later: a new file in the folder made again
  EXPECT_TRUE(sink.openFailures.empty());
  const auto files = FilesIn(folder, ".avi");
  ASSERT_EQ(files.size(), 1u);
  feed(30);  // on disk
  const LayoutSummary layout = ExpectRecordLayout(files[0]);  // sound while being written
  EXPECT_GT(layout.videoChunks, 25);
  EXPECT_EQ(layout.indexEntries, -1);
  std::filesystem::remove_all(disk);
  feed(300);
  EXPECT_EQ(sink.writeFailures.size(), 2u);
  ASSERT_FALSE(sink.openFailures.empty());
  EXPECT_EQ(sink.openFailures[0], std::make_pair(fileId, static_cast<long>(-ENOENT)));
  EXPECT_FALSE(fileapi::IsDirectory(disk));
  EXPECT_EQ(clipta.StopRecordFile(fileId), 0);
  clipta.Unadvise(&sink);
}
