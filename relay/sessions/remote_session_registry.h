// CRemoteSessionRegistry: the sessions this client serves to remote peers
// (replay of a file, replay of a day, download), each a serving thread owned
// here from its start until it is removed. Each gets a registry id (one
// counter for the three kinds); a peer's follow-up request is applied to the
// first thread, in id order, that its record names; a thread's end message
// removes it: the registry waits for it (Stop) and deletes it.
//
// UI thread only (the main window's message handlers and its close); the
// serving threads never touch it, they post their end messages.
#pragma once

#include <map>
#include <memory>

#include "platform/win_types.h"

class CReplayThread;
class CReplayByDateThread;
class CDownloadThread;

class CRemoteSessionRegistry {
 public:
  CRemoteSessionRegistry();
  ~CRemoteSessionRegistry();
  CRemoteSessionRegistry(const CRemoteSessionRegistry&) = delete;
  CRemoteSessionRegistry& operator=(const CRemoteSessionRegistry&) = delete;

  // Takes the thread (null: 0) and gives it the next id; 1. Start it afterwards.
  BOOL AddReplayThread(CReplayThread* thread);
  BOOL AddDownloadThread(CDownloadThread* thread);
  BOOL AddByDateThread(CReplayByDateThread* thread);

  // The end message of a thread: stops (waits for) and deletes it; unknown ids
  // do nothing.
  void RemoveReplayThread(DWORD id);
  void RemoveDownloadThread(DWORD id);
  void RemoveByDateThread(DWORD id);

  // Follow-up requests of a file replay or download: the thread whose file
  // path and session word they name. A day replay: its key, channel and word.
  void SetReplaySpeed(const char* path, DWORD value, DWORD word);
  void ControlReplay(const char* path, DWORD value, DWORD word);
  void SeekReplayIndex(const char* path, DWORD value, DWORD word);
  void SetByDateSpeed(const char* key, DWORD channel, DWORD value, DWORD word);
  void ControlByDate(const char* key, DWORD channel, DWORD value, DWORD word);
  void SetByDateJump(const char* key, DWORD channel, DWORD value, DWORD word);
  // 1 when a download was told to stop, 0 when none matched.
  int StopDownload(const char* path, DWORD word);

  // The main window closes: every thread ends (replays and downloads that
  // still run tell their peers), is waited for and deleted.
  void RemoveAll();

  size_t ReplayCount() const { return m_mapReplay.size(); }
  size_t ByDateCount() const { return m_mapReplayByDate.size(); }
  size_t DownloadCount() const { return m_mapDownload.size(); }

 private:
  CReplayThread* FindReplay(const char* path, DWORD word) const;
  CReplayByDateThread* FindByDate(const char* key, DWORD channel, DWORD word) const;

  DWORD m_nNextId = 1;
  std::map<DWORD, std::unique_ptr<CReplayThread>> m_mapReplay;
  std::map<DWORD, std::unique_ptr<CDownloadThread>> m_mapDownload;
  std::map<DWORD, std::unique_ptr<CReplayByDateThread>> m_mapReplayByDate;
};
