// CRelayMessageHandler: the main window's handlers of the relay service's
// messages (device status and reports of the device-messaging sink, relay
// logins, served-session ends, the start-up thread's end, UDP login and the
// relay library's messages WM_USER+8000 to +8064). The peer's user check,
// device list and live video are served here; the relay servers' lists,
// states, video answers and connection ends go to CRelayServers. Requests not
// served yet only give their records back.
//
// A heap text posted in lParam belongs to its message and is freed after the
// handler returned; a relay library record in wParam is given back here with
// Pelk_Delete (record, 1). Runs on the UI thread.
#pragma once

#include <utility>

#include "platform/win_types.h"
#include "relay/relay_host.h"
#include "relay/reports/device_state_reports.h"
#include "relay/servers/relay_servers.h"

class CRelayMessageHandler {
 public:
  explicit CRelayMessageHandler(RelayHost host)
      : m_host(std::move(host)), m_servers(m_host), m_reports(m_host.devices, [this] { return LocalMac(); }) {}

  // TRUE when `msg` is one of the relay service's messages (handled, result
  // in *result when given); FALSE leaves it to the caller.
  BOOL HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);

 private:
  // The relay library's messages.
  BOOL HandleRelayMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
  std::string LocalMac() const { return m_host.LocalMac ? m_host.LocalMac() : std::string(); }

  RelayHost m_host;
  CRelayServers m_servers;
  CDeviceStateReports m_reports;
};
