// CServingSession: what every thread serving a session to a remote peer holds:
// the peer's request, the session word its answers carry, the registry id its
// end message names, the relay the answers go to, the clock that paces it, and
// the running and stop flags. CFileServingSession adds the local file a replay
// or download of one file opens.
//
// Threads: the registry (UI thread) calls the setters before Start and Stop at
// the end; the flags are atomic. A derived class calls Stop in its own
// destructor so that Run never outlives the members it uses.
#pragma once

#include <atomic>
#include <string>

#include "core/fixed_text.h"
#include "core/thread_base.h"
#include "pelk/pelk.h"
#include "relay/sessions/session_clock.h"

class IServingRelay;

template <class Request>
class CServingSession : public CThread {
 public:
  void SetRequest(const Request& request) { m_request = request; }
  void SetSessionId(DWORD word) { m_dwSessionId = word; }
  void SetRegistryId(DWORD id) { m_dwRegistryId = id; }
  const Request& GetRequest() const { return m_request; }
  DWORD GetSessionId() const { return m_dwSessionId; }
  DWORD GetRegistryId() const { return m_dwRegistryId; }

  bool IsRunning() const { return m_bRunning; }

  // Ends the loop (no stop notice) and waits for the thread.
  void Stop() override {
    RaiseStop();
    CThread::Stop();
  }

 protected:
  // `relay` and `clock` outlive the thread.
  CServingSession(IServingRelay& relay, ISessionClock& clock) : m_relay(relay), m_clock(clock) {}

  // The loop ends before its next round.
  void RaiseStop() {
    m_bStop = true;
    m_bRunning = false;
  }
  // The loop starts running, unless a stop came while the flag was still clear.
  void BeginRunning() {
    m_bRunning = true;
    if (m_bStop) m_bRunning = false;
  }

  // Signed distance from `from` to `to` on the clock's wrapping tick count.
  static LONG Since(DWORD to, DWORD from) { return static_cast<LONG>(to - from); }

  IServingRelay& m_relay;
  ISessionClock& m_clock;
  Request m_request;
  std::atomic<bool> m_bRunning{false};
  std::atomic<bool> m_bStop{false};
  DWORD m_dwRegistryId = 0;
  DWORD m_dwSessionId = 0;
};

class CFileServingSession : public CServingSession<RelayFileRequest> {
 public:
  // The file actually opened: the request's path once confined to the record
  // folders (ANSI). Empty: the request's path as it stands.
  void SetLocalPath(const std::string& path) { m_strLocalPath = path; }

 protected:
  using CServingSession::CServingSession;

  // The path to open.
  std::string LocalPath() const { return m_strLocalPath.empty() ? FixedText(m_request.szPath) : m_strLocalPath; }

  std::string m_strLocalPath;
};
