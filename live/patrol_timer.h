// A periodic timer on a thread of its own, in place of a multimedia timer: it
// calls its function every period until it is killed. Kill waits for a call
// that runs, so after it returns the function is never called again.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CPeriodicTimer {
 public:
  CPeriodicTimer() = default;
  ~CPeriodicTimer();  // kills the timer
  CPeriodicTimer(const CPeriodicTimer&) = delete;
  CPeriodicTimer& operator=(const CPeriodicTimer&) = delete;

  // Starts calling `tick` every `period` (a running timer is killed first).
  void Start(std::chrono::milliseconds period, std::function<void()> tick);
  void Kill();
  bool IsRunning() const { return thread_.joinable(); }

 private:
  void Run(std::chrono::milliseconds period);

  std::function<void()> tick_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
};
