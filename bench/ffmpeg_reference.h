// What the stream benchmarks measure beside their own code: CPU time of this
// process and of child processes, and N ffmpeg processes decoding a stream.
#pragma once

#include <string>
#include <sys/types.h>

namespace benchref {

double CpuSecondsSelf();
double CpuSecondsOf(pid_t pid);

// Runs `ffmpeg -i url -f null -` n times at once; CPU per stream in percent of one core.
double FfmpegCpuPerStream(const std::string& url, int n, int seconds);

}  // namespace benchref
