#include "shell/main_timers.h"

#include <mutex>

namespace maintimers {
namespace {

int g_divisor = 1;
bool g_recording = false;
std::vector<UINT_PTR> g_fired;
std::mutex g_firedLock;

}  // namespace

void SetDivisor(int divisor) { g_divisor = divisor < 1 ? 1 : divisor; }

UINT Scaled(UINT ms) {
  const UINT scaled = ms / static_cast<UINT>(g_divisor);
  return scaled == 0 ? 1 : scaled;
}

void StartRecording() {
  std::lock_guard<std::mutex> lock(g_firedLock);
  g_fired.clear();
  g_recording = true;
}

void StopRecording() {
  std::lock_guard<std::mutex> lock(g_firedLock);
  g_recording = false;
}

void Fired(UINT_PTR id) {
  std::lock_guard<std::mutex> lock(g_firedLock);
  if (g_recording) g_fired.push_back(id);
}

std::vector<UINT_PTR> FiredTimers() {
  std::lock_guard<std::mutex> lock(g_firedLock);
  return g_fired;
}

}  // namespace maintimers
