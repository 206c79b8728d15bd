#include "pelk/pelk_ui_gate.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <algorithm>
#include <atomic>

#include "platform/thread_handoff.h"

namespace pelk {

std::shared_ptr<UiGate> UiGate::Instance() {
  static const std::shared_ptr<UiGate> gate = std::make_shared<UiGate>();
  return gate;
}

uint64_t UiGate::NewOwner() {
  static std::atomic<uint64_t> next{1};
  return next++;
}

bool UiGate::OnUiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

void UiGate::RunJob(const std::shared_ptr<Job>& job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (job->state != Job::kQueued) return;
    job->state = Job::kRunning;
  }
  const LRESULT result = job->run();
  std::lock_guard<std::mutex> lock(mutex_);
  job->result = result;
  job->state = Job::kDone;
  doneCv_.notify_all();
}

bool UiGate::Run(uint64_t owner, std::function<LRESULT()> run, int timeoutMs, LRESULT* result) {
  auto job = std::make_shared<Job>();
  job->owner = owner;
  job->run = std::move(run);
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || OnUiThread()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (shut_.count(owner)) return false;
    }
    RunJob(job);
  } else {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (shut_.count(owner)) return false;
      queue_.push_back(job);
    }
    std::weak_ptr<UiGate> weak = weak_from_this();
    QueueCall(
        app,
        [weak] {
          if (auto gate = weak.lock()) gate->Drain();
        });
    Notify();
  }
  std::unique_lock<std::mutex> lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  doneCv_.wait_until(lock, deadline, [&] { return job->state == Job::kDone || job->state == Job::kCancelled; });
  if (job->state == Job::kQueued) job->state = Job::kCancelled;
  // A job that the UI thread has begun is waited for: it uses what the caller owns.
  doneCv_.wait(lock, [&] { return job->state != Job::kRunning; });
  queue_.erase(std::remove(queue_.begin(), queue_.end(), job), queue_.end());
  if (job->state != Job::kDone) return false;
  if (result) *result = job->result;
  return true;
}

void UiGate::Drain() {
  while (true) {
    std::shared_ptr<Job> job;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty()) return;
      job = queue_.front();
      queue_.pop_front();
    }
    RunJob(job);
  }
}

bool UiGate::UiWait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, int timeoutMs,
                    const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  if (!OnUiThread()) {
    wake.wait_until(lock, deadline, done);
    return done();
  }
  {
    std::lock_guard<std::mutex> guard(waitersMutex_);
    waiters_.push_back(&wake);
  }
  while (!done() && std::chrono::steady_clock::now() < deadline) {
    lock.unlock();
    Drain();
    lock.lock();
    if (done()) break;
    wake.wait_for(lock, std::chrono::milliseconds(20), done);
  }
  {
    std::lock_guard<std::mutex> guard(waitersMutex_);
    waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), &wake), waiters_.end());
  }
  return done();
}

void UiGate::Notify() {
  std::lock_guard<std::mutex> guard(waitersMutex_);
  for (std::condition_variable* waiter : waiters_) waiter->notify_all();
}

void UiGate::Shut(uint64_t owner) {
  std::lock_guard<std::mutex> lock(mutex_);
  shut_.insert(owner);
  for (auto& job : queue_) {
    if (job->owner == owner && job->state == Job::kQueued) job->state = Job::kCancelled;
  }
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [&](const auto& job) { return job->owner == owner; }),
               queue_.end());
  doneCv_.notify_all();
}

}  // namespace pelk
