// CLoginServerDevices: what the main window does with the device notices of
// the account's login server (relay/udp/udp_device_notice.h).
//
// 100001001, a device was added to the account: the device is asked of the
// cloud account service (the login server's address, port 80, the current
// user and password digest, CloudDevicePort()) on a fetch thread; its answer, back on the UI
// thread, adds the device unless it has no address or its serial number is
// listed already: group "Default", "cif", RTP over RTSP 1 (an NVR: visit mode
// 1 and RTP over RTSP 2), the application's messaging control and two new
// stream objects; with a login name and password it is registered with the
// messaging control and gets the clock synchronisation. The record is appended
// to g_lstDevInfo under g_csAppData and the device trees are rebuilt.
//
// 100001004, a device has new addresses: every record of that device id takes
// the new address, PTZ port and video port in place (a copy beside the old
// record would list the device twice); its registration is replaced by one
// at the new address.
//
// A device already being asked for is not asked for again, and at most
// kMaxFetches devices are asked for at a time: a server that floods notices
// gets no thread or request storm (what is past the limit is logged and
// dropped; the server announces a device again when it is asked again).
//
// Passwords are masked in every log line. Runs on the UI thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/dev_info.h"
#include "core/user_settings.h"
#include "platform/win_types.h"

class CCloudDeviceFetch;
class CStrevaCtrl;
struct CloudDeviceAnswer;

// The application's controls a new device record gets.
struct NoticeDeviceControls {
  CGimbroCtrl* gimbro = nullptr;
  CGimbroEvents* sink = nullptr;
  CStrevaCtrl* streva = nullptr;
  SyncTimeInfo sync{};
};

class CLoginServerDevices {
 public:
  static constexpr size_t kMaxFetches = 8;

  // `notifyWnd` receives the fetch answers (WM_CLOUD_DEVICE_ANSWER) and hands
  // them to OnCloudAnswer; `controls` gives the controls at the time a device
  // is added; `refreshDevList` rebuilds the device trees.
  CLoginServerDevices(HWND notifyWnd, std::function<NoticeDeviceControls()> controls,
                      std::function<void()> refreshDevList);
  // Waits for the fetches still running.
  ~CLoginServerDevices();
  CLoginServerDevices(const CLoginServerDevices&) = delete;
  CLoginServerDevices& operator=(const CLoginServerDevices&) = delete;

  // WM_UDP_DEVICE_LIST: `kind` is the message's wParam (only 2 is a notice),
  // `block` its 1232-byte copy.
  void OnDeviceNotice(WPARAM kind, const uint8_t* block, size_t length);
  // WM_CLOUD_DEVICE_ANSWER of the fetch `fetchId`.
  void OnCloudAnswer(long fetchId, const CloudDeviceAnswer& answer);

  // The number of fetches not yet answered.
  size_t PendingFetches() const { return m_mapFetch.size(); }

 private:
  void FetchDevice(const std::string& deviceId);
  void AddDevice(DevInfo device);
  void UpdateAddresses(const std::string& deviceId, const std::string& text);

  HWND m_hNotifyWnd;
  std::function<NoticeDeviceControls()> m_controls;
  std::function<void()> m_refreshDevList;
  long m_nNextFetchId = 1;
  struct Fetch {
    std::string deviceId;
    std::unique_ptr<CCloudDeviceFetch> thread;
  };
  std::map<long, Fetch> m_mapFetch;
};
