// CRecWorker: the thread of the recording and of the record housekeeping. It
// runs Cycle(), sleeps for its period, and so on until it is stopped.
//
// Stopping is cooperative: StopThread sets the stop flag and wakes the sleep at
// once; a cycle looks at StopRequested() between its steps and returns early.
// StopThread waits up to 5 s (checking every 100 ms); a thread still busy then
// is logged and waited for, never ended by force, so it can never leave a lock
// (g_csAppData) held.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/jthread.h"

class CRecWorker : public JThread {
 public:
  // periodMs: the sleep between cycles. The texts are logged when the thread
  // starts, when it ends, and when it is still busy 5 s after a stop request.
  CRecWorker(int periodMs, std::string startLog, std::string exitLog, std::string busyLog);
  ~CRecWorker() override;  // a subclass calls StopThread in its own destructor

  // 0 when started; -1 when it already runs or cannot start.
  int StartThread();
  // Stops the thread and waits for it (see above). Nothing happens when none runs.
  void StopThread();
  bool StopRequested() const { return m_bStop.load(); }

 protected:
  // One cycle of the thread's work.
  virtual void Cycle() = 0;

 private:
  void* Thread() override;

  const int m_nPeriodMs;
  const std::string m_strStartLog;
  const std::string m_strExitLog;
  const std::string m_strBusyLog;
  std::atomic<bool> m_bStop{false};
  std::mutex m_sleepLock;
  std::condition_variable m_wake;
};
