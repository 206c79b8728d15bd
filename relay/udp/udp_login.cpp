#include "relay/udp/udp_login.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/client_log.h"
#include "platform/post_message.h"
#include "relay/relay_messages.h"
#include "relay/udp/udp_login_testing.h"
#include "relay/udp/udp_packet.h"

namespace {

// How long one wait on the socket may last: it also ends when Stop signals,
// and the clock is looked at again after each wait.
constexpr int kWaitMs = 50;

void CopyField(char* field, size_t size, const char* text) {
  std::snprintf(field, size, "%s", text != nullptr ? text : "");
}

void ReleaseNotice(LPARAM block) { delete[] reinterpret_cast<uint8_t*>(block); }

constexpr int kLoginServerPort = 6060;
std::atomic<int> g_loginPortForTesting{0};

}  // namespace

int UdpLoginPort() {
  const int port = g_loginPortForTesting.load();
  return port > 0 ? port : kLoginServerPort;
}

void SetUdpLoginPortForTesting(int port) { g_loginPortForTesting = port; }

CUdpLogin::CUdpLogin(const char* userName, const char* password, const char* host, int port)
    : m_nPort(static_cast<uint16_t>(port)) {
  CopyField(m_szUser, sizeof m_szUser, userName);
  CopyField(m_szPassword, sizeof m_szPassword, password);
  CopyField(m_szHost, sizeof m_szHost, host);
  m_hWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

CUdpLogin::~CUdpLogin() {
  Stop();
  if (m_hWake >= 0) close(m_hWake);
}

void CUdpLogin::Stop() {
  m_bRunning = false;
  if (m_hWake >= 0) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_hWake, &one, sizeof one);
  }
  CThread::Stop();
}

DWORD CUdpLogin::Now() const {
  if (m_tick) return m_tick();
  using namespace std::chrono;
  return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CUdpLogin::PostStatus(int status) {
  if (!m_bRunning) return;  // stopped: the owner no longer listens
  WriteLog(6, "CUdpLogin::Run(): session ended, status=%d, server=%s:%d", status, m_szHost, m_nPort);
  PostMessage(m_hNotifyWnd, WM_UDP_LOGIN_STATUS, static_cast<WPARAM>(status), 0);
}

DWORD CUdpLogin::Run() {
  RunSession();
  if (m_hSocket >= 0) {
    close(m_hSocket);
    m_hSocket = -1;
  }
  return 0;
}

void CUdpLogin::RunSession() {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  const int error = getaddrinfo(m_szHost, nullptr, &hints, &list);
  if (error != 0 || list == nullptr) {
    WriteLog(3, "CUdpLogin::Run(): cannot resolve the login server %s: %s", m_szHost, gai_strerror(error));
    if (list != nullptr) freeaddrinfo(list);
    PostStatus(kStatusNoHost);
    return;
  }
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_addr = reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr;
  server.sin_port = htons(m_nPort);
  freeaddrinfo(list);
  m_serverAddr = server.sin_addr.s_addr;
  char dotted[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &server.sin_addr, dotted, sizeof dotted);

  m_hSocket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (m_hSocket < 0) {
    WriteLog(3, "CUdpLogin::Run(): socket failed, errno=%d", errno);
    PostStatus(kStatusNoSocket);
    return;
  }

  const udplogin::LoginPacket login = udplogin::BuildLoginPacket(m_szUser, m_szPassword);
  // The session's clock starts as the login leaves (read first, so that an
  // answer can never come before it).
  m_dwLastAnswer = m_dwLastKeepAlive = Now();
  if (sendto(m_hSocket, login.data(), login.size(), 0, reinterpret_cast<const sockaddr*>(&server), sizeof server) < 0) {
    WriteLog(3, "CUdpLogin::Run(): sending the login to %s:%d failed, errno=%d", dotted, m_nPort, errno);
  } else {
    WriteLog(6, "CUdpLogin::Run(): login sent to %s:%d, user=%s", dotted, m_nPort, m_szUser);
  }

  uint8_t buffer[udplogin::kReadMax];
  while (m_bRunning) {
    pollfd fds[2] = {{m_hSocket, POLLIN, 0}, {m_hWake, POLLIN, 0}};
    const int ready = poll(fds, m_hWake >= 0 ? 2 : 1, kWaitMs);
    if (ready < 0 && errno != EINTR) {
      WriteLog(3, "CUdpLogin::Run(): waiting on the socket failed, errno=%d", errno);
      PostStatus(kStatusWaitFailed);
      return;
    }
    if (!m_bRunning) return;
    if (ready > 0 && (fds[0].revents & (POLLIN | POLLERR)) != 0) {
      sockaddr_in from{};
      socklen_t fromLength = sizeof from;
      const ssize_t length = recvfrom(m_hSocket, buffer, sizeof buffer, MSG_DONTWAIT,
                                      reinterpret_cast<sockaddr*>(&from), &fromLength);
      if (length < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        WriteLog(3, "CUdpLogin::Run(): receiving failed, errno=%d", errno);
        PostStatus(kStatusRecvFailed);
        return;
      }
      if (length >= 0) {
        if (from.sin_addr.s_addr == m_serverAddr) {
          HandleDatagram(buffer, static_cast<size_t>(length), Now());
        } else {
          WriteLog(6, "CUdpLogin::Run(): a datagram from another address than the server's is ignored");
        }
      }
    }
    const DWORD now = Now();
    if (now - m_dwLastKeepAlive >= kKeepAliveMs) {
      const udplogin::KeepAlivePacket keepAlive = udplogin::BuildKeepAlivePacket(m_dwSession1, m_dwSession2);
      if (sendto(m_hSocket, keepAlive.data(), keepAlive.size(), 0, reinterpret_cast<const sockaddr*>(&server),
                 sizeof server) < 0) {
        WriteLog(3, "CUdpLogin::Run(): sending the keep-alive failed, errno=%d", errno);
      }
      m_dwLastKeepAlive = now;
    }
    if (now - m_dwLastAnswer >= kSilenceMs) {
      PostStatus(kStatusNoKeepAliveAnswer);
      return;
    }
  }
}

void CUdpLogin::HandleDatagram(const uint8_t* data, size_t length, DWORD now) {
  const udplogin::Datagram datagram = udplogin::ReadDatagram(data, length);
  switch (datagram.kind) {
    case udplogin::Datagram::kNotice: {
      auto* copy = new (std::nothrow) uint8_t[udplogin::kNoticeSize];
      if (copy == nullptr) {
        WriteLog(3, "CUdpLogin::Run(): no memory for a device notice, dropped");
        return;
      }
      std::memcpy(copy, data, udplogin::kNoticeSize);
      if (m_bRunning) {
        PostMessage(m_hNotifyWnd, WM_UDP_DEVICE_LIST, 2, reinterpret_cast<LPARAM>(copy), ReleaseNotice);
      } else {
        delete[] copy;
      }
      return;
    }
    case udplogin::Datagram::kLoginAnswer:
      if (datagram.result == 0) {
        m_dwSession1 = datagram.session1;
        m_dwSession2 = datagram.session2;
        m_bLoggedIn = true;
        WriteLog(6, "CUdpLogin::Run(): login accepted");
      } else {
        WriteLog(3, "CUdpLogin::Run(): login refused, result=%u", datagram.result);
        PostStatus(kStatusRefused);
      }
      return;
    case udplogin::Datagram::kKeepAliveAnswer:
      m_dwLastAnswer = now;
      return;
    case udplogin::Datagram::kIgnored:
      if (length < udplogin::kHeaderSize || udplogin::ReadU16(data + 10) == udplogin::kCmdNotice ||
          udplogin::ReadU16(data + 10) == udplogin::kCmdLoginAnswer) {
        WriteLog(6, "CUdpLogin::Run(): a datagram of %d bytes is too short for its command, ignored",
                 static_cast<int>(length));
      }
      return;
  }
}
