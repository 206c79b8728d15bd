// Shows N cameras of 640x360 25 fps H.264 from the local RTSP test server in a
// live-view grid of N panes (16 and 64 by default) the way the program does:
// each pane watches a device over its stream address, the stream objects pump
// the frames into the panes' players. Reports the CPU used per pane (percent of
// one core), the frames shown per second per pane (pictures the players
// painted) beside the pictures they decoded, and beside it N ffmpeg processes
// decoding the same stream.
//
//   live_grid_bench [seconds=10] [N ...=16 64]
//   live_grid_bench --show SECONDS   a 4x4 grid in a 1920x1080 window (for a
//                                    screenshot under an X server)
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/dev_info_store.h"
#include "core/user_settings.h"
#include "ffmpeg_reference.h"
#include "live/streams/rtsp_events.h"
#include "live/grid/video_manager_dlg.h"
#include "live/grid/video_wnd.h"
#include "rtsp_test_server.h"
#include "streva/streva_ctrl.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

// Runs the event loop for `ms` as the program does: asleep until events come.
void Pump(QApplication&, int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Counts the pictures each player paints.
class PaintCounter : public QObject {
 public:
  std::atomic<unsigned long long> paints{0};
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && dynamic_cast<CTessalyCtrl*>(watched)) ++paints;
    return false;
  }
};

// N cameras of the server, watched in a grid of N panes inside `window`.
class GridRun {
 public:
  GridRun(QWidget* window, int port, int n) : streva_(std::make_unique<CStrevaCtrl>()) {
    g_bAutoSwitchStream = 0;  // every pane on the 640x360 main stream
    g_nDefDisplayMode = n;
    grid_ = std::make_unique<CVideoManagerDlg>(0, 0, window->width(), window->height(), window);
    grid_->Create(CVideoManagerDlg::IDD, window);
    grid_->show();
    for (int i = 0; i < n; ++i) {
      DevInfo dev;
      std::snprintf(dev.DevName, sizeof(dev.DevName), "Cam%d", i + 1);
      std::snprintf(dev.DevId, sizeof(dev.DevId), "cam-%d", i + 1);
      std::snprintf(dev.IPAddr, sizeof(dev.IPAddr), "127.0.0.1");
      dev.VideoPort = port;
      dev.DevType = 1;
      dev.RtpOverRtsp = 1;
      dev.nOnline = 1;
      for (int k = 0; k < 2; ++k) {
        objects_.push_back(std::make_unique<CRtspEvents>(nullptr, streva_.get()));
        streva_->Advise(objects_.back().get());
      }
      dev.pRtspEvent1 = objects_[objects_.size() - 2].get();
      dev.pRtspEvent2 = objects_.back().get();
      g_lstDevInfo.push_back(dev);
      grid_->AddWatch(i, &g_lstDevInfo.back(), FALSE, FALSE, 0, 0, FALSE, FALSE);
    }
  }
  ~GridRun() {
    grid_->RemoveAllWatch();
    grid_.reset();
    for (auto& events : objects_) {
      events->StopAllThread();
      streva_->Unadvise(events.get());
    }
    objects_.clear();
    g_lstDevInfo.clear();
  }
  int PanesWithPicture() const {
    int count = 0;
    for (int i = 0; i < grid_->GetShownCount(); ++i) {
      const CRtspEvents* events = grid_->Pane(i)->RenderingStream();
      if (events && events->Player(1) && events->Player(1)->HasPicture()) ++count;
    }
    return count;
  }
  unsigned long long PicturesDecoded() const {
    unsigned long long count = 0;
    for (int i = 0; i < grid_->GetShownCount(); ++i) {
      const CRtspEvents* events = grid_->Pane(i)->RenderingStream();
      if (events && events->Player(1)) count += events->Player(1)->PicturesDecoded();
    }
    return count;
  }
  void CountPaints(PaintCounter* counter) {
    for (int i = 0; i < grid_->GetShownCount(); ++i) {
      if (const CRtspEvents* events = grid_->Pane(i)->RenderingStream(); events && events->Player(1)) {
        events->Player(1)->installEventFilter(counter);
      }
    }
  }

 private:
  std::unique_ptr<CStrevaCtrl> streva_;
  std::vector<std::unique_ptr<CRtspEvents>> objects_;
  std::unique_ptr<CVideoManagerDlg> grid_;
};

struct Figures {
  double cpuPerPane = 0;
  double decodedPerPane = 0;
  double shownPerPane = 0;
  int panesPlaying = 0;
};

Figures RunGrid(QApplication& app, int port, int n, int seconds) {
  QWidget window;
  window.resize(1920, 1080);
  window.show();
  GridRun run(&window, port, n);
  QElapsedTimer wait;
  wait.start();
  while (run.PanesWithPicture() < n && wait.elapsed() < 60000) Pump(app, 100);
  PaintCounter counter;
  run.CountPaints(&counter);
  Pump(app, 2000);  // warm-up
  const unsigned long long paints0 = counter.paints;
  const unsigned long long decoded0 = run.PicturesDecoded();
  const double cpu0 = benchref::CpuSecondsSelf();
  Pump(app, seconds * 1000);
  Figures f;
  f.cpuPerPane = (benchref::CpuSecondsSelf() - cpu0) / seconds / n * 100.0;
  f.decodedPerPane = double(run.PicturesDecoded() - decoded0) / seconds / n;
  f.shownPerPane = double(counter.paints - paints0) / seconds / n;
  f.panesPlaying = run.PanesWithPicture();
  return f;
}

// A fresh server for each measurement: a shared stream whose clients all went
// can still be tearing down when the next batch connects, and fail them.
bool StartServer(RtspTestServer* server) {
  if (server->Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py", 0, true)) return true;
  std::fprintf(stderr, "the RTSP test server did not start\n");
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--show") == 0) {
    RtspTestServer server;
    if (!StartServer(&server)) return 1;
    QWidget window;
    window.setGeometry(0, 0, 1920, 1080);
    window.show();
    GridRun run(&window, server.Port(), 16);
    Pump(app, std::atoi(argv[2]) * 1000);
    std::printf("%d of 16 panes show a picture\n", run.PanesWithPicture());
    return 0;
  }
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  std::vector<int> counts;
  for (int i = 2; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {16, 64};
  std::printf("%d s per run, /mpeg4 of the RTSP test server (640x360 25 fps), %u cores\n", seconds,
              std::thread::hardware_concurrency());
  std::printf("%4s | %8s %9s %13s %11s | %16s %11s | %7s %9s\n", "N", "playing", "CPU/pane", "decoded fps",
              "shown fps", "ffmpeg CPU/strm", "ffmpeg fps", "ours/ff", "per frame");
  for (int n : counts) {
    Figures ours;
    {
      RtspTestServer server;
      if (!StartServer(&server)) return 1;
      ours = RunGrid(app, server.Port(), n, seconds);
    }
    double ref = 0;
    double refFps = 0;
    {
      RtspTestServer server;
      if (!StartServer(&server)) return 1;
      ref = benchref::FfmpegCpuPerStream(server.Url("/mpeg4"), n, seconds, &refFps);
    }
    // On a busy machine the server may send fewer frames than the stream's
    // rate, to us or to ffmpeg: the last column compares CPU per decoded frame.
    const double perFrame = ref > 0 && refFps > 0 && ours.decodedPerPane > 0
                                ? (ours.cpuPerPane / ours.decodedPerPane) / (ref / refFps)
                                : 0.0;
    std::printf("%4d | %8d %8.2f%% %13.1f %11.1f | %15.2f%% %11.1f | %7.2f %9.2f\n", n, ours.panesPlaying,
                ours.cpuPerPane, ours.decodedPerPane, ours.shownPerPane, ref, refFps,
                ref > 0 ? ours.cpuPerPane / ref : 0.0, perFrame);
    std::fflush(stdout);
  }
  return 0;
}
