#include "live/patrol_timer.h"

CPeriodicTimer::~CPeriodicTimer() { Kill(); }

void CPeriodicTimer::Start(std::chrono::milliseconds period, std::function<void()> tick) {
  Kill();
  tick_ = std::move(tick);
  stop_ = false;
  thread_ = std::thread([this, period] { Run(period); });
}

void CPeriodicTimer::Kill() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void CPeriodicTimer::Run(std::chrono::milliseconds period) {
  // Periods are counted from the start, so a slow call does not shift the beat.
  auto next = std::chrono::steady_clock::now() + period;
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    if (wake_.wait_until(lock, next, [this] { return stop_; })) break;
    lock.unlock();
    tick_();
    lock.lock();
    next += period;
    const auto now = std::chrono::steady_clock::now();
    if (next < now) next = now + period;  // after a long stall, no burst of catch-up calls
  }
}
