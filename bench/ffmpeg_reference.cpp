#include "ffmpeg_reference.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

double FfmpegProcessesCpuPerStream(int n, int seconds, const std::function<std::vector<std::string>(int)>& arguments) {
  std::vector<pid_t> pids;
  for (int i = 0; i < n; ++i) {
    std::vector<std::string> args = arguments(i);
    pid_t pid = fork();
    if (pid == 0) {
      std::vector<char*> argv;
      argv.push_back(const_cast<char*>("ffmpeg"));
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execvp("ffmpeg", argv.data());
      _exit(127);
    }
    pids.push_back(pid);
  }
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

double FfmpegCpuPerStream(const std::string& url, int n, int seconds) {
  return FfmpegProcessesCpuPerStream(n, seconds, [&](int) {
    return std::vector<std::string>{"-nostdin", "-v", "error", "-rtsp_transport", "tcp", "-i", url, "-f", "null", "-"};
  });
}

}  // namespace benchref
