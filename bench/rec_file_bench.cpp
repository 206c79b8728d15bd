// Record files: reading and searching, each beside a reference run in the same
// program run.
//   rec_file_bench read   [folder] [megabytes]  every frame of a two-stream record file
//                                                (1024 MB) beside `ffmpeg -i f -c copy -f null -`
//   rec_file_bench search [folder]              the local search by file over one year of 64
//                                                cameras (a file every 30 minutes) beside `find`,
//                                                then the day map of one device and day
//   rec_file_bench daymap [folder]              the day map alone
// The folder defaults to /tmp; the record tree of `search` is kept there
// (vemo-rec-tree) for later runs, the record file of `read` is removed.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "records/recfile/rec_file_fixture.h"
#include "records/recfile/rec_file_reader.h"
#include "records/search/rec_day_map.h"
#include "records/search/rec_file_search.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// CPU seconds (user and system) of this process or of its waited-for children.
double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wall and CPU seconds of one run.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

template <class Fn>
Timing TimeOurs(Fn fn) {
  const double cpu = CpuSeconds(RUSAGE_SELF);
  const auto start = Clock::now();
  fn();
  return {Seconds(start), CpuSeconds(RUSAGE_SELF) - cpu};
}

Timing TimeChild(const std::string& command) {
  const double cpu = CpuSeconds(RUSAGE_CHILDREN);
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return {Seconds(start), CpuSeconds(RUSAGE_CHILDREN) - cpu};
}

Timing Median(const std::vector<Timing>& runs) {
  std::vector<double> wall, cpu;
  for (const Timing& t : runs) {
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void PrintPair(const char* ours, Timing a, const char* reference, Timing b) {
  std::printf("  %-34s wall %7.3f s  cpu %7.3f s\n", ours, a.wall, a.cpu);
  std::printf("  %-34s wall %7.3f s  cpu %7.3f s\n", reference, b.wall, b.cpu);
  std::printf("  %-34s wall %7.2f    cpu %7.2f\n", "ratio ours / reference", a.wall / b.wall, a.cpu / b.cpu);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void PutU32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

void AppendU32(std::string& s, uint32_t v) {
  s.append(4, '\0');
  PutU32(s, s.size() - 4, v);
}

// The header of a record file up to and with the "movi" code.
std::string RecordHeader(int streams, uint32_t width, uint32_t height) {
  RecFileFixture f(streams);
  f.width = width;
  f.height = height;
  f.writeIndex = false;
  return f.Build();
}

struct IndexEntry {
  char code[4];
  uint32_t flags, offset, length;
};

// Appends "idx1" and the entries, then sets the movi, RIFF and frame counts.
void FinishRecord(int fd, std::string& header, const std::vector<IndexEntry>& index, uint32_t dataEnd,
                  uint32_t videoFrames) {
  std::string tail("idx1");
  AppendU32(tail, static_cast<uint32_t>(index.size() * 16));
  for (const IndexEntry& e : index) {
    tail.append(e.code, 4);
    AppendU32(tail, e.flags);
    AppendU32(tail, e.offset);
    AppendU32(tail, e.length);
  }
  if (pwrite(fd, tail.data(), tail.size(), dataEnd) != static_cast<ssize_t>(tail.size())) std::perror("pwrite");
  const uint32_t movi = static_cast<uint32_t>(header.size() - 4);
  PutU32(header, movi - 4, dataEnd - movi);
  PutU32(header, 4, static_cast<uint32_t>(dataEnd + tail.size() - 8));
  PutU32(header, 48, videoFrames);
  PutU32(header, 140, videoFrames);
  if (pwrite(fd, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size())) std::perror("pwrite");
}

// Access units of a real H.264 stream (2 Mbit/s, 1280x720, 25 frames per
// second, a key frame every 2 s), each starting with its first NAL unit.
std::vector<std::vector<uint8_t>> EncodedFrames(const std::string& folder) {
  const std::string raw = folder + "/vemo-bench-source.h264";
  const std::string command =
      "ffmpeg -v error -y -f lavfi -i testsrc2=size=1280x720:rate=25 -t 20 -c:v libx264 -preset veryfast "
      "-b:v 2M -g 50 -x264-params aud=1:repeat-headers=1 -f h264 " + raw;
  std::vector<std::vector<uint8_t>> frames;
  if (std::system(command.c_str()) != 0) return frames;
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(raw.c_str(), "rb")) {
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  std::remove(raw.c_str());
  const uint8_t aud[] = {0, 0, 0, 1, 9};
  std::vector<size_t> cuts;
  for (auto it = bytes.begin(); (it = std::search(it, bytes.end(), aud, aud + 5)) != bytes.end(); ++it) {
    cuts.push_back(static_cast<size_t>(it - bytes.begin()));
  }
  cuts.push_back(bytes.size());
  for (size_t i = 0; i + 1 < cuts.size(); ++i) {
    const size_t from = cuts[i] + 6;  // without the delimiter
    if (from < cuts[i + 1]) frames.emplace_back(bytes.begin() + from, bytes.begin() + cuts[i + 1]);
  }
  return frames;
}

int BenchRead(const std::string& folder, uint64_t megabytes) {
  const std::vector<std::vector<uint8_t>> frames = EncodedFrames(folder);
  if (frames.empty()) {
    std::fprintf(stderr, "no H.264 source (ffmpeg with libx264 needed)\n");
    return 1;
  }
  const std::string path = folder + "/vemo-bench-record.avi";
  std::string header = RecordHeader(2, 1280, 720);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return 1;
  const uint32_t movi = static_cast<uint32_t>(header.size() - 4);
  uint32_t pos = movi + 4;
  std::vector<IndexEntry> index;
  const std::string audio(320, static_cast<char>(0xD5));  // 40 ms of G.711
  uint32_t videoFrames = 0;
  std::string pending;
  auto put = [&](const char* code, const void* data, size_t length, uint32_t flags) {
    IndexEntry e{};
    std::memcpy(e.code, code, 4);
    e.flags = flags;
    e.offset = pos - movi;
    e.length = static_cast<uint32_t>(length);
    index.push_back(e);
    pending.append(code, 4);
    AppendU32(pending, static_cast<uint32_t>(length));
    pending.append(static_cast<const char*>(data), length);
    pos += static_cast<uint32_t>(8 + length);
    if (pending.size() > (8u << 20)) {
      if (pwrite(fd, pending.data(), pending.size(), pos - pending.size()) < 0) std::perror("pwrite");
      pending.clear();
    }
  };
  for (size_t i = 0; static_cast<uint64_t>(pos) < megabytes << 20; ++i) {
    const std::vector<uint8_t>& f = frames[i % frames.size()];
    const bool key = f.size() > 4 && (f[4] & 0x1F) == 7;
    put("00dc", f.data(), f.size(), key ? 0x10 : 0);
    put("01wb", audio.data(), audio.size(), 0x10);
    ++videoFrames;
  }
  if (!pending.empty() && pwrite(fd, pending.data(), pending.size(), pos - pending.size()) < 0) std::perror("pwrite");
  FinishRecord(fd, header, index, pos, videoFrames);
  ::close(fd);
  const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);

  // Warm the page cache with one pass of each, then alternate.
  std::vector<BYTE> buffer(kRecMaxFrameSize);
  uint64_t framesRead = 0;
  auto ours = [&] {
    CRecFileReader reader;
    if (reader.Open(path.c_str()) != 1) return;
    int video = 0;
    int key = 0;
    uint64_t n = 0;
    while (reader.ReadFrame(buffer.data(), kRecMaxFrameSize, &video, &key) > 0) ++n;
    reader.Reset();
    framesRead = n;
  };
  const std::string reference = "ffmpeg -v quiet -i " + path + " -c copy -f null - </dev/null";
  TimeOurs(ours);
  TimeChild(reference);
  std::vector<Timing> oursTimes;
  std::vector<Timing> refTimes;
  for (int round = 0; round < 5; ++round) {
    oursTimes.push_back(TimeOurs(ours));
    refTimes.push_back(TimeChild(reference));
  }
  std::remove(path.c_str());
  std::printf("read: %.0f MB, %llu chunks (%u video); medians of 5 runs\n", fileMb,
              static_cast<unsigned long long>(framesRead), videoFrames);
  PrintPair("CRecFileReader, every chunk", Median(oursTimes), "ffmpeg -i f -c copy -f null -", Median(refTimes));
  return framesRead == index.size() ? 0 : 1;
}

// One year of 64 cameras, a file every 30 minutes: empty files, as the search
// reads names and sizes only.
bool MakeTree(const std::string& root) {
  const std::string done = root + "/complete";
  if (std::filesystem::exists(done)) return true;
  std::printf("making the record tree in %s ...\n", root.c_str());
  std::fflush(stdout);
  const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int cam = 0; cam < 64; ++cam) {
    char device[16];
    std::snprintf(device, sizeof device, "cam%02d", cam);
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= monthDays[month - 1]; ++day) {
        const std::string folder = root + "/s1/Record/" + device + "/Local/Schedule/2025/" + std::to_string(month) +
                                   "/" + std::to_string(day) + "/";
        std::filesystem::create_directories(folder);
        for (int half = 0; half < 48; ++half) {
          char name[32];
          std::snprintf(name, sizeof name, "%02d%02d00-vv1.avi", half / 2, half % 2 * 30);
          const int fd = ::open((folder + name).c_str(), O_WRONLY | O_CREAT, 0644);
          if (fd < 0) return false;
          ::close(fd);
        }
      }
    }
  }
  FILE* f = std::fopen(done.c_str(), "w");
  if (f) std::fclose(f);
  return true;
}

// 48 record files of 30 minutes each (25 frames per second and G.711 audio,
// about 2 Mbit/s) in one day folder; the chunk data is left as a hole, the
// header, the first frame and the index are written.
void MakeDay(const std::string& folder) {
  std::filesystem::create_directories(folder);
  std::vector<uint8_t> first = H264Frame(true, 60000, 0x11);
  for (int half = 0; half < 48; ++half) {
    char name[32];
    std::snprintf(name, sizeof name, "%02d%02d00-av1.avi", half / 2, half % 2 * 30);
    const std::string path = folder + name;
    if (std::filesystem::exists(path)) continue;
    std::string header = RecordHeader(2, 1280, 720);
    const uint32_t movi = static_cast<uint32_t>(header.size() - 4);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string chunk("00dc");
    AppendU32(chunk, static_cast<uint32_t>(first.size()));
    chunk.append(first.begin(), first.end());
    if (pwrite(fd, chunk.data(), chunk.size(), movi + 4) < 0) std::perror("pwrite");
    std::vector<IndexEntry> index;
    uint32_t pos = movi + 4;
    for (int frame = 0; frame < 25 * 1800; ++frame) {
      const uint32_t length = frame % 50 == 0 ? 60000 : 8000;
      index.push_back(IndexEntry{{'0', '0', 'd', 'c'}, frame % 50 == 0 ? 0x10u : 0u, pos - movi, length});
      pos += 8 + length;
      index.push_back(IndexEntry{{'0', '1', 'w', 'b'}, 0x10u, pos - movi, 320});
      pos += 8 + 320;
    }
    FinishRecord(fd, header, index, pos, 25 * 1800);
    ::close(fd);
  }
}

int BenchDayMap(const std::string& root, std::list<RecSchemeInfo*>& schemes);

int BenchSearch(const std::string& folder) {
  const std::string root = folder + "/vemo-rec-tree";
  if (!MakeTree(root)) return 1;
  MakeDay(root + "/s2/Record/cam00/Local/Schedule/2025/6/15/");

  auto* scheme = new RecSchemeInfo;
  CopyFixedText(scheme->StoragePath1, (root + "/s1").c_str());
  std::list<RecSchemeInfo*> schemes{scheme};
  std::vector<DevInfo> devices(64);
  for (int cam = 0; cam < 64; ++cam) {
    devices[cam].DevType = 1;
    std::snprintf(devices[cam].DevName, sizeof devices[cam].DevName, "cam%02d", cam);
    std::snprintf(devices[cam].IPAddr, sizeof devices[cam].IPAddr, "10.0.0.%d", cam + 1);
    scheme->lstDev.push_back(devices[cam]);
  }
  RecFileQuery query;
  query.start = {2025, 1, 1, 0, 0, 0};
  query.end = {2025, 12, 31, 23, 59, 59};
  size_t found = 0;
  auto ours = [&] {
    CRecFileSearch search(schemes);
    size_t total = 0;
    std::vector<RecFileItem> items;
    for (const DevInfo& dev : devices) {
      search.SearchLocalRecFile(dev, query, items);
      total += items.size();
    }
    found = total;
  };
  const std::string findPlain = "find " + root + "/s1 > /dev/null";
  const std::string findSizes = "find " + root + "/s1 -name '*.avi' -printf '%p?%s|\\n' > /dev/null";
  TimeOurs(ours);
  TimeChild(findPlain);
  std::vector<Timing> oursTimes, plainTimes, sizeTimes;
  for (int round = 0; round < 3; ++round) {
    oursTimes.push_back(TimeOurs(ours));
    plainTimes.push_back(TimeChild(findPlain));
    sizeTimes.push_back(TimeChild(findSizes));
  }
  std::printf("search: 64 cameras x one year, %zu files found; medians of 3 runs\n", found);
  PrintPair("SearchLocalRecFile x 64", Median(oursTimes), "find <tree>", Median(plainTimes));
  PrintPair("SearchLocalRecFile x 64", Median(oursTimes), "find <tree> -name -printf path,size",
            Median(sizeTimes));

  const int mapResult = BenchDayMap(root, schemes);
  delete scheme;
  return found == 64u * 365 * 48 ? mapResult : 1;
}

// The day map of one device and day: 48 empty files of the generated tree,
// then 48 record files of 30 minutes.
int BenchDayMap(const std::string& root, std::list<RecSchemeInfo*>& schemes) {
  RecSchemeInfo* scheme = schemes.front();
  for (const char* storage : {"/s1", "/s2"}) {
    CopyFixedText(scheme->StoragePath1, (root + storage).c_str());
    std::vector<double> mapTimes;
    int minutes = 0;
    for (int round = 0; round < 21; ++round) {
      RecDayInfo day;
      CopyFixedText(day.szDevIp, "10.0.0.1");
      day.wYear = 2025;
      day.wMonth = 6;
      day.byDay = 15;
      ResetDayMap(day.szDayMap);
      const auto start = Clock::now();
      CRecDayMapBuilder(schemes).SearchLocalRecByDate(&day, 0);
      mapTimes.push_back(Seconds(start));
      minutes = static_cast<int>(std::count(day.szDayMap, day.szDayMap + kDayMinutes, kDayMapSchedule));
    }
    std::printf("day map of one device and day, %s: %.2f ms (median of 21; %d minutes recorded)\n",
                storage[2] == '1' ? "48 empty files of the tree" : "48 record files of 30 minutes",
                Median(mapTimes) * 1000, minutes);
  }
  return 0;
}

// The tree of BenchSearch with the day of record files, for the day map alone.
int BenchDayMapOnly(const std::string& folder) {
  const std::string root = folder + "/vemo-rec-tree";
  if (!MakeTree(root)) return 1;
  MakeDay(root + "/s2/Record/cam00/Local/Schedule/2025/6/15/");
  RecSchemeInfo scheme;
  for (int cam = 0; cam < 64; ++cam) {
    DevInfo dev;
    dev.DevType = 1;
    std::snprintf(dev.DevName, sizeof dev.DevName, "cam%02d", cam);
    std::snprintf(dev.IPAddr, sizeof dev.IPAddr, "10.0.0.%d", cam + 1);
    scheme.lstDev.push_back(dev);
  }
  std::list<RecSchemeInfo*> schemes{&scheme};
  return BenchDayMap(root, schemes);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  if (what == "read") return BenchRead(folder, argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1024);
  if (what == "search") return BenchSearch(folder);
  if (what == "daymap") return BenchDayMapOnly(folder);
  std::fprintf(stderr, "usage: rec_file_bench read|search|daymap [folder] [megabytes]\n");
  return 2;
}
