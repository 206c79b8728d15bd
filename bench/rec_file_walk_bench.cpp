// Opening a record file that has no index yet (a recording under way, or a
// recorder that died): the reader walks its chunks. A 30-minute two-stream
// file (25 video frames of 2 Mbit/s and 50 G.711 chunks a second) is opened
// by its index and, cut before its index, by the walk; beside
// `ffprobe -count_packets`, which reads every packet of the same cut file.
//   rec_file_walk_bench [folder] [minutes]
// The folder defaults to /tmp; the file is removed at the end. Runs with the
// file in the page cache (it has just been written), median of 5.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "records/recfile/rec_file_fixture.h"
#include "records/recfile/rec_file_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

double MedianSeconds(int runs, const auto& fn) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    fn();
    times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "/tmp";
  const int minutes = argc > 2 ? std::atoi(argv[2]) : 30;
  const int frames = minutes * 60 * 25;
  RecFileFixture f(2);
  for (int i = 0; i < frames; ++i) {
    const bool key = i % 50 == 0;
    f.AddVideo(H264Frame(key, key ? 40000 : 9000, static_cast<uint8_t>(i)), key);
    f.AddAudio(Bytes(160, 0x55));
    f.AddAudio(Bytes(160, 0x55));
  }
  const std::string indexed = folder + "/vemo-walk-bench-indexed.avi";
  const std::string cut = folder + "/vemo-walk-bench-cut.avi";
  f.Write(indexed);
  f.writeIndex = false;
  f.Write(cut);
  f.chunks.clear();

  DWORD seconds[2] = {0, 0};
  const double byIndex = MedianSeconds(5, [&] {
    CRecFileReader reader;
    if (reader.Open(indexed.c_str())) seconds[0] = reader.GetKeyFrameCount();
  });
  const double byWalk = MedianSeconds(5, [&] {
    CRecFileReader reader;
    if (reader.Open(cut.c_str())) seconds[1] = reader.GetKeyFrameCount();
  });
  const std::string probe = "ffprobe -v quiet -count_packets -show_entries stream=nb_read_packets -of csv=p=0 " +
                            cut + " >/dev/null 2>&1";
  const double reference = MedianSeconds(5, [&] {
    if (std::system(probe.c_str()) != 0) std::fprintf(stderr, "ffprobe failed\n");
  });
  std::printf("record file of %d minutes, %d video frames, %d audio chunks (%u and %u seconds found)\n", minutes,
              frames, 2 * frames, seconds[0], seconds[1]);
  std::printf("  open by the index                  %8.4f s\n", byIndex);
  std::printf("  open by walking the chunks         %8.4f s\n", byWalk);
  std::printf("  ffprobe -count_packets (reference) %8.4f s\n", reference);
  std::printf("  ratio walk / reference             %8.3f\n", byWalk / reference);
  std::remove(indexed.c_str());
  std::remove(cut.c_str());
  return seconds[0] == seconds[1] && seconds[0] > 0 ? 0 : 1;
}
