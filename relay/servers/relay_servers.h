// The relay servers this client logged in to: the main window's handlers of
// their login results, device lists, device states, video answers and the end
// of their connections. UI thread; every handler gives its records back.
#pragma once

#include <string>

#include "pelk/pelk.h"
#include "relay/relay_host.h"

struct Vemo2Node;
struct RelayDevice;

class CRelayServers {
 public:
  explicit CRelayServers(const RelayHost& host) : m_host(host) {}

  // WM_VSS_LOGIN_RESULT: (record, 0) keeps a copy of the server when its device
  // list could be asked for; (0, 1) ends the login thread. The record is freed.
  void OnVssLoginResult(Vemo2Node* record, LPARAM end);
  // WM_RELAY_DEVICE_LIST: takes in a server's list (lParam its login handle).
  void OnRelayDeviceList(RelayDeviceListRecord* record, LONG login);
  // WM_RELAY_DEVICE_STATE: a device went on- or offline, or its recording
  // started or stopped (lParam the event).
  void OnRelayDeviceState(RelayDeviceStateRecord* record, LONG event);
  // WM_RELAY_SERVER_CLOSED: the server's connection ended.
  void OnRelayServerClosed(LONG login);
  // WM_RELAY_CHANNEL_NOTIFY: the answer to this client's own video invitation.
  void OnRelayChannelNotify(RelayVideoAnswer* record);
  // WM_RELAY_PRESET_LIST_ANSWER: the preset list of a relay device goes to the
  // PTZ panel while the main grid's selected pane shows that device.
  void OnRelayPresetListAnswer(RelayPresetListAnswer* record);

  // True when the device must not be taken into a server's list: no IP or
  // MAC, this client's own MAC, listed already by another server than
  // `excludedLogin`, or (on the inner network) a local device's address.
  bool IsRelayDeviceKnown(const char* ip, const char* mac, LONG excludedLogin, bool inner) const;

 private:
  std::string LocalMac() const { return m_host.LocalMac ? m_host.LocalMac() : std::string(); }
  bool Closing() const { return m_host.IsClosing && m_host.IsClosing(); }
  void Refresh() const {
    if (m_host.RefreshDevList) m_host.RefreshDevList();
  }

  RelayHost m_host;
};

