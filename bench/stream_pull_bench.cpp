// Pulls and decodes N simultaneous 640x360 25 fps H.264 streams from the local
// RTSP test server the way the program does (one pull thread per stream in
// Streva, one pump thread per stream reading it and feeding a player, whose
// decoder converts every picture), and runs `ffmpeg -i URL -f null -` N times in
// parallel as the reference. Reports CPU per stream (percent of one core),
// frames decoded per stream per second and frames dropped in Streva's reader
// queues (gaps in the frame numbers).
//
//   stream_pull_bench [seconds=10] [N ...=1 16 64]
#include <QApplication>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "ffmpeg_reference.h"
#include "stream_bench_support.h"
#include "rtsp_test_server.h"
#include "streva/streva_ctrl.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

struct Figures {
  double cpuPerStream = 0;  // percent of one core
  double fpsPerStream = 0;
  unsigned long long dropped = 0;
};

Figures RunOurs(QApplication& app, const std::string& url, int n, int seconds) {
  CStrevaCtrl streva;
  benchref::ParamSink sink;
  benchref::OpenStreams(app, streva, sink, url, n);
  QWidget parent;
  std::vector<CTessalyCtrl*> players;
  for (int i = 0; i < n; ++i) {
    auto* player = new CTessalyCtrl(&parent);
    player->CreateRender("TEST");
    player->SetupDecoder(1, 1, reinterpret_cast<const BYTE*>(&sink.blocks[i].video), 536);
    players.push_back(player);
  }
  std::atomic<bool> run{true};
  std::atomic<bool> counting{false};
  std::atomic<unsigned long long> frames{0}, dropped{0};
  std::vector<std::thread> pumps;
  for (int i = 0; i < n; ++i) {
    pumps.emplace_back([&, i] {
      const long id = sink.ids[i];
      streva.RegisterReader(id, id);
      std::vector<BYTE> buffer(1 << 20);
      BYTE header[16];
      bool first = true;
      uint32_t last = 0;
      while (run) {
        long length = static_cast<long>(buffer.size());
        long headerLength = 16;
        if (streva.ReadVideo(id, id, buffer.data(), &length, header, &headerLength) != 0 || length < 1) {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
          continue;
        }
        players[i]->InputData(1, 1, buffer.data(), length, header, 16);
        FrameHeader h;
        std::memcpy(&h, header, 16);
        if (counting) {
          ++frames;
          if (!first && h.dwSequence > last + 1) dropped += h.dwSequence - last - 1;
        }
        first = false;
        last = h.dwSequence;
      }
      streva.UnregisterReader(id, id);
    });
  }
  benchref::PumpEvents(app, 2000);  // warm-up
  counting = true;
  const double cpu0 = benchref::CpuSecondsSelf();
  benchref::PumpEvents(app, seconds * 1000);
  const double cpu1 = benchref::CpuSecondsSelf();
  counting = false;
  run = false;
  for (auto& t : pumps) t.join();
  streva.StopAll();
  Figures f;
  f.cpuPerStream = (cpu1 - cpu0) / seconds / n * 100.0;
  f.fpsPerStream = double(frames) / seconds / n;
  f.dropped = dropped;
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  std::vector<int> counts;
  for (int i = 2; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1, 16, 64};
  RtspTestServer server;
  if (!server.Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py", 0, true)) {
    std::fprintf(stderr, "the RTSP test server did not start\n");
    return 1;
  }
  const std::string url = server.Url("/h264");
  std::printf("%d s per run, %s, %u cores\n", seconds, url.c_str(), std::thread::hardware_concurrency());
  std::printf("%4s | %14s %10s %8s | %16s | %s\n", "N", "ours CPU/strm", "fps/strm", "dropped",
              "ffmpeg CPU/strm", "ours/ffmpeg");
  for (int n : counts) {
    Figures ours = RunOurs(app, url, n, seconds);
    Figures ref;
    ref.cpuPerStream = benchref::FfmpegCpuPerStream(url, n, seconds);
    std::printf("%4d | %13.1f%% %10.1f %8llu | %15.1f%% | %.2f\n", n, ours.cpuPerStream,
                ours.fpsPerStream, ours.dropped, ref.cpuPerStream,
                ref.cpuPerStream > 0 ? ours.cpuPerStream / ref.cpuPerStream : 0.0);
    std::fflush(stdout);
  }
  return 0;
}
