// What the serving threads send: their answers, chunks and stops to the relay
// library, and their end notice to the main window. The program's is
// PelkServingRelay (the Pelk_* calls and a posted message); tests record them.
// Called on the serving threads; implementations are thread-safe.
#pragma once

#include <cstdint>

#include "pelk/pelk.h"

class IServingRelay {
 public:
  virtual ~IServingRelay() = default;

  // --- a file replay ---
  virtual void RspReplayStart(LONG status, const RelayFileRequest& request, DWORD word, const BYTE* video,
                              const BYTE* audio, LONG seconds) = 0;
  virtual void ReportReplayData(const RelayFileRequest& request, DWORD word, LONG kind, const BYTE* data,
                                LONG length, const RelayFrameInfo& info) = 0;
  virtual void NotifyReplayStop(const RelayFileRequest& request, DWORD word) = 0;

  // --- a day replay ---
  virtual void ReportReplayDataByDate(const ReplayByDateRequest& request, DWORD word, LONG kind, const BYTE* data,
                                      LONG length, const RelayFrameInfo& info, const BYTE* video,
                                      const BYTE* audio, LONG first, LONG seconds, DWORD startSecond) = 0;
  virtual void NotifyReplayStopByDate(const ReplayByDateRequest& request, DWORD word) = 0;

  // --- a download ---
  virtual void RspDloadStart(LONG status, const RelayFileRequest& request, DWORD word, uint64_t size) = 0;
  // 0 when the piece was queued, else the download cannot go on.
  virtual LONG ReportDloadData(const RelayFileRequest& request, DWORD word, const BYTE* data, LONG length,
                               uint64_t offset, uint64_t size) = 0;
  virtual void NotifyDloadStop(const RelayFileRequest& request, DWORD word) = 0;

  // Posts a session's end message (WM_SESSION_*_END, the registry id) to the
  // main window when it still exists; never waits for it.
  virtual void PostEnd(UINT msg, DWORD registryId) = 0;
};

// The relay library and the main window `mainWnd`.
class PelkServingRelay final : public IServingRelay {
 public:
  explicit PelkServingRelay(HWND mainWnd) : m_hMainWnd(mainWnd) {}

  void RspReplayStart(LONG status, const RelayFileRequest& request, DWORD word, const BYTE* video,
                      const BYTE* audio, LONG seconds) override;
  void ReportReplayData(const RelayFileRequest& request, DWORD word, LONG kind, const BYTE* data, LONG length,
                        const RelayFrameInfo& info) override;
  void NotifyReplayStop(const RelayFileRequest& request, DWORD word) override;
  void ReportReplayDataByDate(const ReplayByDateRequest& request, DWORD word, LONG kind, const BYTE* data,
                              LONG length, const RelayFrameInfo& info, const BYTE* video, const BYTE* audio,
                              LONG first, LONG seconds, DWORD startSecond) override;
  void NotifyReplayStopByDate(const ReplayByDateRequest& request, DWORD word) override;
  void RspDloadStart(LONG status, const RelayFileRequest& request, DWORD word, uint64_t size) override;
  LONG ReportDloadData(const RelayFileRequest& request, DWORD word, const BYTE* data, LONG length, uint64_t offset,
                       uint64_t size) override;
  void NotifyDloadStop(const RelayFileRequest& request, DWORD word) override;
  void PostEnd(UINT msg, DWORD registryId) override;

 private:
  HWND m_hMainWnd;
};
