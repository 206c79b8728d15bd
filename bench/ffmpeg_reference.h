// What the stream benchmarks measure beside their own code: CPU time of this
// process and of child processes, and N ffmpeg processes decoding a stream.
#pragma once

#include <functional>
#include <string>
#include <vector>
#include <sys/types.h>

namespace benchref {

double CpuSecondsSelf();
double CpuSecondsOf(pid_t pid);

// Runs `ffmpeg -i url -f null -` n times at once; CPU per stream in percent of
// one core. *framesPerStream (if given): the frames each decoded per second; on a
// busy machine the server may send fewer than the stream's rate.
double FfmpegCpuPerStream(const std::string& url, int n, int seconds, double* framesPerStream = nullptr);

// Runs n ffmpeg processes at once, process i with arguments(i) (without the
// program name); their CPU per stream over `seconds` after a 4 s warm-up, in
// percent of one core.
double FfmpegProcessesCpuPerStream(int n, int seconds, const std::function<std::vector<std::string>(int)>& arguments);

// Runs n ffmpeg processes at once, process i with arguments(i), each to its end:
// the CPU seconds they used in all; *wallSeconds (if given) until the last ended.
double FfmpegProcessesCpuToEnd(int n, const std::function<std::vector<std::string>(int)>& arguments,
                               double* wallSeconds = nullptr);

}  // namespace benchref
