// Hostile and broken peers (tests/peers/pelk_peer.py) against a relay server:
// each is refused or dropped with a log line, the server keeps serving its
// other peers, and nothing is left behind.
#include <gtest/gtest.h>

#include <QProcess>
#include <atomic>
#include <mutex>
#include <thread>

#include "common/wait_for.h"
#include "pelk/pelk_server.h"
#include "pelk_test_support.h"

namespace {

// The library's warnings, kept while a test runs.
class LogCapture {
 public:
  LogCapture() {
    Instance() = this;
    previous_ = qInstallMessageHandler(&LogCapture::Handle);
  }
  ~LogCapture() {
    qInstallMessageHandler(previous_);
    Instance() = nullptr;
  }
  int Count(const char* part) {
    std::lock_guard<std::mutex> lock(mutex_);
    int count = 0;
    for (const std::string& line : lines_) count += line.find(part) != std::string::npos ? 1 : 0;
    return count;
  }

 private:
  static LogCapture*& Instance() {
    static LogCapture* instance = nullptr;
    return instance;
  }
  static void Handle(QtMsgType, const QMessageLogContext& context, const QString& text) {
    if (LogCapture* capture = Instance()) {
      if (context.category && std::string(context.category) == "vemo.pelk") {
        std::lock_guard<std::mutex> lock(capture->mutex_);
        capture->lines_.push_back(text.toStdString());
      }
    }
  }
  QtMessageHandler previous_ = nullptr;
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

class Peer {
 public:
  Peer(int port, const QString& mode, const QStringList& extra = {}) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"),
                   QStringList{QStringLiteral(VEMO_TEST_PEERS_DIR "/pelk_peer.py"), QString::number(port), mode} + extra);
    process_.waitForStarted(10000);
  }
  ~Peer() { Kill(); }
  void Kill() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(5000);
    }
  }
  // Waits (running the event loop, which answers the user checks) for an
  // output line that starts with `prefix`.
  bool Expect(const std::string& prefix, int limitMs = 15000, std::string* line = nullptr) {
    return WaitFor(
        [&] {
          while (process_.canReadLine()) {
            const std::string got = process_.readLine().trimmed().toStdString();
            if (got.rfind(prefix, 0) == 0) {
              if (line) *line = got;
              return true;
            }
          }
          return false;
        },
        limitMs);
  }

 private:
  QProcess process_;
};

// Answers device-list requests with an empty list and live video requests
// with a video that a pushing thread feeds.
void ServeLists(EnginePair& pair) {
  pair.sinkB->handler = [&pair](const PostedMessage& m) {
    if (m.msg != WM_RELAY_GET_DEVICE_LIST) return false;
    pair.b->server().RspDeviceList(PELK_STATUS_ANSWER, static_cast<DWORD>(m.lParam), nullptr, 0);
    return true;
  };
}

}  // namespace

TEST(PelkHostileTest, BadFramesAreDroppedAndTheServerServesTheOthers) {
  LogCapture log;
  EnginePair pair;
  ServeLists(pair);
  Peer good(pair.port, "login");
  ASSERT_TRUE(good.Expect("LIST 0"));
  struct Case {
    const char* mode;
    const char* logged;
  };
  const Case cases[] = {
      {"oversize", "frame longer than allowed"},
      {"prelogin-big", "frame longer than allowed"},
      {"truncated", "malformed frame"},
  };
  for (const Case& c : cases) {
    const int before = log.Count(c.logged);
    Peer bad(pair.port, c.mode);
    EXPECT_TRUE(bad.Expect("CLOSED")) << c.mode;
    EXPECT_TRUE(WaitFor([&] { return log.Count(c.logged) > before; })) << c.mode;
  }
  // An unknown frame type is skipped: the request after it is served.
  Peer unknown(pair.port, "unknown");
  ASSERT_TRUE(unknown.Expect("SENT"));
  EXPECT_TRUE(WaitFor([&] { return log.Count("unknown type") == 1; }));
  EXPECT_TRUE(WaitFor([&] { return pair.b->server().LoggedInPeers() == 2; }));
  // The well-behaved peer is still logged in and served.
  Peer second(pair.port, "login");
  EXPECT_TRUE(second.Expect("LIST 0"));
}

TEST(PelkHostileTest, ALoginThatNeverCompletesIsDropped) {
  LogCapture log;
  EnginePair pair;
  Peer silent(pair.port, "silent");
  EXPECT_TRUE(silent.Expect("CLOSED"));
  EXPECT_EQ(log.Count("did not complete its login"), 1);
  EXPECT_TRUE(WaitFor([&] { return pair.b->LiveLinks() == 0; }));
}

TEST(PelkHostileTest, WrongPasswordsAndTooManyUsersAreRefused) {
  LogCapture log;
  EnginePair pair(4, 1);
  Peer wrong(pair.port, "login", {"--password", "00000000000000000000000000000000"});
  EXPECT_TRUE(wrong.Expect("STATUS 1"));
  EXPECT_TRUE(wrong.Expect("CLOSED"));
  Peer first(pair.port, "login");
  ServeLists(pair);
  ASSERT_TRUE(first.Expect("LIST 0"));
  Peer second(pair.port, "login");
  EXPECT_TRUE(second.Expect("STATUS 2"));
  EXPECT_EQ(log.Count("too many users"), 1);
  EXPECT_EQ(log.Count("user name or password"), 1);
}

TEST(PelkHostileTest, FiftyConnectionsOpenedAndDroppedLeaveNoThreadOrDescriptor) {
  EnginePair pair;
  // Every connection a peer made has been taken by the server and has ended.
  // (The peer is done before the server has taken its last connections from
  // the backlog: no live link alone does not say that.)
  const size_t taken = pair.b->server().TakenConnections();
  auto allEnded = [&](size_t made) {
    return pair.b->server().TakenConnections() == taken + made && pair.b->LiveLinks() == 0;
  };
  {
    // A first run: the process and Qt set up what they keep.
    Peer warmUp(pair.port, "flood", {"--count", "2"});
    ASSERT_TRUE(warmUp.Expect("DONE"));
  }
  ASSERT_TRUE(WaitFor([&] { return allEnded(2); }));
  const int threads = ThreadCount();
  const int descriptors = DescriptorCount();
  {
    Peer flood(pair.port, "flood", {"--count", "50"});
    ASSERT_TRUE(flood.Expect("DONE"));
  }
  EXPECT_TRUE(WaitFor([&] { return allEnded(52); }));
  EXPECT_TRUE(WaitFor([&] { return ThreadCount() == threads && DescriptorCount() == descriptors; }))
      << ThreadCount() << " threads (" << threads << " before), " << DescriptorCount() << " descriptors ("
      << descriptors << " before)";
  // Still serving.
  EXPECT_NE(pair.Login(), 0);
}

TEST(PelkHostileTest, APeerThatReadsNothingIsDroppedWhileTheOthersGoOn) {
  LogCapture log;
  EnginePair pair;
  const std::vector<BYTE> block = [] {
    std::vector<BYTE> b(PELK_VIDEO_PARAM_SIZE, 0);
    std::memcpy(b.data(), "H264", 4);
    return b;
  }();
  std::mutex handlesMutex;
  std::vector<DWORD> handles;
  pair.sinkB->handler = [&](const PostedMessage& m) {
    if (m.msg != WM_RELAY_VIDEO_REQUEST) return false;
    const auto* request = reinterpret_cast<const RelayRequestRecord*>(m.wParam);
    const DWORD handle = pair.b->server().RspDeviceVideo(0, request->szDevKey, request->dwStream,
                                                         request->dwChannel, 0, static_cast<DWORD>(m.lParam),
                                                         block.data(), nullptr);
    pair.sinkB->GiveBack(reinterpret_cast<void*>(m.wParam));
    std::lock_guard<std::mutex> lock(handlesMutex);
    handles.push_back(handle);
    return true;
  };
  Peer stuck(pair.port, "noread", {"--key", "00-00-00-00-00-00:10.0.0.1"});
  ASSERT_TRUE(stuck.Expect("ASKED"));
  Peer viewer(pair.port, "video", {"--key", "00-00-00-00-00-00:10.0.0.2"});
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard<std::mutex> lock(handlesMutex);
    return handles.size() == 2;
  }));
  std::atomic<bool> stop{false};
  std::thread pump([&] {
    const std::vector<BYTE> frame(64 * 1024, 0x55);
    RelayFrameInfo info;
    int n = 0;
    while (!stop) {
      info.dwKeyFlag = n++ % 10 == 0;
      std::vector<DWORD> now;
      {
        std::lock_guard<std::mutex> lock(handlesMutex);
        now = handles;
      }
      pair.b->server().ReportAVData(now[0], "00-00-00-00-00-00:10.0.0.1", 1, 0, 0, frame.data(),
                                    static_cast<LONG>(frame.size()), &info);
      pair.b->server().ReportAVData(now[1], "00-00-00-00-00-00:10.0.0.2", 1, 0, 0, frame.data(),
                                    static_cast<LONG>(frame.size()), &info);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  PostedMessage close;
  EXPECT_TRUE(pair.sinkB->Take(WM_RELAY_VIDEO_CLOSE, &close, 20000));
  EXPECT_EQ(log.Count("read nothing"), 1);
  std::string line;
  ASSERT_TRUE(viewer.Expect("FRAMES", 15000, &line));
  const int before = std::stoi(line.substr(7));
  EXPECT_TRUE(viewer.Expect("FRAMES", 15000, &line));  // still fed after the other was dropped
  EXPECT_GT(std::stoi(line.substr(7)), before);
  stop = true;
  pump.join();
  EXPECT_EQ(pair.b->server().LoggedInPeers(), 1u);
  pair.sinkB->GiveBack(reinterpret_cast<void*>(close.wParam));
}
