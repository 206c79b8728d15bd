// The device states of this client's own devices as its relay peers see
// them: the main window's handlers of the device-messaging control's status
// events, NVR channel counts and NVR channel-state texts. They keep the online
// word of the records in g_lstDevInfo, refresh the device lists and report
// every change with Pelk_ReportDeviceState (key "MAC:IP" of this client's MAC
// and the device's address), or Pelk_NotifyUpdateDeviceList when the set of
// channels changed.
//
// UI thread. The records are read without g_csAppData (the UI thread is the
// only one that adds or removes records); online words and channel lists are
// changed under it, since the recording thread reads them on its own.
#pragma once

#include <functional>
#include <string>

#include "platform/win_types.h"
#include "relay/reports/device_state_host.h"

struct DevInfo;

class CDeviceStateReports {
 public:
  CDeviceStateReports(const DeviceStateHost& host, std::function<std::string()> localMac)
      : m_host(host), m_localMac(std::move(localMac)) {}

  // WM_DEVSTATUSRESPONSE: login succeeded (4) or the device went offline (5,
  // 3, 2) for the records with this GimbroId; a talk started (6) or was
  // refused (7), shown by the window that shows the device. The panes of a
  // single device that goes offline wait for it and open it again at its
  // next login. Returns 1.
  LRESULT OnDevStatusResponse(LONG gimbroId, LONG code);
  // WM_DEVCHANNELSCHANGED: an NVR's channel count (decimal text, may be null);
  // missing channel records are made, channels past the count removed.
  void OnDevChannelList(LONG gimbroId, const char* text);
  // WM_DEVSTATEREPORT: one digit per channel of an NVR (the first is channel
  // 1), the channels' online states. Returns 1.
  LRESULT OnDevStateReport(LONG gimbroId, const char* text);

  // Removes the channels of `nvr`'s DevId with a channel number above
  // nvr.NVRChannels, stopping what they record and show; notifies the relay
  // once when any was removed. Takes g_csAppData for the removal.
  void RemoveExtraNvrChannels(const DevInfo& nvr);
  // True when g_lstDevInfo holds a record with the same DevId and DevName.
  static bool IsDevRecordPresent(const DevInfo& record);

  // The report key of a device: this client's MAC, ':' and its IPAddr.
  std::string ReportKey(const DevInfo& dev) const;

 private:
  void Report(const DevInfo& dev, LONG channel, LONG state) const;
  void SetOnline(DevInfo& dev, int online) const;
  void SingleDeviceStatus(DevInfo& dev, bool login);
  void VideoServerStatus(DevInfo& reporting, bool login);
  void NvrStatus(DevInfo& nvr, LONG code);
  void TalkAnswer(DevInfo& dev, bool started);
  void AskSystemVersion(DevInfo& dev, const char* logFormat) const;
  // Registers a new channel record with the device-messaging control and gives
  // it its own stream objects.
  static void AttachChannel(DevInfo& channel);
  static void ReleaseChannelStreams(DevInfo& channel);

  void Call(const std::function<void()>& hook) const {
    if (hook) hook();
  }

  const DeviceStateHost& m_host;
  std::function<std::string()> m_localMac;
};
