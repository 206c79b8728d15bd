#include "relay/udp_login.h"

#include <chrono>
#include <thread>
#include <utility>

CUdpLogin::CUdpLogin(std::string userName, std::string password, std::string server, int port)
    : m_strUserName(std::move(userName)),
      m_strPassword(std::move(password)),
      m_strServer(std::move(server)),
      m_nPort(port) {}

DWORD CUdpLogin::Run() {
  while (!m_bStop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return 0;
}

void CUdpLogin::Stop() {
  m_bStop = true;
  CThread::Stop();
}
