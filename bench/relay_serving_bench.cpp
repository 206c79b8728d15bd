// What this client serves to a relay peer, measured on loopback in one process:
// B is the relay service as the program runs it (the default relay engine, the
// main window's relay handlers, the serving threads and their registry), A a
// second relay engine that asks for B's recordings.
//
//   relay_serving_bench download [MiB=1024]
//     A downloads one recorder-layout file of that size from B and writes it to
//     disk; beside it socat copies the same file over a TCP connection on
//     loopback into a file. Reported: both throughputs and their ratio, for the
//     download as served (pieces of 15360 bytes every 5 ms) and for the same
//     serving thread without the pause between pieces (what the library and the
//     thread carry).
//   relay_serving_bench replays [seconds=20] [N=4]
//     A plays N files of B at once at normal speed: video frames per second of
//     each session, its worst one-second window and the 99th percentile of the
//     gaps between its frames.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_folder.h"
#include "core/rec_scheme.h"
#include "core/user_info.h"
#include "h264_clip.h"
#include "pelk/pelk.h"
#include "pelk/pelk_client.h"
#include "pelk/pelk_engine.h"
#include "pelk/pelk_server.h"
#include "platform/paths.h"
#include "platform/wnd.h"
#include "relay/pair/recorder_file.h"
#include "relay/relay_message_handler.h"
#include "relay/relay_messages.h"
#include "relay/sessions/download_thread.h"
#include "relay/sessions/serving_relay.h"
#include "relay/sessions/session_clock.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr char kDigest[] = "E10ADC3949BA59ABBE56E057F20F883E";
constexpr char kMacB[] = "02-00-00-00-00-0B";

void Pump(QApplication& app, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    app.processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
}

// A clock whose sleeps do not wait: the serving thread sends its pieces back to back.
class NoPause final : public ISessionClock {
 public:
  DWORD Now() override { return SystemSessionClock().Now(); }
  void Sleep(DWORD) override {}
};

// B's main window: the relay handlers; with `unpaced` a download request is
// served by a thread of the same kind that never pauses.
class ServingWindow : public QWidget, public CWnd {
 public:
  ServingWindow() : CWnd(this) {
    RelayHost host;
    host.LocalMac = [] { return std::string(kMacB); };
    host.MainWindow = [this] { return GetSafeHwnd(); };
    handler = std::make_unique<CRelayMessageHandler>(host);
    Pelk_SetMsgWnd(GetSafeHwnd());
  }
  ~ServingWindow() override {
    if (unpacedThread) unpacedThread->Stop();
    Pelk_SetMsgWnd(nullptr);
  }
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (unpaced && msg == WM_RELAY_DOWNLOAD_REQUEST) {
      auto* record = reinterpret_cast<RelayFileRequest*>(wParam);
      unpacedThread = std::make_unique<CDownloadThread>(unpacedRelay, noPause);
      unpacedThread->SetRequest(*record);
      unpacedThread->SetSessionId(static_cast<DWORD>(lParam));
      Pelk_Delete(record, PELK_DELETE_RECORD);
      unpacedThread->Start();
      return 0;
    }
    LRESULT result = 0;
    handler->HandleMessage(msg, wParam, lParam, &result);
    return result;
  }
  std::unique_ptr<CRelayMessageHandler> handler;
  bool unpaced = false;
  NoPause noPause;
  PelkServingRelay unpacedRelay{nullptr};
  std::unique_ptr<CDownloadThread> unpacedThread;
};

// A's side: its engine, a message window for its answers and the callbacks.
struct Viewer : public QWidget, public CWnd {
  pelk::Engine engine;
  FILE* out = nullptr;
  std::atomic<uint64_t> received{0};
  std::atomic<int> downloadsDone{0};
  std::mutex lock;
  std::map<std::string, std::vector<double>> frameMs;  // by file: arrival times of video frames
  Clock::time_point start = Clock::now();

  Viewer() : CWnd(this) {
    engine.SetMsgWnd(GetSafeHwnd());
    pelk::EngineCallbacks callbacks;
    callbacks.download = &Viewer::OnDownload;
    callbacks.downloadContext = this;
    callbacks.realReplay = &Viewer::OnReplay;
    callbacks.realReplayContext = this;
    engine.SetCallbacks(callbacks);
  }
  ~Viewer() override { engine.SetMsgWnd(nullptr); }
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM) override {
    if (msg == WM_RELAY_DOWNLOAD_NOTIFY) ++downloadsDone;
    if (msg == WM_RELAY_REPLAY_SEARCH_RESULT && wParam) {
      engine.Records().Delete(reinterpret_cast<RelayReplaySearchResult*>(wParam)->pText, PELK_DELETE_INNER);
    }
    engine.Records().Delete(reinterpret_cast<void*>(wParam), PELK_DELETE_RECORD);
    return 0;
  }
  static LONG OnDownload(LONG, const char*, DWORD, DWORD, LONG, const BYTE* data, LONG length, DWORD, DWORD, DWORD,
                         DWORD, const char*, void* context) {
    auto* self = static_cast<Viewer*>(context);
    if (self->out) std::fwrite(data, 1, static_cast<size_t>(length), self->out);
    self->received += static_cast<uint64_t>(length);
    return 1;
  }
  static LONG OnReplay(LONG, const char*, DWORD, DWORD, LONG kind, const BYTE*, LONG, const RelayFrameInfo*,
                       const char* name, void* context) {
    auto* self = static_cast<Viewer*>(context);
    if (kind != PELK_MEDIA_VIDEO || !name) return 1;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - self->start).count();
    std::lock_guard<std::mutex> guard(self->lock);
    self->frameMs[name].push_back(ms);
    return 1;
  }
};

struct Bench {
  TempFolder folder;
  std::string storage;  // the scheme's storage path (native, ANSI as it stands)
  std::string day;      // B's day folder of the camera
  std::unique_ptr<RecSchemeInfo> scheme = std::make_unique<RecSchemeInfo>();

  Bench() {
    storage = folder.File("store");
    day = storage + "/Record/Gate/Local/Schedule/2026/12/10/";
    fs::create_directories(day);
    std::snprintf(scheme->StoragePath1, sizeof scheme->StoragePath1, "%s", storage.c_str());
    g_lstRecSchemeInfo.push_back(scheme.get());
    std::snprintf(g_szCurUser, sizeof g_szCurUser, "admin");
    std::snprintf(g_szCurPassword, sizeof g_szCurPassword, "%s", kDigest);
  }
  ~Bench() { g_lstRecSchemeInfo.clear(); }
};

std::string Key() { return FormatDeviceKey(kMacB, "127.0.0.1"); }

// B's forwarding server on a free port, and A logged in to it; 0 refused.
LONG StartAndLogIn(Viewer& a) {
  Pelk_StartTS("127.0.0.1", 0, 16, 4);
  const LONG login = a.engine.client().Login("127.0.0.1", pelk::Engine::Default().server().Port(), "admin", kDigest);
  if (login == 0) std::printf("login refused\n");
  return login;
}

// Seconds the relay download of `path` takes, the file written by A.
double RelayDownload(QApplication& app, Viewer& a, LONG login, const std::string& path, const std::string& outPath,
                     uint64_t size) {
  a.out = std::fopen(outPath.c_str(), "wb");
  a.received = 0;
  const int done = a.downloadsDone;
  const auto t0 = Clock::now();
  a.engine.client().InviteDloadStart(login, Key().c_str(), 1, 0, 1, path.c_str());
  while (a.downloadsDone == done) Pump(app, 50);
  const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
  std::fclose(a.out);
  a.out = nullptr;
  if (a.received != size) std::printf("  (received %llu of %llu bytes)\n", (unsigned long long)a.received.load(),
                                      (unsigned long long)size);
  return seconds;
}

// Seconds socat takes to copy `path` over TCP on loopback into `outPath`.
double SocatCopy(const std::string& path, const std::string& outPath) {
  QProcess server;
  const int port = 20000 + static_cast<int>(QCoreApplication::applicationPid() % 20000);
  server.start("socat", {"-u", QString("TCP-LISTEN:%1,bind=127.0.0.1,reuseaddr").arg(port),
                         QString::fromStdString("OPEN:" + outPath + ",creat,trunc")});
  server.waitForStarted();
  QThread::msleep(300);
  const auto t0 = Clock::now();
  QProcess client;
  client.start("socat", {"-u", QString::fromStdString("OPEN:" + path), QString("TCP:127.0.0.1:%1").arg(port)});
  client.waitForFinished(-1);
  server.waitForFinished(-1);
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

int Download(QApplication& app, uint64_t mib) {
  Bench bench;
  const H264Clip clip = MakeH264Clip(bench.folder.File(""), 10, 704, 576, 25);
  const std::string file = bench.day + "080000-av1.avi";
  if (clip.frames.empty() || !WriteRecorderFile(clip, file, mib * 1024 * 1024)) {
    std::printf("cannot make the record file\n");
    return 1;
  }
  const uint64_t size = fs::file_size(file);
  ServingWindow b;
  Viewer a;
  const LONG login = StartAndLogIn(a);
  if (login == 0) return 1;
  const double mb = static_cast<double>(size) / 1e6;
  std::printf("file: %.1f MB (recorder layout)\n", mb);
  const double socat = SocatCopy(file, bench.folder.File("socat.out"));
  std::printf("socat over TCP:        %8.2f s  %9.1f MB/s\n", socat, mb / socat);
  b.unpaced = true;
  const double unpaced = RelayDownload(app, a, login, file, bench.folder.File("unpaced.out"), size);
  std::printf("relay, no pause:       %8.2f s  %9.1f MB/s  ratio %.3f\n", unpaced, mb / unpaced, socat / unpaced);
  b.unpaced = false;
  const double served = RelayDownload(app, a, login, file, bench.folder.File("served.out"), size);
  std::printf("relay, as served:      %8.2f s  %9.1f MB/s  ratio %.3f\n", served, mb / served, socat / served);
  const bool same = fs::file_size(bench.folder.File("served.out")) == size &&
                    std::system(("cmp -s '" + file + "' '" + bench.folder.File("served.out") + "'").c_str()) == 0;
  std::printf("served copy byte-identical: %s\n", same ? "yes" : "NO");
  a.engine.client().LogOut(login);
  Pelk_StopTS();
  return 0;
}

int Replays(QApplication& app, int seconds, int n) {
  Bench bench;
  const H264Clip clip = MakeH264Clip(bench.folder.File(""), 10, 704, 576, 25);
  std::vector<std::string> files;
  for (int i = 0; i < n; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%02d0000-av1.avi", 8 + i);
    files.push_back(bench.day + name);
    // Long enough for the whole run: about 2.5 MB a second at this size.
    if (clip.frames.empty() || !WriteRecorderFile(clip, files.back(), static_cast<uint64_t>(seconds + 5) * 3000000)) {
      std::printf("cannot make the record files\n");
      return 1;
    }
  }
  ServingWindow b;
  Viewer a;
  const LONG login = StartAndLogIn(a);
  if (login == 0) return 1;
  for (const std::string& file : files) a.engine.client().InviteReplayStart(login, Key().c_str(), 1, 0, 1, file.c_str());
  Pump(app, 2000);  // the 600 ms start and the first frames
  {
    std::lock_guard<std::mutex> guard(a.lock);
    a.frameMs.clear();
  }
  const double from = std::chrono::duration<double, std::milli>(Clock::now() - a.start).count();
  Pump(app, seconds * 1000);
  std::lock_guard<std::mutex> guard(a.lock);
  std::printf("%d replays at normal speed for %d s (the files: 25 frames per second)\n", n, seconds);
  for (const auto& [name, times] : a.frameMs) {
    std::vector<double> gaps;
    for (size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    int worst = 1 << 30;
    for (int s = 0; s < seconds; ++s) {
      const double lo = from + s * 1000.0, hi = lo + 1000.0;
      worst = std::min(worst, static_cast<int>(std::count_if(times.begin(), times.end(),
                                                             [&](double t) { return t >= lo && t < hi; })));
    }
    const double p99 = gaps.empty() ? 0 : gaps[std::min(gaps.size() - 1, gaps.size() * 99 / 100)];
    std::printf("  %s: %.2f fps, worst second %d frames, gap p99 %.1f ms, max %.1f ms\n",
                fs::path(name).filename().c_str(), static_cast<double>(times.size()) / seconds, worst, p99,
                gaps.empty() ? 0.0 : gaps.back());
  }
  a.engine.client().LogOut(login);
  Pelk_StopTS();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const std::string mode = argc > 1 ? argv[1] : "download";
  Pelk_Init();
  int result = 0;
  if (mode == "download") {
    result = Download(app, argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1024);
  } else {
    result = Replays(app, argc > 2 ? std::atoi(argv[2]) : 20, argc > 3 ? std::atoi(argv[3]) : 4);
  }
  Pelk_Release();
  return result;
}
