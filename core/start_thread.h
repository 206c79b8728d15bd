// CStartThread: makes sure the companion watchdog runs, then tells its owner.
#pragma once

#include <string>

#include "core/thread_base.h"

#define WM_STARTTHREAD_DONE (WM_USER + 6003)

// The watchdog's program file in the program folder (also the process name).
constexpr const char* kWatchProgramName = "Watch";

// The program folder's watchdog file. It is what the start-up thread looks
// for and what the exit ends: a process of that file, not any process that
// happens to be called "Watch" (another installation's, or another user's).
std::string WatchProgramPath();

class CStartThread : public CThread {
 public:
  explicit CStartThread(HWND owner) : m_hOwner(owner) {}
  ~CStartThread() override { Stop(); }

  // When the watchdog (WatchProgramPath) already runs: returns 1 at once, nothing is posted.
  // Otherwise starts it from the program folder (a missing program is not an
  // error), posts WM_STARTTHREAD_DONE (0, 0) to the owner and returns 1.
  DWORD Run() override;

 protected:
  HWND m_hOwner;
};
