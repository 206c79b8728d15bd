#include "relay/sessions/remote_session_registry.h"

#include <cstring>

#include "core/client_log.h"
#include "pelk/pelk.h"
#include "relay/sessions/download_thread.h"
#include "relay/sessions/replay_by_date_thread.h"
#include "relay/sessions/replay_thread.h"

namespace {

// The path a request names against the thread's request path, both fields of
// PELK_PATH_SIZE bytes at most.
bool SamePath(const char* asked, const char (&own)[PELK_PATH_SIZE]) {
  return asked && std::strncmp(asked, own, PELK_PATH_SIZE) == 0;
}

template <class Thread>
BOOL Add(std::map<DWORD, std::unique_ptr<Thread>>& map, Thread* thread, DWORD* nextId) {
  if (!thread) return FALSE;
  thread->SetRegistryId(*nextId);
  map.emplace(*nextId, std::unique_ptr<Thread>(thread));
  ++*nextId;
  return TRUE;
}

template <class Thread>
void Remove(std::map<DWORD, std::unique_ptr<Thread>>& map, DWORD id, const char* kind) {
  auto found = map.find(id);
  if (found == map.end()) return;
  std::unique_ptr<Thread> thread = std::move(found->second);
  map.erase(found);
  if (thread) thread->Stop();
  WriteLog(6, "CRemoteSessionRegistry::Remove%sThread(): id=%u ended.", kind, id);
}

}  // namespace

CRemoteSessionRegistry::CRemoteSessionRegistry() = default;

CRemoteSessionRegistry::~CRemoteSessionRegistry() { RemoveAll(); }

BOOL CRemoteSessionRegistry::AddReplayThread(CReplayThread* thread) { return Add(m_mapReplay, thread, &m_nNextId); }
BOOL CRemoteSessionRegistry::AddDownloadThread(CDownloadThread* thread) {
  return Add(m_mapDownload, thread, &m_nNextId);
}
BOOL CRemoteSessionRegistry::AddByDateThread(CReplayByDateThread* thread) {
  return Add(m_mapReplayByDate, thread, &m_nNextId);
}

void CRemoteSessionRegistry::RemoveReplayThread(DWORD id) { Remove(m_mapReplay, id, "Replay"); }
void CRemoteSessionRegistry::RemoveDownloadThread(DWORD id) { Remove(m_mapDownload, id, "Download"); }
void CRemoteSessionRegistry::RemoveByDateThread(DWORD id) { Remove(m_mapReplayByDate, id, "ByDate"); }

CReplayThread* CRemoteSessionRegistry::FindReplay(const char* path, DWORD word) const {
  for (const auto& [id, thread] : m_mapReplay) {
    if (thread && thread->GetSessionId() == word && SamePath(path, thread->GetRequest().szPath)) return thread.get();
  }
  return nullptr;
}

CReplayByDateThread* CRemoteSessionRegistry::FindByDate(const char* key, DWORD channel, DWORD word) const {
  if (!key) return nullptr;
  for (const auto& [id, thread] : m_mapReplayByDate) {
    if (!thread) continue;
    const ReplayByDateRequest& request = thread->GetRequest();
    if (thread->GetSessionId() == word && request.dwChannel == channel &&
        std::strncmp(key, request.szDevKey, PELK_KEY_SIZE) == 0) {
      return thread.get();
    }
  }
  return nullptr;
}

void CRemoteSessionRegistry::SetReplaySpeed(const char* path, DWORD value, DWORD word) {
  if (CReplayThread* thread = FindReplay(path, word)) thread->SetSpeed(static_cast<int>(value));
}

void CRemoteSessionRegistry::ControlReplay(const char* path, DWORD value, DWORD word) {
  if (CReplayThread* thread = FindReplay(path, word)) thread->Control(static_cast<int>(value));
}

void CRemoteSessionRegistry::SeekReplayIndex(const char* path, DWORD value, DWORD word) {
  if (CReplayThread* thread = FindReplay(path, word)) thread->SeekIndex(value);
}

void CRemoteSessionRegistry::SetByDateSpeed(const char* key, DWORD channel, DWORD value, DWORD word) {
  if (CReplayByDateThread* thread = FindByDate(key, channel, word)) thread->SetSpeed(static_cast<int>(value));
}

void CRemoteSessionRegistry::ControlByDate(const char* key, DWORD channel, DWORD value, DWORD word) {
  if (CReplayByDateThread* thread = FindByDate(key, channel, word)) thread->Control(static_cast<int>(value));
}

void CRemoteSessionRegistry::SetByDateJump(const char* key, DWORD channel, DWORD value, DWORD word) {
  if (CReplayByDateThread* thread = FindByDate(key, channel, word)) thread->SetPendingJump(value);
}

int CRemoteSessionRegistry::StopDownload(const char* path, DWORD word) {
  for (const auto& [id, thread] : m_mapDownload) {
    if (thread && thread->GetSessionId() == word && SamePath(path, thread->GetRequest().szPath)) {
      thread->RequestStop();
      return 1;
    }
  }
  return 0;
}

void CRemoteSessionRegistry::RemoveAll() {
  // Every thread is told first, so they all end together; then each is waited for.
  for (auto& [id, thread] : m_mapReplay) {
    if (thread) thread->NotifyStopIfRunning();
  }
  for (auto& [id, thread] : m_mapReplayByDate) {
    if (thread) thread->Control(5);
  }
  for (auto& [id, thread] : m_mapDownload) {
    if (thread) thread->NotifyStopIfRunning();
  }
  auto drain = [](auto& map) {
    while (!map.empty()) {
      auto first = map.begin();
      auto thread = std::move(first->second);
      map.erase(first);
      if (thread) thread->Stop();
    }
  };
  drain(m_mapReplay);
  drain(m_mapReplayByDate);
  drain(m_mapDownload);
}
