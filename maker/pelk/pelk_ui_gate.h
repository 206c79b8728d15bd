// UiGate: runs a job on the UI thread for a library thread and waits for its
// result, with a time-out.
//
// The job is queued and the UI thread is woken through Qt's event queue. A UI
// thread that is itself waiting inside the library (UiWait) runs queued jobs
// while it waits, so a job never waits for a UI thread that waits for the
// library. Without a Qt application the job runs on the calling thread.
//
// There is one gate per process (every engine of the process shares the UI
// thread); each job names its engine, so that an engine that ends refuses its
// own jobs only.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

#include "platform/win_types.h"

namespace pelk {

class UiGate : public std::enable_shared_from_this<UiGate> {
 public:
  static std::shared_ptr<UiGate> Instance();
  // A number for an engine that uses the gate.
  static uint64_t NewOwner();

  // Runs `job` on the UI thread. False (result untouched) when it did not run
  // within `timeoutMs` or its owner was shut; a job that has started is waited for.
  bool Run(uint64_t owner, std::function<LRESULT()> job, int timeoutMs, LRESULT* result);

  // On the UI thread: waits until `done` is true or `timeoutMs` passed,
  // running queued jobs meanwhile; on another thread it only waits. `wake` is
  // the condition variable whose notify ends a wait early (with `mutex`).
  // Returns `done()` at the end.
  bool UiWait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, int timeoutMs,
              const std::function<bool()>& done);

  // Runs the queued jobs; on the UI thread only.
  void Drain();

  // Refuses the owner's queued jobs and every later one (their waiters get false).
  void Shut(uint64_t owner);
  // Wakes UI threads that wait in UiWait so that they look at the queue.
  void Notify();

  static bool OnUiThread();

 private:
  struct Job {
    uint64_t owner = 0;
    std::function<LRESULT()> run;
    enum State { kQueued, kRunning, kDone, kCancelled } state = kQueued;
    LRESULT result = 0;
  };

  void RunJob(const std::shared_ptr<Job>& job);

  std::mutex mutex_;
  std::condition_variable doneCv_;
  std::deque<std::shared_ptr<Job>> queue_;
  std::set<uint64_t> shut_;
  // UiWait callers register their wake-up here so a new job can reach them.
  std::mutex waitersMutex_;
  std::deque<std::condition_variable*> waiters_;
};

}  // namespace pelk
