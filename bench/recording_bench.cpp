// Records N simultaneous 640x360 25 fps H.264 streams of the local RTSP test
// server the way the program does (one pull thread per stream in Streva, one
// pump thread per stream reading it and feeding the stream's recorder, which
// writes the record files), and runs `ffmpeg -rtsp_transport tcp -i URL -c copy
// out.avi` N times in parallel as the reference. Reports CPU per stream
// (percent of one core) of both and their ratio, and checks that every frame
// received while recording is in the files (frames written = frames received,
// none dropped in Streva's reader queues).
//
//   recording_bench [seconds=60] [N=64]
#include <QApplication>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "clipta/clipta_ctrl.h"
#include "ffmpeg_reference.h"
#include "stream_bench_support.h"
#include "rtsp_test_server.h"
#include "streva/streva_ctrl.h"

namespace fs = std::filesystem;

namespace {

uint32_t Le32(const std::string& data, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(data[at + i]);
  return value;
}

// Video chunks in the index of a finished one-stream record file.
unsigned long long IndexedVideoFrames(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.size() < 5672) return 0;
  const size_t moviEnd = 5668 + Le32(data, 5664);
  if (moviEnd + 8 > data.size() || data.compare(moviEnd, 4, "idx1") != 0) return 0;
  const size_t entries = Le32(data, moviEnd + 4) / 16;
  unsigned long long video = 0;
  for (size_t i = 0; i < entries; ++i) video += data.compare(moviEnd + 8 + i * 16, 4, "00dc") == 0;
  return video;
}

struct Figures {
  double cpuPerStream = 0;
  unsigned long long received = 0;
  unsigned long long written = 0;
  unsigned long long dropped = 0;
  int files = 0;
};

// Phase: 0 warm-up, 1 recording, 2 stopping.
Figures RunOurs(QApplication& app, const std::string& url, int n, int seconds, const fs::path& folder) {
  CStrevaCtrl streva;
  benchref::ParamSink sink;
  benchref::OpenStreams(app, streva, sink, url, n);

  std::atomic<int> phase{0};
  std::atomic<bool> run{true};
  std::atomic<unsigned long long> received{0}, dropped{0};
  std::vector<std::thread> pumps;
  for (int i = 0; i < n; ++i) {
    pumps.emplace_back([&, i] {
      const long id = sink.ids[i];
      CCliptaCtrl recorder;  // one per stream object
      recorder.BeginStream(id);
      recorder.SetVideoParam(id, reinterpret_cast<const BYTE*>(&sink.blocks[i].video), 536);
      streva.RegisterReader(id, id);
      std::vector<BYTE> buffer(1 << 20);
      BYTE header[16];
      long fileId = 0;
      bool started = false;  // the recording's first key frame came
      bool first = true;
      uint32_t last = 0;
      while (run) {
        if (phase == 1 && fileId == 0) {
          const std::string day = (folder / ("cam" + std::to_string(i))).string();
          fileId = recorder.BeginRecordFile(id, day, 0, 3600, 1800, 1);
        }
        if (phase == 2 && fileId > 0) {
          recorder.StopRecordFile(fileId);
          fileId = -1;
        }
        long length = static_cast<long>(buffer.size());
        long headerLength = 16;
        if (streva.ReadVideo(id, id, buffer.data(), &length, header, &headerLength) != 0 || length < 1) {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
          continue;
        }
        FrameHeader h;
        std::memcpy(&h, header, 16);
        if (fileId > 0) {
          started = started || (h.dwFlags & kFrameFlagKey);
          if (started) ++received;
          if (!first && h.dwSequence > last + 1) dropped += h.dwSequence - last - 1;
        }
        first = false;
        last = h.dwSequence;
        recorder.InputVideo(id, buffer.data(), length, header, 16);
      }
      streva.UnregisterReader(id, id);
    });
  }
  benchref::PumpEvents(app, 2000);  // warm-up
  phase = 1;
  const double cpu0 = benchref::CpuSecondsSelf();
  benchref::PumpEvents(app, seconds * 1000);
  const double cpu1 = benchref::CpuSecondsSelf();
  phase = 2;
  benchref::PumpEvents(app, 500);
  run = false;
  for (auto& t : pumps) t.join();
  streva.StopAll();

  Figures f;
  f.cpuPerStream = (cpu1 - cpu0) / seconds / n * 100.0;
  f.received = received;
  f.dropped = dropped;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().extension() != ".avi") continue;
    f.written += IndexedVideoFrames(entry.path());
    ++f.files;
  }
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const int n = argc > 2 ? std::atoi(argv[2]) : 64;
  RtspTestServer server;
  if (!server.Start(std::string(VEMO_TEST_PEERS_DIR) + "/rtsp_server.py", 0, true)) {
    std::fprintf(stderr, "the RTSP test server did not start\n");
    return 1;
  }
  const std::string url = server.Url("/h264");
  const fs::path folder = fs::temp_directory_path() / ("vemo-recording-bench-" + std::to_string(getpid()));
  fs::create_directories(folder / "ours");
  fs::create_directories(folder / "ffmpeg");
  std::printf("%d s, %d streams, %s, %u cores\n", seconds, n, url.c_str(), std::thread::hardware_concurrency());
  const Figures ours = RunOurs(app, url, n, seconds, folder / "ours");
  const double ref = benchref::FfmpegProcessesCpuPerStream(n, seconds, [&](int i) {
    return std::vector<std::string>{"-nostdin", "-v", "error", "-rtsp_transport", "tcp", "-i", url, "-c", "copy",
                                    "-y", (folder / "ffmpeg" / ("out" + std::to_string(i) + ".avi")).string()};
  });
  std::printf("ours:   %.2f%% CPU per stream; frames received %llu, written %llu, dropped %llu, files %d\n",
              ours.cpuPerStream, ours.received, ours.written, ours.dropped, ours.files);
  std::printf("ffmpeg: %.2f%% CPU per stream (-c copy to AVI)\n", ref);
  std::printf("ratio ours/ffmpeg: %.2f; %s\n", ref > 0 ? ours.cpuPerStream / ref : 0.0,
              ours.written == ours.received && ours.dropped == 0 ? "no frame lost" : "FRAMES LOST");
  fs::remove_all(folder);
  return ours.written == ours.received && ours.dropped == 0 ? 0 : 2;
}
