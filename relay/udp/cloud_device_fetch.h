// CCloudDeviceFetch: asks the cloud account service for one device of the
// account (CloudLoginEx with its device id) on a thread of its own, so that a
// slow or silent service never holds up the window that asked. The answer goes
// to the notify window as WM_CLOUD_DEVICE_ANSWER (fetch id, heap
// CloudDeviceAnswer owned by the message). The exchange itself is bounded by
// the cloud client's waits, which also bound Stop.
#pragma once

#include <string>

#include "core/thread_base.h"
#include "platform/win_types.h"

constexpr UINT WM_CLOUD_DEVICE_ANSWER = WM_USER + 9102;

// The cloud account service's port for device fetches: 80 (a test may aim
// elsewhere, see udp_login_testing.h).
int CloudDevicePort();

struct CloudDeviceAnswer {
  std::string deviceId;
  int result = 0;      // CloudLoginEx's result; 0 = an answer was received
  std::string answer;  // the answer's XML text; empty unless result is 0
};

class CCloudDeviceFetch : public CThread {
 public:
  CCloudDeviceFetch(std::string host, int port, std::string user, std::string passwordDigest, std::string deviceId,
                    HWND notifyWnd, long fetchId);
  ~CCloudDeviceFetch() override { Stop(); }

  DWORD Run() override;

 private:
  std::string m_strHost;
  int m_nPort;
  std::string m_strUser;
  std::string m_strPassword;
  std::string m_strDeviceId;
  HWND m_hNotifyWnd;
  long m_nFetchId;
};
