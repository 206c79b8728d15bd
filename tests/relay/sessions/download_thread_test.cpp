// A local record file sent to a peer in paced pieces.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/temp_folder.h"
#include "relay/relay_messages.h"
#include "relay/sessions/download_thread.h"
#include "relay/sessions/session_test_support.h"

namespace {

std::vector<BYTE> WriteBytes(const std::string& path, size_t size) {
  std::vector<BYTE> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i % 251);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(size));
  return bytes;
}

class DownloadTest : public ::testing::Test {
 protected:
  std::unique_ptr<CDownloadThread> Make(const std::string& path, DWORD word = 12) {
    auto thread = std::make_unique<CDownloadThread>(relay, clock);
    RelayFileRequest request;
    std::snprintf(request.szPath, sizeof request.szPath, "%s", path.c_str());
    thread->SetRequest(request);
    thread->SetSessionId(word);
    thread->SetRegistryId(4);
    return thread;
  }
  std::vector<BYTE> Received() const {
    std::vector<BYTE> out;
    for (const RelayCall& call : relay.Of(RelayCall::kDloadData)) {
      EXPECT_EQ(call.offset, out.size());
      out.insert(out.end(), call.data.begin(), call.data.end());
    }
    return out;
  }

  TempFolder folder;
  FakeSessionClock clock;
  RecordingRelay relay{clock};
};

}  // namespace

TEST_F(DownloadTest, SendsTheWholeFileInPiecesOf15360BytesEvery5Ms) {
  struct Case {
    size_t size;
    std::vector<LONG> lengths;
  };
  const Case cases[] = {{0, {}}, {15360, {15360}}, {15361, {15360, 1}}, {40000, {15360, 15360, 9280}}};
  for (const Case& c : cases) {
    RecordingRelay own(clock);
    const std::string path = folder.File("f" + std::to_string(c.size) + ".avi");
    const std::vector<BYTE> bytes = WriteBytes(path, c.size);
    CDownloadThread thread(own, clock);
    RelayFileRequest request;
    std::snprintf(request.szPath, sizeof request.szPath, "%s", path.c_str());
    thread.SetRequest(request);
    thread.SetRegistryId(3);
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(own.WaitEnd());
    thread.Stop();
    const std::vector<RelayCall> calls = own.Calls();
    ASSERT_EQ(calls.size(), c.lengths.size() + 3) << c.size;
    EXPECT_EQ(calls.front().status, PELK_STATUS_ANSWER);
    EXPECT_EQ(calls.front().size, c.size);
    std::vector<BYTE> received;
    for (size_t i = 0; i < c.lengths.size(); ++i) {
      const RelayCall& piece = calls[i + 1];
      EXPECT_EQ(piece.length, c.lengths[i]) << c.size;
      EXPECT_EQ(piece.offset, received.size());
      EXPECT_EQ(piece.size, c.size);
      if (i > 0) {
        EXPECT_EQ(piece.time - calls[i].time, 5u);
      }
      received.insert(received.end(), piece.data.begin(), piece.data.end());
    }
    EXPECT_EQ(received, bytes) << c.size;
    EXPECT_EQ(calls[calls.size() - 2].type, RelayCall::kDloadStop) << c.size;
    EXPECT_EQ(calls.back().msg, WM_SESSION_DOWNLOAD_END);
    EXPECT_EQ(calls.back().id, 3u);
  }
}

TEST_F(DownloadTest, AMissingFileIsRefusedAndAStoppedOneEndsWithoutTheStopNotice) {
  auto missing = Make(folder.File("none.avi"));
  ASSERT_TRUE(missing->Start());
  ASSERT_TRUE(relay.WaitEnd());
  missing->Stop();
  ASSERT_EQ(relay.Calls().size(), 2u);
  EXPECT_EQ(relay.Calls()[0].status, PELK_STATUS_REFUSED);
  EXPECT_EQ(relay.Calls()[0].size, 0u);

  RecordingRelay stopped(clock);
  const std::string path = folder.File("long.avi");
  WriteBytes(path, 200000);
  CDownloadThread thread(stopped, clock);
  RelayFileRequest request;
  std::snprintf(request.szPath, sizeof request.szPath, "%s", path.c_str());
  thread.SetRequest(request);
  stopped.onData = [&](int n) {
    if (n == 3) thread.RequestStop();
  };
  ASSERT_TRUE(thread.Start());
  ASSERT_TRUE(stopped.WaitEnd());
  thread.Stop();
  EXPECT_EQ(stopped.Count(RelayCall::kDloadData), 3);
  EXPECT_EQ(stopped.Count(RelayCall::kDloadStop), 0);
}

// A file that shrinks, vanishes or whose pieces the library no longer takes
// ends the download (the thread does not read on every 5 ms forever).
TEST_F(DownloadTest, AFileThatShrinksOrVanishesEndsTheDownload) {
  enum What { kShrink, kVanish, kRefused };
  for (What what : {kShrink, kVanish, kRefused}) {
    RecordingRelay own(clock);
    const std::string path = folder.File("going" + std::to_string(what) + ".avi");
    const std::vector<BYTE> bytes = WriteBytes(path, 100000);
    CDownloadThread thread(own, clock);
    RelayFileRequest request;
    std::snprintf(request.szPath, sizeof request.szPath, "%s", path.c_str());
    thread.SetRequest(request);
    if (what == kRefused) own.refusePieceFrom = 3;
    own.onData = [&](int n) {
      if (n != 2) return;
      if (what == kShrink) std::filesystem::resize_file(path, 20000);
      if (what == kVanish) std::filesystem::remove(path);
    };
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(own.WaitEnd(5000)) << what;
    thread.Stop();
    EXPECT_EQ(own.Count(RelayCall::kDloadStop), 0) << what;
    EXPECT_LE(own.Count(RelayCall::kDloadData), 3) << what;  // at most what the read had buffered
    EXPECT_LT(clock.Now(), 1000000u + 100000u);
  }
}
