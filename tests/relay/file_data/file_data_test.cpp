// A file sent in paced, framed chunks and written back from the frames.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "common/wait_for.h"
#include "relay/file_data/file_data_frame.h"
#include "relay/file_data/file_data_sender.h"
#include "relay/file_data/file_data_writer.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string RandomBytes(size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

TEST(FileDataFrame, HeaderTextAndLayout) {
  EXPECT_EQ(filedata::FrameHeader(4096, 1024),
            "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n<XML_ONDREX>\n<MESSAGE_HEADER\n"
            "Msg_type=\"MEDIA_DATA_MESSAGE\"\nMsg_code=\"2\"\nMsg_flag=\"0\"\n/>\n<MESSAGE_BODY>\n"
            "<POS StartPos=\"4096\"\nDataLen=\"1024\"\n/>\n</MESSAGE_BODY>\n</XML_ONDREX>");
  const uint8_t chunk[3] = {0, 7, 0};
  const std::vector<uint8_t> frame = filedata::BuildFrame(4294967295u, chunk, 3);
  const std::string header = filedata::FrameHeader(4294967295u, 3);
  ASSERT_EQ(frame.size(), header.size() + 4 + 3);
  EXPECT_EQ(std::string(frame.begin(), frame.begin() + header.size()), header);
  EXPECT_EQ(std::vector<uint8_t>(frame.begin() + header.size(), frame.end()), (std::vector<uint8_t>{0, 0, 0, 0, 0, 7, 0}));

  const auto read = filedata::ReadFrame(frame.data(), frame.size());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->startPos, 4294967295u);
  EXPECT_EQ(read->dataLen, 3u);
  EXPECT_EQ(read->chunk, frame.data() + header.size() + 4);
}

TEST(FileDataFrame, BadFramesAreRefused) {
  const uint8_t chunk[4] = {1, 2, 3, 4};
  const std::vector<uint8_t> good = filedata::BuildFrame(0, chunk, 4);
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text(good.begin(), good.end());
    text.replace(text.find(from), from.size(), to);
    return std::vector<uint8_t>(text.begin(), text.end());
  };
  std::vector<std::vector<uint8_t>> bad = {
      {},
      std::vector<uint8_t>(good.begin(), good.end() - 1),  // a byte of the chunk missing
      replaced("MEDIA_DATA_MESSAGE", "SYSTEM_CONTROL_MESSAGE"),
      replaced("DataLen=\"4\"", "DataLen=\"-4\""),
      replaced("DataLen=\"4\"", "DataLen=\"5\""),
      replaced("StartPos=\"0\"", "StartPos=\"4294967296\""),
      replaced("StartPos=\"0\"", "StartPos=\"x\""),
      replaced("<POS", "<PAS"),
      std::vector<uint8_t>(2000, 'a'),  // no end of the header text within 1024 bytes
  };
  std::vector<uint8_t> shortSeparator = good;
  shortSeparator[filedata::FrameHeader(0, 4).size() + 2] = 9;
  bad.push_back(shortSeparator);
  for (size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(filedata::ReadFrame(bad[i].data(), bad[i].size())) << i;
  EXPECT_FALSE(filedata::ReadFrame(nullptr, 10));
}

// What a sender hands on: each frame read back, and the pauses it asked for.
struct Capture {
  std::mutex lock;
  std::vector<filedata::Frame> frames;
  std::vector<std::string> chunks;
  std::vector<uint32_t> pauses;

  void Attach(FileDataSender& sender) {
    sender.SetFrameSink([this](const uint8_t* frame, size_t length) {
      const auto read = filedata::ReadFrame(frame, length);
      std::lock_guard<std::mutex> guard(lock);
      ASSERT_TRUE(read);
      frames.push_back(*read);
      chunks.emplace_back(reinterpret_cast<const char*>(read->chunk), read->dataLen);
    });
    sender.SetPause([this](uint32_t ms) {
      std::lock_guard<std::mutex> guard(lock);
      pauses.push_back(ms);
      return true;
    });
  }
  // Sends the whole file; false when the sender did not get done.
  bool SendAll(FileDataSender& sender) {
    Attach(sender);
    if (sender.Start() != 0) return false;
    const bool done = WaitFor([&] { return sender.IsDone(); });
    sender.Stop();
    return done;
  }
};

TEST(FileDataSender, TwoWholeChunksThenAnEmptyLastFrame) {
  TempFolder folder;
  const std::string bytes = RandomBytes(2048);
  WriteAll(folder.File("two.bin"), bytes);
  FileDataSender sender(folder.File("two.bin").c_str(), 0, 0, 1024, 4);
  Capture capture;
  ASSERT_TRUE(capture.SendAll(sender));
  ASSERT_EQ(capture.frames.size(), 3u);
  EXPECT_EQ(capture.frames[0].startPos, 0u);
  EXPECT_EQ(capture.frames[1].startPos, 1024u);
  EXPECT_EQ(capture.frames[2].startPos, 2048u);
  EXPECT_EQ(capture.frames[2].dataLen, 0u);
  EXPECT_EQ(capture.chunks[0] + capture.chunks[1], bytes);
  EXPECT_EQ(capture.pauses, (std::vector<uint32_t>{250, 250})) << "a rate of 4 paces chunks 250 ms apart";
}

TEST(FileDataSender, StartsAtTheStartPositionAndCountsFromThere) {
  TempFolder folder;
  WriteAll(folder.File("ten.bin"), "0123456789");
  FileDataSender sender(folder.File("ten.bin").c_str(), 3, 99, 4, 3);
  Capture capture;
  ASSERT_TRUE(capture.SendAll(sender));
  ASSERT_EQ(capture.frames.size(), 3u);
  EXPECT_EQ(capture.chunks[0], "3456");
  EXPECT_EQ(capture.frames[1].startPos, 4u);
  EXPECT_EQ(capture.chunks[1], "789");
  EXPECT_EQ(capture.frames[2].startPos, 7u);
  EXPECT_EQ(capture.pauses, std::vector<uint32_t>{333});
  EXPECT_EQ(sender.Spare(), 99u);
}

TEST(FileDataSender, RefusalsAndAMissingFile) {
  TempFolder folder;
  WriteAll(folder.File("f.bin"), "abc");
  EXPECT_EQ(FileDataSender(folder.File("f.bin").c_str(), 0, 0, 16, 0).Start(), -1) << "rate 0";
  EXPECT_EQ(FileDataSender(folder.File("f.bin").c_str(), 0, 0, 0, 5).Start(), -1) << "chunk size 0";
  FileDataSender twice(folder.File("f.bin").c_str(), 0, 0, 16, 5);
  ASSERT_EQ(twice.Start(), 0);
  EXPECT_EQ(twice.Start(), -1) << "one thread at a time";
  twice.Stop();

  FileDataSender missing(folder.File("none.bin").c_str(), 0, 0, 16, 5);
  Capture capture;
  capture.Attach(missing);
  ASSERT_EQ(missing.Start(), 0);
  EXPECT_EQ(missing.Stop(), 0);
  EXPECT_TRUE(capture.frames.empty());
  EXPECT_FALSE(missing.IsDone());
  EXPECT_EQ(FileDataSender("x", 0, 0, 1, 1).Stop(), 0) << "stopping a sender that never ran";
}

// Stopped between chunks, the sender ends at once without its last frame.
TEST(FileDataSender, StopEndsWithoutTheLastFrame) {
  TempFolder folder;
  WriteAll(folder.File("big.bin"), RandomBytes(10000));
  FileDataSender sender(folder.File("big.bin").c_str(), 0, 0, 1000, 1);  // the default pause: 1 s
  std::mutex lock;
  std::vector<uint32_t> lengths;
  sender.SetFrameSink([&](const uint8_t* frame, size_t length) {
    std::lock_guard<std::mutex> guard(lock);
    lengths.push_back(filedata::ReadFrame(frame, length)->dataLen);
  });
  ASSERT_EQ(sender.Start(), 0);
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard<std::mutex> guard(lock);
    return !lengths.empty();
  }));
  EXPECT_EQ(sender.Stop(), 0);
  EXPECT_FALSE(sender.IsDone());
  EXPECT_EQ(lengths, std::vector<uint32_t>{1000});
}

// The receiving end: frames taken apart and written back give the same file.
TEST(FileDataWriter, AFileSentAndWrittenBackIsByteIdentical) {
  TempFolder folder;
  const std::string bytes = RandomBytes(250001);
  WriteAll(folder.File("source.bin"), bytes);
  WriteAll(folder.File("copy.bin"), "the old copy");
  FileDataWriter writer(folder.File("copy.bin").c_str(), static_cast<uint32_t>(bytes.size()), 0, 0);
  ASSERT_EQ(writer.Open(), 0);
  FileDataSender sender(folder.File("source.bin").c_str(), 0, 0, 4096, 1000);
  std::mutex lock;
  int failures = 0;
  bool last = false;
  sender.SetFrameSink([&](const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> guard(lock);
    const auto frame = filedata::ReadFrame(data, length);
    if (!frame || frame->startPos != writer.Written()) ++failures;
    if (frame && frame->dataLen == 0) last = true;
    if (frame && writer.Write(frame->chunk, frame->dataLen) != 0) ++failures;
  });
  ASSERT_EQ(sender.Start(), 0);
  ASSERT_TRUE(WaitFor([&] { return sender.IsDone(); }, 60000));
  sender.Stop();
  EXPECT_EQ(failures, 0);
  EXPECT_TRUE(last);
  EXPECT_TRUE(writer.IsComplete());
  EXPECT_EQ(ReadAll(folder.File("copy.bin")), "the old copy") << "the old file stays until the new one is whole";
  writer.Close();
  EXPECT_EQ(ReadAll(folder.File("copy.bin")), bytes);
  EXPECT_FALSE(std::filesystem::exists(folder.File("copy.bin.part")));
}

TEST(FileDataWriter, ClosedOpenFailedAndDeleted) {
  TempFolder folder;
  FileDataWriter closed(folder.File("a.bin").c_str(), 3, 0, 0);
  EXPECT_EQ(closed.Write("abc", 3), -1);
  EXPECT_FALSE(closed.IsComplete());
  FileDataWriter nowhere(folder.File("no/such/folder/a.bin").c_str(), 3, 0, 0);
  EXPECT_EQ(nowhere.Open(), -1);

  WriteAll(folder.File("keep.bin"), "old");
  FileDataWriter dropped(folder.File("keep.bin").c_str(), 3, 0, 0);
  ASSERT_EQ(dropped.Open(), 0);
  ASSERT_EQ(dropped.Write("new", 3), 0);
  EXPECT_TRUE(dropped.IsComplete());
  dropped.Close(1);
  EXPECT_EQ(ReadAll(folder.File("keep.bin")), "old") << "a deleted transfer leaves the old file";
  EXPECT_FALSE(std::filesystem::exists(folder.File("keep.bin.part")));
  EXPECT_EQ(dropped.Write("x", 1), -1);
}

// A write that falls short counts only what reached the file.
TEST(FileDataWriter, AShortWriteCountsWhatWasWritten) {
  TempFolder folder;
  FileDataWriter writer(folder.File("limited.bin").c_str(), 1200, 0, 0);
  ASSERT_EQ(writer.Open(), 0);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 1000;  // files of this process may not grow past 1000 bytes
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const std::string chunk(600, 'z');
  const int first = writer.Write(chunk.data(), chunk.size());
  const int second = writer.Write(chunk.data(), chunk.size());
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, -1);
  EXPECT_EQ(writer.Written(), 1000u);
  EXPECT_FALSE(writer.IsComplete()) << "1200 bytes were counted where 1000 arrived";
  writer.Close(1);
}

}  // namespace
