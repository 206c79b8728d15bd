#include "harlen/link/xml/harlen_trace.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace {

std::mutex g_traceMutex;
HarlenTraceSink g_traceSink = nullptr;
void* g_traceUser = nullptr;

}  // namespace

void SetHarlenTraceSink(HarlenTraceSink sink, void* user) {
  std::lock_guard<std::mutex> lock(g_traceMutex);
  g_traceSink = sink;
  g_traceUser = user;
}

void HarlenTrace(const char* format, ...) {
  char stackBuffer[512];
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(stackBuffer, sizeof stackBuffer, format, args);
  va_end(args);
  std::string line;
  if (needed >= static_cast<int>(sizeof stackBuffer)) {
    line.resize(static_cast<size_t>(needed) + 1);
    std::vsnprintf(line.data(), line.size(), format, copy);
    line.resize(static_cast<size_t>(needed));
  } else if (needed > 0) {
    line.assign(stackBuffer, static_cast<size_t>(needed));
  }
  va_end(copy);
  while (!line.empty() && line.back() == '\n') line.pop_back();
  std::lock_guard<std::mutex> lock(g_traceMutex);
  if (g_traceSink != nullptr) {
    g_traceSink(line, g_traceUser);
  } else {
    std::fprintf(stdout, "%s\n", line.c_str());
  }
}

std::string TraceTimeText(uint32_t seconds) {
  if (seconds == 0) return {};
  const time_t t = static_cast<time_t>(seconds);
  tm local{};
  localtime_r(&t, &local);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}
