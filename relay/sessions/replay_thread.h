// CReplayThread: serves one local record file to a remote peer. It answers the
// start request with the file's media description, then sends the file's
// chunks one by one, paced by the file's frame rate and the peer's speed, and
// steered by its pause, step, jump and stop requests; at the end it tells the
// main window (WM_SESSION_REPLAY_END with its registry id), whose registry
// stops and deletes it.
//
// Threads: the registry (UI thread) calls the setters and the steering calls;
// the steering requests wait in a mailbox that Run takes between chunks. The
// running and stop flags are atomic. The thread only posts; it never waits for
// the UI thread.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "core/thread_base.h"
#include "pelk/pelk.h"
#include "records/recfile/rec_file_reader.h"
#include "relay/sessions/session_clock.h"
#include "relay/sessions/replay_steering.h"
#include "relay/sessions/session_mailbox.h"

class IServingRelay;

class CReplayThread : public CThread {
 public:
  static constexpr size_t kFrameBufferSize = 2097152;  // 2 MiB, allocated once per session
  static constexpr DWORD kStartDelayMs = 600;          // between the start answer and the first chunk
  static constexpr DWORD kLateMs = 60;                 // a frame this late moves the schedule instead

  // `relay` and `clock` outlive the thread.
  explicit CReplayThread(IServingRelay& relay, ISessionClock& clock = SystemSessionClock());
  ~CReplayThread() override;

  void SetRequest(const RelayFileRequest& request) { m_request = request; }
  // The file actually opened: the request's path once confined to the record
  // folders (ANSI). Empty: the request's path as it stands.
  void SetLocalPath(const std::string& path) { m_strLocalPath = path; }
  void SetSessionId(DWORD word) { m_dwSessionId = word; }
  void SetRegistryId(DWORD id) { m_dwRegistryId = id; }
  const RelayFileRequest& GetRequest() const { return m_request; }
  DWORD GetSessionId() const { return m_dwSessionId; }
  DWORD GetRegistryId() const { return m_dwRegistryId; }

  // Steering (UI thread): the speed table, the control codes and a seek to a
  // key-table entry (a second of the file), taken by the thread before its
  // next chunk. Control code 5 stops at once.
  void SetSpeed(int speed);
  void Control(int code);
  int SeekIndex(DWORD entry);  // 0: queued

  // RemoveAll: a session still running tells the peer that it stops.
  void NotifyStopIfRunning();
  // Ends the loop (no stop notice) and waits for the thread.
  void Stop() override;
  DWORD Run() override;

  bool IsRunning() const { return m_bRunning; }

 private:
  void Serve();
  void TakeRequests();
  void ApplySpeed(int speed);
  void ApplyControl(int code);
  void SleepUnlessStopped(DWORD ms);
  // Ends the session from the thread: the stop notice unless stopped from outside.
  void EndOfData();

  IServingRelay& m_relay;
  ISessionClock& m_clock;
  CRecFileReader m_reader;
  RelayFileRequest m_request;
  std::string m_strLocalPath;
  std::atomic<bool> m_bRunning{false};
  std::atomic<bool> m_bStop{false};
  DWORD m_dwRegistryId = 0;
  DWORD m_dwSessionId = 0;
  SessionMailbox m_mailbox;

  // Serving thread only.
  DWORD m_dwSequence = 1;
  ReplaySteering m_steer{38, replaypace::kNormalSpeedCode, false, false, 4.0, 0, 1};
  DWORD m_dwBase = 0;
  int m_nFps = 26;
  DWORD m_dwSeconds = 0;  // K
};
