// How long the main window waits before it starts the UDP login again after a
// failure. A server that cannot be reached would otherwise get a new thread
// and a new login packet at once after every failure: the wait starts at 1 s
// and doubles with each failure in a row, up to 60 s; a session whose login
// the server had accepted starts the count again.
#pragma once

#include "platform/win_types.h"

class UdpLoginRetry {
 public:
  static constexpr DWORD kFirstDelayMs = 1000;
  static constexpr DWORD kLongestDelayMs = 60000;

  // The wait before the next login, after a session that ended in a failure;
  // `wasAccepted`: the server had accepted that session's login.
  DWORD NextDelay(bool wasAccepted);

 private:
  DWORD m_dwNextDelay = kFirstDelayMs;
};
