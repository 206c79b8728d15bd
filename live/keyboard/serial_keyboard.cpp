#include "live/keyboard/serial_keyboard.h"

#include <cerrno>
#include <cstring>

#include "core/client_log.h"
#include "live/keyboard/serial_keyboard_port.h"

namespace {

constexpr int kIdleWaitMs = 500;        // run state idle
constexpr int kSwitchOffWaitMs = 1000;  // keyboard switched off
constexpr int kReopenWaitMs = 10000;    // port could not be opened
constexpr int kReadWaitMs = 100;        // longest wait of one read: how soon a stop is seen

}  // namespace

CPTZKeyboardCtrl::CPTZKeyboardCtrl(CKeyboardPtzHost* host)
    : m_pHost(host), m_pPort(std::make_unique<CKeyboardSerialPort>()) {}

CPTZKeyboardCtrl::~CPTZKeyboardCtrl() {
  StopHandleKBMsg();
  CloseCom();
}

int CPTZKeyboardCtrl::GetRunning() const {
  std::lock_guard<std::mutex> lock(m_runLock);
  return m_nRunning;
}

void CPTZKeyboardCtrl::SetRunning(int state) {
  {
    std::lock_guard<std::mutex> lock(m_runLock);
    m_nRunning = state;
  }
  m_runChanged.notify_all();
}

bool CPTZKeyboardCtrl::WaitUnlessStopping(int ms) const {
  std::unique_lock<std::mutex> lock(m_runLock);
  return !m_runChanged.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_nRunning == kStop; });
}

KeyboardParams CPTZKeyboardCtrl::GetParams() const {
  std::lock_guard<std::mutex> lock(m_paramLock);
  return m_params;
}

int CPTZKeyboardCtrl::GetKeyboardControlParams(CString& out) const {
  std::lock_guard<std::mutex> lock(m_paramLock);
  out = m_strParams;
  return 0;
}

int CPTZKeyboardCtrl::SetKeyboardParams(const CString& line) {
  KeyboardParams params;
  const int fields = ParseKeyboardParams(line, params);
  if (fields != kKeyboardParamsFieldCount) {
    WriteLog(3, "SetKeyboardParams fail for strParams error %s:%d!", line.c_str(), fields);
    return -1;
  }
  std::lock_guard<std::mutex> lock(m_paramLock);
  m_params = params;
  m_strParams = line;
  return 0;
}

int CPTZKeyboardCtrl::InitComParams() {
  if (m_bParamsLoaded) return 1;
  CString line;
  if (!ReadKeyboardParamsLine(line)) return -1;
  const int result = SetKeyboardParams(line);
  if (result == 0) m_bParamsLoaded = 1;
  return result;
}

int CPTZKeyboardCtrl::StartHandleKCMsg() {
  if (InitComParams() < 0) {
    WriteLog(3, "StartHandleKCMsg() exit for InitComParams() ERROR !!!!!!");
    return 1;
  }
  if (m_pThread) return 1;
  SetRunning(kRun);
  m_pThread.reset(QThread::create([this] { KCHandleProc(); }));
  m_pThread->start();
  if (!m_pThread->isRunning() && !m_pThread->isFinished()) {
    m_pThread.reset();
    SetRunning(kIdle);
    WriteLog(3, "StartHandleKCMsg KCHandleProc CreateThread fail!error=%d", errno);
    return -1;
  }
  return 0;
}

int CPTZKeyboardCtrl::StopHandleKBMsg() {
  WriteLog(6, "CPTZKeyboardCtrl::StopHandleKBMsg begin!");
  if (m_pThread) {
    // Every wait of the thread looks at the run state at least every
    // kReadWaitMs, so it ends by itself and is simply waited for.
    SetRunning(kStop);
    m_pThread->wait();
    m_pThread.reset();
  }
  SetRunning(kIdle);
  m_bParamsLoaded = 0;
  m_nUnsent = 0;
  m_queue.clear();
  WriteLog(6, "CPTZKeyboardCtrl StopHandleKBMsg End!");
  return 0;
}

int CPTZKeyboardCtrl::CloseCom() {
  if (m_pThread) return 1;
  return m_pPort->CloseCom();
}

int CPTZKeyboardCtrl::SetKeyboardControlParams(const CString& line) {
  WriteLog(6, "SetKeyboardControlParams %s!", line.c_str());
  StopHandleKBMsg();
  CloseCom();
  int result = SetKeyboardParams(line);
  if (result == 0 && !WriteKeyboardParamsLine(line)) {
    // The start below reads the file again, so the settings stay those of the
    // file that is there; the caller learns that the new ones were not kept.
    WriteLog(3, "SetKeyboardControlParams write %s fail!", KeyboardParamsPath().c_str());
    result = -1;
  }
  StartHandleKCMsg();
  WriteLog(6, "SetKeyboardControlParams OK!");
  return result;
}

void CPTZKeyboardCtrl::SendNextRecord() {
  if (m_queue.empty()) return;
  const KeyboardRecord record = std::move(m_queue.front());
  m_queue.pop_front();
  if (m_pHost) m_pHost->SendKeyboardPtzData(record.text);
  m_nUnsent -= static_cast<int>(record.bytes.size());
}

void CPTZKeyboardCtrl::ReadRecords() {
  memset(m_readBuffer, 0, sizeof m_readBuffer);
  m_nUnsent = m_pPort->ReadPort(m_readBuffer, sizeof m_readBuffer, kReadWaitMs);
  if (m_nUnsent < 1) return;
  for (KeyboardRecord& record : CutKeyboardRecords(m_readBuffer, m_nUnsent)) m_queue.push_back(std::move(record));
}

void CPTZKeyboardCtrl::KCHandleProc() {
  WriteLog(6, "CPTZKeyboardCtrl::KCHandleProc BeginThread for m_nRunning=1.");
  while (GetRunning() != kStop) {
    if (GetRunning() == kIdle) {
      WaitUnlessStopping(kIdleWaitMs);
      continue;
    }
    const KeyboardParams params = GetParams();
    if (params.Switch == 0) {
      WaitUnlessStopping(kSwitchOffWaitMs);
      continue;
    }
    if (!m_pPort->IsOpen() && !m_pPort->OpenCom(params)) {
      WaitUnlessStopping(kReopenWaitMs);
      continue;
    }
    m_bComOpen = 1;
    SendNextRecord();
    if (m_nUnsent < 1) {
      if (GetRunning() == kStop) break;
      ReadRecords();
      m_bComOpen = m_pPort->IsOpen() ? 1 : 0;  // a lost port is closed by the read
    }
  }
  m_pPort->CloseCom();
  m_bComOpen = 0;
  WriteLog(6, "CPTZKeyboardCtrl::KCHandleProc CloseThread for m_nRunning=-1.");
}
