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

#include "records/recfile/rec_file_reader.h"
#include "relay/sessions/replay_steering.h"
#include "relay/sessions/serving_session.h"
#include "relay/sessions/session_mailbox.h"

class CReplayThread : public CFileServingSession {
 public:
  static constexpr size_t kFrameBufferSize = 2097152;  // 2 MiB, allocated once per session
  static constexpr DWORD kStartDelayMs = 600;          // between the start answer and the first chunk
  static constexpr DWORD kLateMs = 60;                 // a frame this late moves the schedule instead

  // `relay` and `clock` outlive the thread.
  explicit CReplayThread(IServingRelay& relay, ISessionClock& clock = SystemSessionClock());
  ~CReplayThread() override;

  // Steering (UI thread): the speed table, the control codes and a seek to a
  // key-table entry (a second of the file), taken by the thread before its
  // next chunk. Control code 5 stops at once.
  void SetSpeed(int speed);
  void Control(int code);
  int SeekIndex(DWORD entry);  // 0: queued

  // RemoveAll: a session still running tells the peer that it stops.
  void NotifyStopIfRunning();
  DWORD Run() override;

 private:
  void Serve();
  void TakeRequests();
  void ApplySpeed(int speed);
  void ApplyControl(int code);
  void SleepUnlessStopped(DWORD ms);
  // Ends the session from the thread: the stop notice unless stopped from outside.
  void EndOfData();

  CRecFileReader m_reader;
  SessionMailbox m_mailbox;

  // Serving thread only.
  DWORD m_dwSequence = 1;
  ReplaySteering m_steer{38, replaypace::kNormalSpeedCode, false, false, 4.0, 0, 1};
  DWORD m_dwBase = 0;
  int m_nFps = 26;
  DWORD m_dwSeconds = 0;  // K
};
