// What the serving threads' tests give them: a clock whose sleeps move its
// time on (pacing is checked in virtual milliseconds, without waiting), a
// relay that records every call with the clock's time, and record files in
// the recorder's layout.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "relay/sessions/serving_relay.h"
#include "relay/sessions/session_clock.h"

class FakeSessionClock final : public ISessionClock {
 public:
  explicit FakeSessionClock(DWORD start = 1000000) : m_now(start) {}
  DWORD Now() override { return m_now; }
  void Sleep(DWORD ms) override { m_now += ms; }
  void Advance(DWORD ms) { m_now += ms; }

 private:
  std::atomic<DWORD> m_now;
};

struct RelayCall {
  enum Type {
    kReplayStart, kReplayData, kReplayStop, kByDateData, kByDateStop, kDloadStart, kDloadData, kDloadStop, kEnd
  } type = kReplayStart;
  DWORD time = 0;  // the clock's time at the call
  LONG status = 0;
  LONG kind = 0;  // media kind
  LONG length = 0;
  RelayFrameInfo info;
  bool video = false;  // a video block came with it
  bool audio = false;  // an audio block came with it
  LONG first = 0;
  LONG seconds = 0;
  DWORD start = 0;
  uint64_t offset = 0;
  uint64_t size = 0;
  UINT msg = 0;
  DWORD id = 0;
  DWORD word = 0;
  std::vector<BYTE> data;  // downloads only
  std::string videoCodec;
};

class RecordingRelay final : public IServingRelay {
 public:
  explicit RecordingRelay(ISessionClock& clock) : m_clock(clock) {}

  // Runs on the serving thread after each data call is recorded, with the
  // number of data calls so far (1 for the first). Set before the thread
  // starts; while it runs, through SetOnData.
  std::function<void(int)> onData;
  void SetOnData(std::function<void(int)> callback);
  // ReportDloadData answers this from the n-th piece on (1-based; 0 never).
  int refusePieceFrom = 0;

  void RspReplayStart(LONG status, const RelayFileRequest&, DWORD word, const BYTE* video, const BYTE* audio,
                      LONG seconds) override;
  void ReportReplayData(const RelayFileRequest&, DWORD word, LONG kind, const BYTE* data, LONG length,
                        const RelayFrameInfo& info) override;
  void NotifyReplayStop(const RelayFileRequest&, DWORD word) override;
  void ReportReplayDataByDate(const ReplayByDateRequest&, DWORD word, LONG kind, const BYTE* data, LONG length,
                              const RelayFrameInfo& info, const BYTE* video, const BYTE* audio, LONG first,
                              LONG seconds, DWORD startSecond) override;
  void NotifyReplayStopByDate(const ReplayByDateRequest&, DWORD word) override;
  void RspDloadStart(LONG status, const RelayFileRequest&, DWORD word, uint64_t size) override;
  LONG ReportDloadData(const RelayFileRequest&, DWORD word, const BYTE* data, LONG length, uint64_t offset,
                       uint64_t size) override;
  void NotifyDloadStop(const RelayFileRequest&, DWORD word) override;
  void PostEnd(UINT msg, DWORD registryId) override;

  // Waits (real time) for the end message; false after `limitMs`.
  bool WaitEnd(int limitMs = 20000);
  std::vector<RelayCall> Calls() const;
  std::vector<RelayCall> Of(RelayCall::Type type) const;
  int Count(RelayCall::Type type) const;

 private:
  void Add(RelayCall call, bool data);

  ISessionClock& m_clock;
  mutable std::mutex m_lock;
  std::condition_variable m_cv;
  std::vector<RelayCall> m_calls;
  int m_nData = 0;
  int m_nPieces = 0;
};

// A record file in the recorder's layout at `nativePath`: `seconds` seconds of
// H.264 video at `fps` frames per second with a key frame every `gop` frames
// (0: every second; video frame i is (key ? 2000 : 300) + i % 7 bytes), and
// with `audio` one G.711 chunk of 320 bytes after each video frame.
void WriteServedRecord(const std::string& nativePath, int seconds, int fps = 25, bool audio = false, int gop = 0);
