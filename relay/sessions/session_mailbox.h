// The requests that a served replay's peer sends while the thread plays
// (speed, control code, key-table entry, jump): the UI thread posts them here
// and the serving thread takes them between two chunks, so a position change
// never falls between a chunk's header and its payload and no field is shared
// without a lock.
#pragma once

#include <mutex>
#include <vector>

#include "platform/win_types.h"

struct SessionRequest {
  enum Kind { kSpeed, kControl, kSeekIndex, kJump } kind = kSpeed;
  DWORD value = 0;
};

class SessionMailbox {
 public:
  // A peer that floods requests faster than chunks go out loses the oldest.
  static constexpr size_t kMaxWaiting = 64;

  void Post(SessionRequest request) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_requests.size() >= kMaxWaiting) m_requests.erase(m_requests.begin());
    m_requests.push_back(request);
  }
  std::vector<SessionRequest> TakeAll() {
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<SessionRequest> taken;
    taken.swap(m_requests);
    return taken;
  }

 private:
  std::mutex m_lock;
  std::vector<SessionRequest> m_requests;
};
