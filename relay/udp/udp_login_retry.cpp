#include "relay/udp/udp_login_retry.h"

#include <algorithm>

DWORD UdpLoginRetry::NextDelay(bool wasAccepted) {
  if (wasAccepted) m_dwNextDelay = kFirstDelayMs;
  const DWORD delay = m_dwNextDelay;
  m_dwNextDelay = std::min<DWORD>(m_dwNextDelay * 2, kLongestDelayMs);
  return delay;
}
