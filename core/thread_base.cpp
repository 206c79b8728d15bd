#include "core/thread_base.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>

struct CThread::ThreadState {
  std::thread thread;
  std::atomic<DWORD> exitCode{STILL_ACTIVE};
  std::mutex mutex;
  std::condition_variable started;
  pid_t tid = 0;  // the kernel's id of the thread, for its priority
};

namespace {

// Windows thread priorities -> nice values (lower nice = more CPU).
int NiceFor(int priority) {
  if (priority <= -15) return 19;
  if (priority >= 15) return -20;
  return -priority * 5;  // -2 .. 2 -> 10 .. -10
}

}  // namespace

CThread::~CThread() {
  std::shared_ptr<ThreadState> state;
  {
    std::lock_guard<std::mutex> lock(m_handleLock);
    state = m_hThread;
  }
  // By now the derived part of the object is gone. A Run that has not returned
  // would go on with destroyed members (or, not yet entered, run this base's
  // Run): a derived class stops its thread in its own destructor. Carrying on
  // would corrupt memory quietly, so the fault ends the process here, loudly.
  if (state && state->exitCode == STILL_ACTIVE && state->thread.get_id() != std::this_thread::get_id()) {
    std::fputs("CThread destroyed while its Run still runs: the derived class must Stop it in its destructor\n",
               stderr);
    std::abort();
  }
  Stop();
}

BOOL CThread::Start() {
  std::lock_guard<std::mutex> lock(m_handleLock);
  if (m_hThread) return TRUE;
  // The thread shares its state with the object: it keeps it alive until it has
  // written its exit code, also when Stop let it go.
  auto state = std::make_shared<ThreadState>();
  try {
    state->thread = std::thread([this, state] {
      {
        std::lock_guard<std::mutex> started(state->mutex);
        state->tid = static_cast<pid_t>(::syscall(SYS_gettid));
      }
      state->started.notify_all();
      state->exitCode = Run();
    });
  } catch (const std::system_error&) {
    return FALSE;
  }
  std::unique_lock<std::mutex> started(state->mutex);
  state->started.wait(started, [&] { return state->tid != 0; });
  m_hThread = std::move(state);
  return TRUE;
}

DWORD CThread::Suspend() { return static_cast<DWORD>(-1); }

DWORD CThread::Resume() { return static_cast<DWORD>(-1); }

BOOL CThread::SetPriority(int priority) {
  std::lock_guard<std::mutex> lock(m_handleLock);
  if (!m_hThread || m_hThread->exitCode != STILL_ACTIVE) return FALSE;
  return ::setpriority(PRIO_PROCESS, static_cast<id_t>(m_hThread->tid), NiceFor(priority)) == 0
             ? TRUE
             : FALSE;
}

BOOL CThread::GetExitCode(DWORD* exitCode) {
  std::lock_guard<std::mutex> lock(m_handleLock);
  if (!m_hThread || !exitCode) return FALSE;
  *exitCode = m_hThread->exitCode;
  return TRUE;
}

void CThread::Stop() {
  std::shared_ptr<ThreadState> state;
  {
    std::lock_guard<std::mutex> lock(m_handleLock);
    state.swap(m_hThread);
  }
  if (!state) return;
  if (state->thread.get_id() == std::this_thread::get_id()) {
    state->thread.detach();
  } else {
    state->thread.join();
  }
}

DWORD CThread::Run() { return 0; }
