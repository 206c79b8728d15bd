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

#include <cstdint>

#include "relay/sessions/serving_session.h"

class CDownloadThread : public CFileServingSession {
 public:
  static constexpr size_t kTransferBufferSize = 1048576;  // 1 MiB, allocated once
  static constexpr size_t kPieceSize = 15360;
  static constexpr DWORD kPieceDelayMs = 5;

  explicit CDownloadThread(IServingRelay& relay, ISessionClock& clock = SystemSessionClock());
  ~CDownloadThread() override;

  // WM_RELAY_DOWNLOAD_STOP: the loop ends before the next piece.
  void RequestStop() { RaiseStop(); }
  void NotifyStopIfRunning();
  DWORD Run() override;

 private:
  void Serve();
};
