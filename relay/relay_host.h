// What the relay service asks of the main window: the main window fills these
// hooks with its own members. An empty hook is skipped (a text hook gives "").
#pragma once

#include <functional>
#include <string>

#include "platform/win_types.h"
#include "relay/serving/relay_ptz_requests.h"
#include "relay/reports/device_state_host.h"

struct RelayDevice;
class CRemoteSessionRegistry;
class RelayRecordPageGate;
struct RelayDeviceEntry;
struct RelayAlarmRecord;

struct RelayHost {
  // The main window: the serving threads post their end messages to it.
  std::function<HWND()> MainWindow;
  // The registry of served sessions (the main window's); null: the handler keeps one.
  CRemoteSessionRegistry* pSessions = nullptr;
  // The record search page of the relay's answers (null: none).
  RelayRecordPageGate* pRecordPage = nullptr;
  // The PTZ-protocol plug-in the relay preset requests use.
  RelayPtzPlugin ptzPlugin;
  // Rebuilds the image of one device's item in the device lists (device name).
  std::function<void(const char* devName)> UpdateDevItem;
  // Stops and deletes the start-up thread and clears its slot.
  std::function<void()> StopStartThread;
  // Stops and deletes the relay login thread and clears its slot.
  std::function<void()> StopVemo2Login;
  // This client's MAC text (the left part of its relay device keys).
  std::function<std::string()> LocalMac;
  // True once the main window's close sequence began.
  std::function<bool()> IsClosing;
  // Rebuilds the device trees from g_lstDevInfo and g_lstVssInfo.
  std::function<void()> RefreshDevList;
  // Places an answered relay video: a pane of a grid whose patrol waits for
  // `paneKey`, else the main grid's free pane, else an extended grid's.
  std::function<void(const std::string& paneKey, const RelayDevice& device, DWORD mainId, DWORD subId,
                     const BYTE* videoParam, const BYTE* audioParam)>
      PlaceRelayVideo;
  // Closes the relay video of the first main-grid pane that shows the device
  // (its MAC and IP).
  std::function<void(const RelayDevice& device)> CloseRelayPane;
  // Clears the relay state of the main-grid panes that show the device, without
  // a close at the relay (its server is gone).
  std::function<void(const RelayDevice& device)> ResetRelayPanes;
  // CVistarelDlg::StopVemo2Watch: closes the panes that show the device (its
  // DevName and MAC) in every grid.
  std::function<void(const RelayDevice& device)> StopVemo2Watch;
  // A message of the device page's message box (string id, text filled with
  // `argument`), when that box exists.
  std::function<void(int stringId, const std::string& argument)> ShowDevicePageMessage;
  // True while the configuration manager's device page is on the screen.
  std::function<bool()> DevicePageShown;
  // Fills `shown` with the relay device whose video the main grid's selected
  // pane shows; false when it shows none.
  std::function<bool(RelayDeviceEntry& shown)> SelectedRelayDevice;
  // Hands a preset list text to the PTZ panel (as its WM_PTZ_RESPONSE).
  std::function<void(const char* text)> ShowPresetList;
  // A relay server's first device list arrived (its login handle).
  std::function<void(LONG login)> FirstDeviceList;
  // A peer's alarm for one of its devices (CAlarmListDlg::AddRemoteAlarm): the
  // relay device key "MAC:IP" (zero-terminated) and the alarm.
  std::function<void(const char* key, const RelayAlarmRecord* alarm)> AddRemoteAlarm;
  // What the device-state reports of this client's own devices ask.
  DeviceStateHost devices;
};
