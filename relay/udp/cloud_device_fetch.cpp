#include "relay/udp/cloud_device_fetch.h"

#include <atomic>
#include <memory>
#include <new>
#include <utility>

#include "core/client_log.h"
#include "core/cloud_client.h"
#include "platform/post_message.h"
#include "relay/udp/udp_login_testing.h"

namespace {

constexpr int kCloudServicePort = 80;
std::atomic<int> g_cloudPortForTesting{0};

}  // namespace

int CloudDevicePort() {
  const int port = g_cloudPortForTesting.load();
  return port > 0 ? port : kCloudServicePort;
}

void SetCloudDevicePortForTesting(int port) { g_cloudPortForTesting = port; }

CCloudDeviceFetch::CCloudDeviceFetch(std::string host, int port, std::string user, std::string passwordDigest,
                                     std::string deviceId, HWND notifyWnd, long fetchId)
    : m_strHost(std::move(host)),
      m_nPort(port),
      m_strUser(std::move(user)),
      m_strPassword(std::move(passwordDigest)),
      m_strDeviceId(std::move(deviceId)),
      m_hNotifyWnd(notifyWnd),
      m_nFetchId(fetchId) {}

DWORD CCloudDeviceFetch::Run() {
  auto answer = std::make_unique<CloudDeviceAnswer>();
  answer->deviceId = m_strDeviceId;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCloudAnswerBufferSize]);
  if (buffer == nullptr) {
    answer->result = kCloudNoBodyBuffer;
  } else {
    int size = kCloudAnswerBufferSize;
    answer->result = CloudLoginEx(m_strHost.c_str(), m_nPort, m_strUser.c_str(), m_strPassword.c_str(),
                                  m_strDeviceId.c_str(), buffer.get(), &size);
    if (answer->result == kCloudOk) answer->answer.assign(buffer.get(), static_cast<size_t>(size));
  }
  WriteLog(6, "CCloudDeviceFetch::Run(): device %s asked of %s:%d, result=%d", m_strDeviceId.c_str(),
           m_strHost.c_str(), m_nPort, answer->result);
  PostObject(m_hNotifyWnd, WM_CLOUD_DEVICE_ANSWER, static_cast<WPARAM>(m_nFetchId), answer.release());
  return 0;
}
