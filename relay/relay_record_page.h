// What the relay service hands to the record search page: the answers to
// this client's own relay record searches, replays and downloads (from the
// relay messages, on the UI thread) and their data (from the relay library's
// callbacks, on its threads). The main window implements it over its page.
//
// RelayRecordPageGate holds the page for both: a call finds it or finds none,
// and the main window takes the page away (Set(nullptr)) before it destroys
// it, which waits for a call in progress on a library thread. The page's
// methods never wait for the UI thread, so that wait always ends.
#pragma once

#include <cstdint>
#include <mutex>
#include <shared_mutex>

#include "pelk/pelk.h"

class IRelayRecordPage {
 public:
  virtual ~IRelayRecordPage() = default;

  // --- UI thread ---
  virtual void OnSearchRecFileResult(const RelayReplaySearchResult* record) = 0;
  virtual void OnSearchRecByDateResult(const char* key, int channel, const char* dayMap, int year, int month,
                                       int day) = 0;
  virtual void OnReplayMediaParam(const BYTE* video, const BYTE* audio, int seconds, const char* name,
                                  const RelayReplaySession* session, LONG login) = 0;
  virtual void OnReplayFileEnd(const char* name) = 0;
  virtual void OnReplayByDateEnd(const char* key, int channel) = 0;
  virtual void OnDownloadFinish(const char* name) = 0;
  // A peer's search was forwarded to a device: its answer is the peer's.
  virtual void AddPendingRelaySearch(const ReplaySearchRequest* request, DWORD word) = 0;

  // --- relay library threads ---
  virtual LONG InputReplayData(LONG kind, const BYTE* data, LONG length, const RelayFrameInfo* info,
                               const char* name) = 0;
  virtual LONG InputReplayDataByDate(const char* key, DWORD unused, DWORD channel, LONG kind, const BYTE* data,
                                     LONG length, const RelayFrameInfo* info, const BYTE* video, const BYTE* audio,
                                     LONG attached, LONG seconds, DWORD start) = 0;
  virtual void OnDownloadData(const BYTE* data, LONG length, uint64_t received, uint64_t total,
                              const char* name) = 0;
};

class RelayRecordPageGate {
 public:
  // Waits for the calls in progress before a page goes away.
  void Set(IRelayRecordPage* page) {
    std::unique_lock<std::shared_mutex> lock(m_lock);
    m_pPage = page;
  }
  // Runs fn(page) while the page stays; `none` without a page.
  template <class Fn, class R>
  R With(Fn fn, R none) const {
    std::shared_lock<std::shared_mutex> lock(m_lock);
    return m_pPage ? fn(*m_pPage) : none;
  }
  bool HasPage() const {
    std::shared_lock<std::shared_mutex> lock(m_lock);
    return m_pPage != nullptr;
  }

 private:
  mutable std::shared_mutex m_lock;
  IRelayRecordPage* m_pPage = nullptr;
};
