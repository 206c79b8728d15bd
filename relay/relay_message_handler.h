// CRelayMessageHandler: the main window's handlers of the relay service's
// messages (device status and reports of the device-messaging sink, relay
// logins, served-session ends, the start-up thread's end, UDP login and the
// relay library's messages WM_USER+8000 to +8064).
//
// A heap text posted in lParam belongs to its message and is freed after the
// handler returned; a relay library record in wParam is given back here with
// Pelk_Delete (record, 1). Runs on the UI thread.
#pragma once

#include "platform/win_types.h"
#include <utility>

#include "relay/relay_host.h"

class CRelayMessageHandler {
 public:
  explicit CRelayMessageHandler(RelayHost host) : m_host(std::move(host)) {}

  // TRUE when `msg` is one of the relay service's messages (handled, result
  // in *result when given); FALSE leaves it to the caller.
  BOOL HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);

 private:
  // WM_DEVSTATUSRESPONSE: GimbroId and status code. Login ok (4) marks the
  // device records with that GimbroId online, lost (2), unreachable (3) and
  // refused (5) offline; each such record's item is re-imaged.
  void OnDevStatusResponse(LONG gimbroId, LONG code);

  RelayHost m_host;
};
