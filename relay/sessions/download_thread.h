// CDownloadThread: sends one local record file, byte for byte, to the remote
// peer that asked to download it: the start answer with the file's size, then
// pieces of at most 15360 bytes every 5 ms, and the stop notice once the whole
// file went out. At the end it posts WM_SESSION_DOWNLOAD_END with its registry
// id to the main window.
//
// A file that shrinks (a read gives nothing before the size is reached) or
// vanishes while it is sent ends the download without the stop notice, as a
// stop by the peer does; both are logged.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "core/thread_base.h"
#include "pelk/pelk.h"
#include "relay/sessions/session_clock.h"

class IServingRelay;

class CDownloadThread : public CThread {
 public:
  static constexpr size_t kTransferBufferSize = 1048576;  // 1 MiB, allocated once
  static constexpr size_t kPieceSize = 15360;
  static constexpr DWORD kPieceDelayMs = 5;

  explicit CDownloadThread(IServingRelay& relay, ISessionClock& clock = SystemSessionClock());
  ~CDownloadThread() override;

  void SetRequest(const RelayFileRequest& request) { m_request = request; }
  // The file actually opened (the confined path, ANSI); empty: the request's path.
  void SetLocalPath(const std::string& path) { m_strLocalPath = path; }
  void SetSessionId(DWORD word) { m_dwSessionId = word; }
  void SetRegistryId(DWORD id) { m_dwRegistryId = id; }
  const RelayFileRequest& GetRequest() const { return m_request; }
  DWORD GetSessionId() const { return m_dwSessionId; }
  DWORD GetRegistryId() const { return m_dwRegistryId; }

  // WM_RELAY_DOWNLOAD_STOP: the loop ends before the next piece.
  void RequestStop();
  void NotifyStopIfRunning();
  void Stop() override;
  DWORD Run() override;

  bool IsRunning() const { return m_bRunning; }

 private:
  void Serve();

  IServingRelay& m_relay;
  ISessionClock& m_clock;
  RelayFileRequest m_request;
  std::string m_strLocalPath;
  std::atomic<bool> m_bRunning{false};
  std::atomic<bool> m_bStop{false};
  DWORD m_dwRegistryId = 0;
  DWORD m_dwSessionId = 0;
};
