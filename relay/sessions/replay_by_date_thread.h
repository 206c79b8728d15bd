// CReplayByDateThread: serves one local device's recordings of one day to a
// remote peer as one stream from a second of the day: it finds the day's
// record files (the day search over a copy of the record schemes), starts with
// the file that covers the start time and goes on file after file, sending the
// media description with the first chunk of every file. The peer steers it
// with speeds, control codes and jumps to another second of the day. At the
// end the peer gets the stop notice and the main window
// WM_SESSION_REPLAY_BY_DATE_END with the registry id.
//
// Threads as CReplayThread: steering requests wait in a mailbox taken between
// chunks; the running and stop flags are atomic.
#pragma once

#include <string>
#include <vector>

#include "records/recfile/rec_file_reader.h"
#include "records/search/rec_day_map.h"
#include "relay/sessions/replay_steering.h"
#include "relay/sessions/serving_session.h"
#include "relay/sessions/session_mailbox.h"

class CReplayByDateThread : public CServingSession<ReplayByDateRequest> {
 public:
  static constexpr size_t kFrameBufferSize = 2097152;
  static constexpr int kFps = 25;        // every file of a day is paced at 25 frames per second
  static constexpr int kMinWaitMs = 15;  // the shortest wait between two rounds
  static constexpr DWORD kLateMs = 100;  // a frame this late moves the schedule instead

  explicit CReplayByDateThread(IServingRelay& relay, ISessionClock& clock = SystemSessionClock());
  ~CReplayByDateThread() override;

  // Steering (UI thread), taken before the next chunk; control code 5 stops at once.
  void SetSpeed(int speed);
  void Control(int code);
  // Jump to a second of the day, after the next chunk that is sent.
  void SetPendingJump(DWORD second);

  DWORD Run() override;

  // The day's files as the search gave them (after Run began; tests).
  struct DayFile {
    std::string path;
    int seconds = 0;
    int start = 0;
  };
  // Picks the file of a second of the day (the first that covers it or starts
  // after it) as the current one: true, with *offset the seconds into it; false
  // when the second lies after the last file. `current` is the 1-based number
  // of the current file and is updated.
  static bool FindFileAt(const std::vector<DayFile>& files, int second, int* current, int* offset);

 private:
  void Serve(BYTE* buffer);
  void ServeFile(BYTE* buffer, bool first, bool* nextFile);
  void TakeRequests();
  void ApplySpeed(int speed);
  void ApplyControl(int code);
  bool NextFile();

  CRecFileReader m_reader;
  SessionMailbox m_mailbox;

  // Serving thread only.
  DWORD m_dwSequence = 1;
  ReplaySteering m_steer{40, replaypace::kNormalSpeedCode, false, false, 8.0, 0, 1};
  DWORD m_dwBase = 0;
  std::vector<DayFile> m_files;
  int m_nCurFile = -1;  // 1-based number in m_files, -1 none
  int m_nOffset = 0;    // seconds into the current file where it starts
  bool m_bSeekFirst = false;
  bool m_bPendingJump = false;
  DWORD m_dwPendingSecond = 0;
  DWORD m_dwSeconds = 0;  // K of the current file
};
