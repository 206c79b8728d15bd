// CUdpLogin: the cloud account's UDP login worker, created with the account's
// user name, password, server and port. Its window gets WM_UDP_LOGIN_STATUS and
// WM_UDP_DEVICE_LIST once the UDP login is built; until then the thread idles
// until it is stopped.
#pragma once

#include <atomic>
#include <string>

#include "core/thread_base.h"

class CUdpLogin : public CThread {
 public:
  CUdpLogin(std::string userName, std::string password, std::string server, int port);
  ~CUdpLogin() override { Stop(); }

  void SetNotifyWnd(HWND hwnd) { m_hNotifyWnd = hwnd; }
  HWND GetNotifyWnd() const { return m_hNotifyWnd; }

  DWORD Run() override;
  // Tells the thread to end, then waits for it.
  void Stop() override;

 private:
  std::string m_strUserName;
  std::string m_strPassword;
  std::string m_strServer;
  int m_nPort;
  HWND m_hNotifyWnd = nullptr;
  std::atomic<bool> m_bStop{false};
};
