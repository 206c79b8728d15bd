#include "records/recording/rec_worker.h"

#include <pthread.h>

#include <chrono>
#include <thread>

#include "core/client_log.h"

namespace {
constexpr auto kStopCheck = std::chrono::milliseconds(100);
constexpr auto kStopWait = std::chrono::seconds(5);
}  // namespace

CRecWorker::CRecWorker(int periodMs, std::string startLog, std::string exitLog, std::string busyLog)
    : m_nPeriodMs(periodMs),
      m_strStartLog(std::move(startLog)),
      m_strExitLog(std::move(exitLog)),
      m_strBusyLog(std::move(busyLog)) {}

CRecWorker::~CRecWorker() = default;

int CRecWorker::StartThread() {
  if (IsRunning()) return -1;
  m_bStop = false;
  if (Start() != 0) return -1;
  WriteLog(6, "%s", m_strStartLog.c_str());
  return 0;
}

void CRecWorker::StopThread() {
  if (!IsRunning()) {
    Kill();  // collects a thread that has ended by itself
    return;
  }
  {
    std::lock_guard<std::mutex> lock(m_sleepLock);
    m_bStop = true;
  }
  m_wake.notify_all();
  const auto deadline = std::chrono::steady_clock::now() + kStopWait;
  while (IsRunning() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(kStopCheck);
  if (IsRunning()) WriteLog(2, "%s", m_strBusyLog.c_str());
  Kill();  // waits for the thread: its cycle returns at the next check of the flag
}

void* CRecWorker::Thread() {
  pthread_setname_np(pthread_self(), "recworker");
  ThreadStarted();
  for (;;) {
    if (m_bStop) {
      if (!m_strExitLog.empty()) WriteLog(6, "%s", m_strExitLog.c_str());
      return nullptr;
    }
    Cycle();
    std::unique_lock<std::mutex> lock(m_sleepLock);
    m_wake.wait_for(lock, std::chrono::milliseconds(m_nPeriodMs), [this] { return m_bStop.load(); });
  }
}
