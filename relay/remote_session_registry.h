// CRemoteSessionRegistry: the sessions this client serves to remote peers
// (replay, replay by date, download), each a worker thread owned here from
// its start until it is removed.
#pragma once

#include <map>

class CThread;

class CRemoteSessionRegistry {
 public:
  CRemoteSessionRegistry() = default;
  ~CRemoteSessionRegistry() { RemoveAll(); }
  CRemoteSessionRegistry(const CRemoteSessionRegistry&) = delete;
  CRemoteSessionRegistry& operator=(const CRemoteSessionRegistry&) = delete;

  // Stops (CThread::Stop), deletes and erases every thread of the three maps.
  void RemoveAll();

  // Keyed by the relay session word.
  std::map<long, CThread*> m_mapReplay;
  std::map<long, CThread*> m_mapReplayByDate;
  std::map<long, CThread*> m_mapDownload;
};
