// What the device-state reports ask of the main window: its device lists,
// alarm list, panes, maintenance page and map. The main window fills these
// hooks; an empty hook is skipped.
#pragma once

#include <functional>
#include <string>

struct DevInfo;

struct DeviceStateHost {
  // Refreshes the device images of the device lists.
  std::function<void()> UpdateDevIcons;
  // Rebuilds the items of one device (its name) in the device lists.
  std::function<void(const char* devName)> UpdateDevItem;
  // Rebuilds the device lists from g_lstDevInfo (no item keeps a removed record).
  std::function<void()> RefreshDevList;
  // Adds an online (2) or offline (1) entry of the device to the alarm list.
  std::function<void(DevInfo& dev, int alarmType)> AddStatusAlarm;
  // Stops every pane of every grid that shows the device.
  std::function<void(const DevInfo& dev)> StopPanesShowing;
  // The device went offline: every pane of every grid that shows it stops
  // and waits for it to come back.
  std::function<void(const DevInfo& dev)> StopPanesUntilOnline;
  // The device is back online: the panes that wait for it open it again.
  std::function<void(const DevInfo& dev)> ReopenWaitingPanes;
  // The maintenance page forgets the device (its IP address).
  std::function<void(const char* ip)> RemoveFromMaintenance;
  // The open map loses the device's camera point (its device name).
  std::function<void(const char* devName)> RemoveMapPoint;
  // The talk the device answered (on) or refused (off) is shown by the first
  // window that shows the device; false when none does.
  std::function<bool(const DevInfo& dev, bool on)> SetSpeakStatus;
  // "Speak failed!" in the message box of the window that showed the talk.
  std::function<void()> SpeakFailed;
};
