// JThread: a thread object whose Thread() a subclass overrides.
//
// Start() runs Thread() on a new thread and returns once the thread has called
// ThreadStarted(). A thread is never ended by force: Kill() waits for Thread()
// to return, so a subclass gives its Thread() a stop flag that its owner sets first.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#define ERR_JTHREAD_CANTINITMUTEX -1
#define ERR_JTHREAD_CANTSTARTTHREAD -2
#define ERR_JTHREAD_THREADFUNCNOTSET -3
#define ERR_JTHREAD_NOTRUNNING -4
#define ERR_JTHREAD_ALREADYRUNNING -5

class JThread {
 public:
  JThread() = default;
  virtual ~JThread();
  JThread(const JThread&) = delete;
  JThread& operator=(const JThread&) = delete;

  int Start();
  int Kill();  // waits for Thread() to return; see above
  virtual void* Thread() = 0;
  bool IsRunning() const { return running_.load(); }
  void* GetReturnValue();

 protected:
  // Called by Thread() once it is set up; Start() returns after this.
  void ThreadStarted();

 private:
  void Run();
  void JoinIfDone();

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable startedCv_;
  bool started_ = false;
  std::atomic<bool> running_{false};
  void* returnValue_ = nullptr;
};
