#include "relay/sessions/serving_relay.h"

#include "platform/post_message.h"
#include "platform/window_registry.h"

void PelkServingRelay::RspReplayStart(LONG status, const RelayFileRequest& r, DWORD word, const BYTE* video,
                                      const BYTE* audio, LONG seconds) {
  Pelk_RspReplayStart(status, r.dwHandle, word, r.szDevKey, r.dwStream, r.dwChannel, video, audio, r.szPath, seconds);
}

void PelkServingRelay::ReportReplayData(const RelayFileRequest& r, DWORD word, LONG kind, const BYTE* data,
                                        LONG length, const RelayFrameInfo& info) {
  Pelk_ReportReplayData(r.dwHandle, word, r.szDevKey, r.dwStream, r.dwChannel, kind, data, length, &info, r.szPath);
}

void PelkServingRelay::NotifyReplayStop(const RelayFileRequest& r, DWORD word) {
  Pelk_NotifyReplayStop(r.dwHandle, word, r.szDevKey, r.dwStream, r.dwChannel, r.szPath);
}

void PelkServingRelay::ReportReplayDataByDate(const ReplayByDateRequest& r, DWORD word, LONG kind, const BYTE* data,
                                              LONG length, const RelayFrameInfo& info, const BYTE* video,
                                              const BYTE* audio, LONG first, LONG seconds, DWORD startSecond) {
  Pelk_ReportReplayDataByDate(r.dwHandle, word, r.szDevKey, r.dwChannel, kind, data, length, &info, video, audio,
                              first, seconds, startSecond);
}

void PelkServingRelay::NotifyReplayStopByDate(const ReplayByDateRequest& r, DWORD word) {
  Pelk_NotifyReplayStopByDate(r.dwHandle, word, r.szDevKey, r.dwChannel);
}

void PelkServingRelay::RspDloadStart(LONG status, const RelayFileRequest& r, DWORD word, uint64_t size) {
  Pelk_RspDloadStart(status, r.dwHandle, word, r.szDevKey, r.dwStream, r.dwChannel, 1, PelkLow(size), PelkHigh(size),
                     r.szPath);
}

LONG PelkServingRelay::ReportDloadData(const RelayFileRequest& r, DWORD word, const BYTE* data, LONG length,
                                       uint64_t offset, uint64_t size) {
  return Pelk_ReportDloadData(r.dwHandle, word, r.szDevKey, r.dwStream, r.dwChannel, 1, data, length, PelkLow(offset),
                              PelkHigh(offset), PelkLow(size), PelkHigh(size), r.szPath);
}

void PelkServingRelay::NotifyDloadStop(const RelayFileRequest& r, DWORD word) {
  Pelk_NotifyDloadStop(r.dwHandle, word, r.szDevKey, r.dwStream, r.dwChannel, r.szPath);
}

void PelkServingRelay::PostEnd(UINT msg, DWORD registryId) {
  // A window that is gone drops the post; the serving thread never waits for it.
  if (m_hMainWnd && IsWindow(m_hMainWnd)) PostMessage(m_hMainWnd, msg, registryId, 0);
}
