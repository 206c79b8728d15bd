// CRelayMessageHandler: the main window's handlers of the relay service's
// messages (device status and reports of the device-messaging sink, relay
// logins, served-session ends, the start-up thread's end and the relay
// library's messages WM_USER+8000 to +8064). The UDP login's status and device
// notices are the main window's own (it handles them before this handler). A peer's requests are
// served here (user check, device list, live video, record searches, replays,
// downloads, PTZ); the relay servers' lists, states, video answers and
// connection ends go to CRelayServers; the answers to this client's own record
// searches, replays and downloads go to the record search page.
//
// A heap text posted in lParam belongs to its message and is freed after the
// handler returned; a relay library record in wParam is given back here with
// Pelk_Delete (record, 1). Runs on the UI thread.
#pragma once

#include <memory>
#include <utility>

#include "platform/win_types.h"
#include "relay/relay_host.h"
#include "relay/reports/device_state_reports.h"
#include "relay/servers/relay_servers.h"
#include "relay/serving/relay_record_requests.h"
#include "relay/sessions/serving_relay.h"

class CRemoteSessionRegistry;

class CRelayMessageHandler {
 public:
  explicit CRelayMessageHandler(RelayHost host);
  ~CRelayMessageHandler();

  // TRUE when `msg` is one of the relay service's messages (handled, result
  // in *result when given); FALSE leaves it to the caller.
  BOOL HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);

 private:
  // The relay library's messages.
  BOOL HandleRelayMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // The answers to this client's own record searches, replays and downloads,
  // handed to the record search page; TRUE when `msg` was one of them.
  BOOL HandleRecordPageMessage(UINT msg, void* record, LPARAM lParam);
  std::string LocalMac() const { return m_host.LocalMac ? m_host.LocalMac() : std::string(); }

  RelayHost m_host;
  CRelayServers m_servers;
  CDeviceStateReports m_reports;
  std::unique_ptr<CRemoteSessionRegistry> m_ownSessions;  // when the host gives none
  PelkServingRelay m_servingRelay;
  CRelayRecordServing m_records;
};
