#include "platform/jthread.h"

JThread::~JThread() {
  // A subclass must have stopped its thread; joining here keeps a forgotten
  // thread from outliving the object's memory.
  if (thread_.joinable()) thread_.join();
}

int JThread::Start() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (running_.load()) return ERR_JTHREAD_ALREADYRUNNING;
  if (thread_.joinable()) {
    lock.unlock();
    thread_.join();
    lock.lock();
  }
  started_ = false;
  returnValue_ = nullptr;
  running_ = true;
  try {
    thread_ = std::thread(&JThread::Run, this);
  } catch (...) {
    running_ = false;
    return ERR_JTHREAD_CANTSTARTTHREAD;
  }
  startedCv_.wait(lock, [this] { return started_ || !running_.load(); });
  return 0;
}

void JThread::Run() {
  void* result = Thread();
  std::lock_guard<std::mutex> lock(mutex_);
  returnValue_ = result;
  started_ = true;  // a Thread() that never called ThreadStarted() still releases Start()
  running_ = false;
  startedCv_.notify_all();
}

void JThread::ThreadStarted() {
  std::lock_guard<std::mutex> lock(mutex_);
  started_ = true;
  startedCv_.notify_all();
}

int JThread::Kill() {
  if (!thread_.joinable()) return ERR_JTHREAD_NOTRUNNING;
  if (thread_.get_id() == std::this_thread::get_id()) return ERR_JTHREAD_NOTRUNNING;
  bool wasRunning = running_.load();
  thread_.join();
  return wasRunning ? 0 : ERR_JTHREAD_NOTRUNNING;
}

void* JThread::GetReturnValue() {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_.load() ? nullptr : returnValue_;
}
