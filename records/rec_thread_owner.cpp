#include "records/rec_thread_owner.h"

#include <chrono>
#include <thread>

#include "core/client_log.h"
#include "core/thread_base.h"

namespace {
constexpr auto kStep = std::chrono::milliseconds(100);
constexpr int kStopWaitSteps = 50;  // 5 s
}  // namespace

class CRecThreadOwner::Worker : public CThread {
 public:
  explicit Worker(CRecThreadOwner& owner) : m_owner(owner) {}
  ~Worker() override { Stop(); }
  DWORD Run() override {
    while (!m_owner.StopRequested()) {
      m_owner.WorkStep();
      std::this_thread::sleep_for(kStep);
    }
    return 0;
  }
  bool Ended() {
    DWORD code = 0;
    return !GetExitCode(&code) || code != STILL_ACTIVE;
  }

 private:
  CRecThreadOwner& m_owner;
};

CRecThreadOwner::CRecThreadOwner(HWND mainWnd) : m_hMainWnd(mainWnd) {}

CRecThreadOwner::~CRecThreadOwner() { StopThread(); }

int CRecThreadOwner::StartThread() {
  if (m_pThread) return -1;
  m_bStop = false;
  auto worker = std::make_unique<Worker>(*this);
  if (!worker->Start()) return -1;
  m_pThread = std::move(worker);
  return 0;
}

int CRecThreadOwner::StopThread() {
  if (!m_pThread) return 0;
  m_bStop = true;
  int step = 0;
  while (!m_pThread->Ended() && step < kStopWaitSteps) {
    std::this_thread::sleep_for(kStep);
    ++step;
  }
  if (!m_pThread->Ended()) WriteLog(6, "CRecThreadOwner::StopThread(): thread still busy after 5 s, waiting for it");
  m_pThread.reset();  // joins
  return 0;
}

bool CRecThreadOwner::IsRunning() const { return m_pThread != nullptr; }
