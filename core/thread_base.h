// CThread: the program's minimal worker thread. A derived class overrides Run;
// Start runs it on a new thread, Stop waits for it to end.
//
// Stop never asks the thread to end: each derived class ends its Run by a flag
// of its own, which the owner sets before Stop. Start, Stop and the destructor
// belong to the owning thread; a Stop racing another Stop waits at most once.
#pragma once

#include <memory>
#include <mutex>

#include "platform/win_types.h"

constexpr DWORD STILL_ACTIVE = 259;

class CThread {
 public:
  CThread() = default;
  // The owner calls Stop first, and a derived class calls Stop in its own
  // destructor (the owner's flag set), so that Run never outlives the members it
  // uses. A thread whose Run has returned is reaped here; one still in Run ends
  // the process with a message (the fault of the derived class).
  virtual ~CThread();
  CThread(const CThread&) = delete;
  CThread& operator=(const CThread&) = delete;

  // Starts Run on a new thread when none exists; TRUE when a thread exists
  // afterwards (also when one existed already: no second thread is made).
  virtual BOOL Start();
  // A thread is never suspended from outside here: both give (DWORD)-1.
  virtual DWORD Suspend();
  virtual DWORD Resume();
  // Windows priority values (-15 idle .. 15 time-critical, 0 normal) mapped to
  // the thread's nice value; FALSE without a thread or when the system refuses
  // (raising the priority needs the right to).
  virtual BOOL SetPriority(int priority);
  // STILL_ACTIVE while Run runs, then Run's result; FALSE without a thread.
  virtual BOOL GetExitCode(DWORD* exitCode);
  // Waits for the thread without a time-out and forgets it; returns at once when
  // there is none. Called from the thread itself it does not wait (that would
  // never end): the thread is let go and reaps itself.
  virtual void Stop();
  // The thread's body; its result becomes the exit code.
  virtual DWORD Run();

  struct ThreadState;

 protected:
  std::shared_ptr<ThreadState> m_hThread;  // null when no thread exists

 private:
  std::mutex m_handleLock;  // guards the exchange of m_hThread
};
