#include "relay/remote_session_registry.h"

#include "core/thread_base.h"

void CRemoteSessionRegistry::RemoveAll() {
  for (auto* sessions : {&m_mapReplay, &m_mapReplayByDate, &m_mapDownload}) {
    for (auto& [id, thread] : *sessions) {
      thread->Stop();
      delete thread;
    }
    sessions->clear();
  }
}
