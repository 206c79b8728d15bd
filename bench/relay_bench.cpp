// Relays N live streams from a serving relay instance (B) to a viewing one (A)
// on loopback, in one process, and pulls the same N streams directly beside it.
//
// B pulls N RTSP streams of the local test server with Streva and its pump
// threads hand every frame to the relay (as a stream object does for a served
// session); A receives them in its real-data callback. Reported:
//   - added latency per frame: from B's pump handing the frame to the relay to
//     A's callback (mean, 99th percentile, worst);
//   - CPU per stream (percent of one core) of the relayed run (B's pulls, the
//     relay both ways, A's callback) beside the direct run (the same pulls and
//     pump reads alone), and their ratio. With "decode", both ends also decode
//     every frame (a viewer that shows the video).
//
//   relay_bench [seconds=10] [N=16] [decode]
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ffmpeg_reference.h"
#include "pelk/pelk.h"
#include "pelk/pelk_client.h"
#include "pelk/pelk_engine.h"
#include "pelk/pelk_server.h"
#include "platform/wnd.h"
#include "rtsp_test_server.h"
#include "streva/streva_ctrl.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

constexpr char kDigest[] = "E10ADC3949BA59ABBE56E057F20F883E";
using Clock = std::chrono::steady_clock;

void Pump(QApplication& app, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    app.processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

// Warms up for 2 s, then counts for `seconds`: the process's CPU seconds meanwhile.
double Measure(QApplication& app, int seconds, std::atomic<bool>& counting) {
  Pump(app, 2000);
  counting = true;
  const double cpu0 = benchref::CpuSecondsSelf();
  Pump(app, seconds * 1000);
  const double cpu1 = benchref::CpuSecondsSelf();
  counting = false;
  return cpu1 - cpu0;
}

struct Sink : IStrevaEvents {
  std::atomic<int> params{0};
  std::map<long, MediaParamBlock> blocks;
  std::mutex mutex;
  long MediaRecv(long id, long type, const BYTE* data, long length) override {
    if (type != kMediaTypeParam || length != sizeof(MediaParamBlock)) return 0;
    std::lock_guard<std::mutex> lock(mutex);
    if (!blocks.count(id)) ++params;
    std::memcpy(&blocks[id], data, sizeof(MediaParamBlock));
    return 0;
  }
  long OnVideoFrame(long, const BYTE*, long, const BYTE*, long) override { return 0; }
  long OnAudioFrame(long, const BYTE*, long, const BYTE*, long) override { return 0; }
};

// The pulls of N streams, and one pump thread per stream that reads every
// video frame and hands it to `each` (stream index, data, length, header).
class Pulls {
 public:
  Pulls(QApplication& app, const std::string& url, int n) {
    streva_.Advise(&sink_);
    for (int i = 0; i < n; ++i) ids_.push_back(streva_.OpenStream(url, "", "", TRUE));
    QElapsedTimer wait;
    wait.start();
    while (sink_.params < n && wait.elapsed() < 30000) Pump(app, 50);
  }
  ~Pulls() {
    Stop();
    streva_.StopAll();
  }
  const MediaParamBlock& Block(int i) { return sink_.blocks[ids_[static_cast<size_t>(i)]]; }
  template <class Each>
  void Start(Each each) {
    for (size_t i = 0; i < ids_.size(); ++i) {
      pumps_.emplace_back([this, i, each] {
        const long id = ids_[i];
        streva_.RegisterReader(id, id);
        std::vector<BYTE> buffer(1 << 20);
        BYTE header[16];
        while (run_) {
          long length = static_cast<long>(buffer.size());
          long headerLength = 16;
          if (streva_.ReadVideo(id, id, buffer.data(), &length, header, &headerLength) != 0 || length < 1) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
          }
          each(static_cast<int>(i), buffer.data(), length, header);
        }
        streva_.UnregisterReader(id, id);
      });
    }
  }
  void Stop() {
    run_ = false;
    for (auto& t : pumps_) t.join();
    pumps_.clear();
  }

 private:
  CStrevaCtrl streva_;
  Sink sink_;
  std::vector<long> ids_;
  std::vector<std::thread> pumps_;
  std::atomic<bool> run_{true};
};

// Decoders of one end (null when not decoding).
class Decoders {
 public:
  Decoders(bool on, int n, Pulls& pulls) {
    if (!on) return;
    for (int i = 0; i < n; ++i) {
      auto* player = new CTessalyCtrl(&parent_);
      player->CreateRender("TEST");
      player->SetupDecoder(1, 1, reinterpret_cast<const BYTE*>(&pulls.Block(i).video), 536);
      players_.push_back(player);
    }
  }
  void Feed(int i, const BYTE* data, long length, const BYTE* header) {
    if (!players_.empty()) players_[static_cast<size_t>(i)]->InputData(1, 1, data, length, header, 16);
  }

 private:
  QWidget parent_;
  std::vector<CTessalyCtrl*> players_;
};

// The serving and the viewing instance's message window.
class Window : public QWidget, public CWnd {
 public:
  explicit Window(pelk::Engine& engine) : CWnd(this), engine_(engine) { engine.SetMsgWnd(GetSafeHwnd()); }
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_RELAY_CHECK_USER) {
      return Pelk_CheckPassword(reinterpret_cast<const PelkPasswordVerifier*>(lParam), kDigest) ? 0 : 1;
    }
    if (msg == WM_RELAY_VIDEO_REQUEST) {
      const auto* request = reinterpret_cast<const RelayRequestRecord*>(wParam);
      requests.push_back({*request, static_cast<DWORD>(lParam)});
    }
    engine_.Records().Delete(reinterpret_cast<void*>(wParam), PELK_DELETE_RECORD);
    return 0;
  }
  std::vector<std::pair<RelayRequestRecord, DWORD>> requests;

 private:
  pelk::Engine& engine_;
};

struct Latency {
  std::mutex mutex;
  std::vector<double> microseconds;
};

struct Figures {
  double cpuPerStream = 0;
  double fpsPerStream = 0;
  double meanUs = 0, p99Us = 0, maxUs = 0;
};

Figures RunDirect(QApplication& app, const std::string& url, int n, int seconds, bool decode) {
  Pulls pulls(app, url, n);
  Decoders decoders(decode, n, pulls);
  std::atomic<bool> counting{false};
  std::atomic<unsigned long long> frames{0};
  pulls.Start([&](int i, const BYTE* data, long length, const BYTE* header) {
    decoders.Feed(i, data, length, header);
    if (counting) ++frames;
  });
  const double cpuSeconds = Measure(app, seconds, counting);
  pulls.Stop();
  Figures f;
  f.cpuPerStream = cpuSeconds / seconds / n * 100.0;
  f.fpsPerStream = double(frames) / seconds / n;
  return f;
}

Figures RunRelayed(QApplication& app, const std::string& url, int n, int seconds, bool decode) {
  pelk::Engine b;
  pelk::Engine a;
  Window windowB(b);
  Window windowA(a);
  b.server().Start("127.0.0.1", 0, n, 4);
  const LONG login = a.client().Login("127.0.0.1", b.server().Port(), "admin", kDigest);
  if (login == 0) {
    std::fprintf(stderr, "the relay login failed\n");
    return {};
  }
  Pulls pulls(app, url, n);
  Decoders decoders(decode, n, pulls);
  std::vector<std::string> keys;
  for (int i = 0; i < n; ++i) {
    keys.push_back("02-00-00-00-00-01:10.0.0." + std::to_string(i + 1));
    a.client().InviteDeviceVideo(login, keys.back().c_str(), 1, i);
  }
  QElapsedTimer wait;
  wait.start();
  while (windowB.requests.size() < static_cast<size_t>(n) && wait.elapsed() < 10000) Pump(app, 20);
  std::vector<DWORD> handles(static_cast<size_t>(n));
  for (const auto& [request, word] : windowB.requests) {
    const int i = static_cast<int>(request.dwChannel);
    handles[static_cast<size_t>(i)] =
        b.server().RspDeviceVideo(0, request.szDevKey, request.dwStream, request.dwChannel, 0, word,
                                  reinterpret_cast<const BYTE*>(&pulls.Block(i).video), nullptr);
  }

  // Time stamps of B's pump by stream and sequence, read by A's callback.
  struct Stamps {
    std::array<std::atomic<int64_t>, 4096> at{};
  };
  std::vector<Stamps> stamps(static_cast<size_t>(n));
  std::atomic<bool> counting{false};
  std::atomic<unsigned long long> frames{0};
  Latency latency;
  struct Context {
    std::vector<Stamps>* stamps;
    std::atomic<bool>* counting;
    std::atomic<unsigned long long>* frames;
    Latency* latency;
    Decoders* decoders;
  } context{&stamps, &counting, &frames, &latency, &decoders};
  for (int i = 0; i < n; ++i) {
    a.RealData().Register(keys[static_cast<size_t>(i)], 1, static_cast<DWORD>(i),
                          [](LONG, DWORD, DWORD channel, LONG, const BYTE* data, LONG length,
                             const RelayFrameInfo* info, void* ctx) -> LONG {
                            const int64_t now = Clock::now().time_since_epoch().count();
                            auto* c = static_cast<Context*>(ctx);
                            FrameHeader header{};
                            header.dwFlags = info->dwKeyFlag;
                            header.dwTimeStamp = static_cast<uint32_t>(info->dTime);
                            c->decoders->Feed(static_cast<int>(channel), data, length,
                                              reinterpret_cast<const BYTE*>(&header));
                            const int64_t sent =
                                (*c->stamps)[channel].at[info->dwSequence % 4096].load(std::memory_order_acquire);
                            if (*c->counting && sent > 0) {
                              ++*c->frames;
                              std::lock_guard<std::mutex> lock(c->latency->mutex);
                              c->latency->microseconds.push_back((now - sent) / 1000.0);
                            }
                            return 1;
                          },
                          &context);
  }
  std::vector<std::atomic<DWORD>> sequences(static_cast<size_t>(n));
  pulls.Start([&](int i, const BYTE* data, long length, const BYTE* header) {
    FrameHeader h;
    std::memcpy(&h, header, sizeof h);
    RelayFrameInfo info;
    info.dwKeyFlag = h.dwFlags & kFrameFlagKey;
    info.dTime = h.dwTimeStamp;
    info.dwSequence = ++sequences[static_cast<size_t>(i)];
    stamps[static_cast<size_t>(i)].at[info.dwSequence % 4096].store(Clock::now().time_since_epoch().count(),
                                                                    std::memory_order_release);
    b.server().ReportAVData(handles[static_cast<size_t>(i)], keys[static_cast<size_t>(i)].c_str(), 1,
                            static_cast<DWORD>(i), PELK_MEDIA_VIDEO, data, length, &info);
  });
  const double cpuSeconds = Measure(app, seconds, counting);
  pulls.Stop();
  for (int i = 0; i < n; ++i) a.RealData().Unregister(keys[static_cast<size_t>(i)], 1, static_cast<DWORD>(i));
  Figures f;
  f.cpuPerStream = cpuSeconds / seconds / n * 100.0;
  f.fpsPerStream = double(frames) / seconds / n;
  std::vector<double>& us = latency.microseconds;
  if (!us.empty()) {
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us) sum += v;
    f.meanUs = sum / static_cast<double>(us.size());
    f.p99Us = us[us.size() * 99 / 100];
    f.maxUs = us.back();
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const int n = argc > 2 ? std::atoi(argv[2]) : 16;
  const bool decode = argc > 3 && std::strcmp(argv[3], "decode") == 0;
  RtspTestServer server;
  if (!server.Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py", 0, true)) {
    std::fprintf(stderr, "the RTSP test server did not start\n");
    return 1;
  }
  const std::string url = server.Url("/h264");
  std::printf("%d s per run, %d streams of %s, %s, %u cores\n", seconds, n, url.c_str(),
              decode ? "decoded at both ends" : "not decoded", std::thread::hardware_concurrency());
  const Figures direct = RunDirect(app, url, n, seconds, decode);
  const Figures relayed = RunRelayed(app, url, n, seconds, decode);
  std::printf("direct : CPU/stream %6.2f%%  fps/stream %5.1f\n", direct.cpuPerStream, direct.fpsPerStream);
  std::printf("relayed: CPU/stream %6.2f%%  fps/stream %5.1f  added latency mean %.0f us, p99 %.0f us, max %.0f us\n",
              relayed.cpuPerStream, relayed.fpsPerStream, relayed.meanUs, relayed.p99Us, relayed.maxUs);
  std::printf("relayed/direct CPU: %.2f\n", direct.cpuPerStream > 0 ? relayed.cpuPerStream / direct.cpuPerStream : 0);
  return 0;
}
