// CRecThreadOwner: owns one worker thread that runs until its stop flag is set.
//
// StartThread starts the thread unless it runs; StopThread sets the stop flag,
// waits up to 5 s in 100 ms steps for the thread to end and then joins it (a
// thread is never ended by force: a thread still busy after 5 s is waited for).
// The worker here only idles, checking the stop flag; the recording and the
// record-file housekeeping put their work into WorkStep.
#pragma once

#include <atomic>
#include <memory>

#include "platform/win_types.h"

class CRecThreadOwner {
 public:
  explicit CRecThreadOwner(HWND mainWnd);
  virtual ~CRecThreadOwner();
  CRecThreadOwner(const CRecThreadOwner&) = delete;
  CRecThreadOwner& operator=(const CRecThreadOwner&) = delete;

  // 0 when the thread was started, -1 when it already runs (or cannot start).
  int StartThread();
  // Sets the stop flag and waits for the thread; 0 also when none ran.
  int StopThread();
  bool IsRunning() const;

 protected:
  // One round of the thread's work; the thread then sleeps 100 ms. Runs on the
  // worker thread until the stop flag is set. A class that overrides it calls
  // StopThread in its own destructor.
  virtual void WorkStep() {}
  bool StopRequested() const { return m_bStop.load(); }

  HWND m_hMainWnd;

 private:
  class Worker;
  std::unique_ptr<Worker> m_pThread;
  std::atomic<bool> m_bStop{false};
};
