#include "ffmpeg_reference.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace benchref {

double CpuSecondsSelf() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double CpuSecondsOf(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  size_t close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return double(utime + stime) / sysconf(_SC_CLK_TCK);
}

namespace {

// ffmpeg writes its progress ("frame=N" every half second) to `progress`.
pid_t StartFfmpeg(const std::string& url, const std::string& progress) {
  pid_t pid = fork();
  if (pid == 0) {
    execlp("ffmpeg", "ffmpeg", "-nostdin", "-v", "error", "-stats_period", "0.5", "-progress",
           progress.c_str(), "-rtsp_transport", "tcp", "-i", url.c_str(), "-f", "null", "-", nullptr);
    _exit(127);
  }
  return pid;
}

bool Ended(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; }

// The last frame count an ffmpeg process reported.
long long FramesIn(const std::string& progress) {
  std::ifstream file(progress);
  std::string line;
  long long frames = 0;
  while (std::getline(file, line)) {
    if (line.rfind("frame=", 0) == 0) frames = std::atoll(line.c_str() + 6);
  }
  return frames;
}

long long FramesOf(const std::vector<std::string>& progress) {
  long long frames = 0;
  for (const std::string& path : progress) frames += FramesIn(path);
  return frames;
}

}  // namespace

double FfmpegCpuPerStream(const std::string& url, int n, int seconds, double* framesPerStream) {
  char folder[] = "/tmp/ffmpeg-reference-XXXXXX";
  if (!mkdtemp(folder)) return 0;
  std::vector<std::string> progress;
  for (int i = 0; i < n; ++i) progress.push_back(std::string(folder) + "/" + std::to_string(i));
  std::vector<pid_t> pids;
  for (int i = 0; i < n; ++i) pids.push_back(StartFfmpeg(url, progress[i]));
  // Open and warm up. A server still tearing down the clients of the run
  // before may refuse a few (ffmpeg then ends at once): those start again.
  for (int round = 0; round < 5; ++round) {
    std::this_thread::sleep_for(std::chrono::seconds(4));
    int restarted = 0;
    for (size_t i = 0; i < pids.size(); ++i) {
      if (Ended(pids[i])) {
        pids[i] = StartFfmpeg(url, progress[i]);
        ++restarted;
      }
    }
    if (restarted == 0) break;
  }
  double cpu0 = 0;
  for (pid_t pid : pids) cpu0 += CpuSecondsOf(pid);
  const long long frames0 = FramesOf(progress);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const long long frames1 = FramesOf(progress);
  double cpu1 = 0;
  int ended = 0;
  std::vector<pid_t> running;
  for (pid_t pid : pids) {
    cpu1 += CpuSecondsOf(pid);
    if (Ended(pid)) {
      ++ended;
    } else {
      running.push_back(pid);
    }
  }
  if (ended > 0) std::fprintf(stderr, "%d of %d ffmpeg processes ended early: the figure is low\n", ended, n);
  for (pid_t pid : running) kill(pid, SIGTERM);
  // ffmpeg ends its input only between packets: one whose server went silent
  // would wait for ever. Whatever has not ended after 3 s is killed.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (!running.empty()) {
    std::vector<pid_t> still;
    for (pid_t pid : running) {
      if (waitpid(pid, nullptr, WNOHANG) == 0) still.push_back(pid);
    }
    running.swap(still);
    if (running.empty()) break;
    if (std::chrono::steady_clock::now() > deadline) {
      for (pid_t pid : running) kill(pid, SIGKILL);
      for (pid_t pid : running) waitpid(pid, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  for (const std::string& path : progress) std::remove(path.c_str());
  rmdir(folder);
  if (framesPerStream) *framesPerStream = double(frames1 - frames0) / seconds / n;
  return (cpu1 - cpu0) / seconds / n * 100.0;
}

namespace {

pid_t StartFfmpegWith(std::vector<std::string> args) {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("ffmpeg"));
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execvp("ffmpeg", argv.data());
    _exit(127);
  }
  return pid;
}

}  // namespace

double FfmpegProcessesCpuPerStream(int n, int seconds, const std::function<std::vector<std::string>(int)>& arguments) {
  std::vector<pid_t> pids;
  for (int i = 0; i < n; ++i) pids.push_back(StartFfmpegWith(arguments(i)));
  std::this_thread::sleep_for(std::chrono::seconds(4));  // open and warm up
  double cpu0 = 0;
  for (pid_t pid : pids) cpu0 += CpuSecondsOf(pid);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  double cpu1 = 0;
  for (pid_t pid : pids) cpu1 += CpuSecondsOf(pid);
  for (pid_t pid : pids) kill(pid, SIGTERM);
  for (pid_t pid : pids) waitpid(pid, nullptr, 0);
  return (cpu1 - cpu0) / seconds / n * 100.0;
}

double FfmpegProcessesCpuToEnd(int n, const std::function<std::vector<std::string>(int)>& arguments,
                               double* wallSeconds) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<pid_t> pids;
  for (int i = 0; i < n; ++i) pids.push_back(StartFfmpegWith(arguments(i)));
  double cpu = 0;
  for (pid_t pid : pids) {
    rusage usage{};
    int status = 0;
    if (wait4(pid, &status, 0, &usage) != pid) continue;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "an ffmpeg process failed\n");
    cpu += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  if (wallSeconds) *wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return cpu;
}

}  // namespace benchref
