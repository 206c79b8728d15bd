// CUdpLogin: the UDP login at the account's login server (port 6060), on a
// thread of its own.
//
// Run resolves the server, sends the login (udp_packet.h), then watches the
// socket: a keep-alive goes out every 7000 ms, and without a keep-alive answer
// for 15000 ms since the login or the last answer the session ends. The
// notify window hears of it by two posted messages:
//   WM_UDP_LOGIN_STATUS (status, 0) when the session fails: 2 the server's name
//     does not resolve, 3 no socket, 4 receiving fails, 5 waiting on the socket
//     fails, 6 no keep-alive answer in time (all of these end the thread), 7 the
//     login was refused (the session goes on; it ends with 6 unless keep-alive
//     answers come). 1, the socket library not starting, never happens here.
//   WM_UDP_DEVICE_LIST (2, heap copy of a device notice's first 1232 bytes),
//     which the message owns (released with delete[] after the receiver's
//     OnMessage returned).
// Datagrams from any other address than the server's are ignored.
//
// Stop clears the running flag and wakes the thread, then waits for it; the
// thread posts nothing after a stop. Tick differences are unsigned 32-bit
// differences, so they survive the tick counter's wrap.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "core/thread_base.h"
#include "platform/win_types.h"

// The login server's UDP port: 6060 (a test may aim elsewhere, see
// udp_login_testing.h).
int UdpLoginPort();

class CUdpLogin : public CThread {
 public:
  enum Status {
    kStatusNoSocketLibrary = 1,
    kStatusNoHost = 2,
    kStatusNoSocket = 3,
    kStatusRecvFailed = 4,
    kStatusWaitFailed = 5,
    kStatusNoKeepAliveAnswer = 6,
    kStatusRefused = 7,
  };
  static constexpr DWORD kKeepAliveMs = 7000;
  static constexpr DWORD kSilenceMs = 15000;

  // The texts are copied (each cut to its field); port is the server's UDP port.
  CUdpLogin(const char* userName, const char* password, const char* host, int port);
  ~CUdpLogin() override;

  void SetNotifyWnd(HWND hwnd) { m_hNotifyWnd = hwnd; }
  HWND GetNotifyWnd() const { return m_hNotifyWnd; }

  DWORD Run() override;
  void Stop() override;

  // True once the server accepted the login (its session words are kept).
  bool IsLoggedIn() const { return m_bLoggedIn.load(); }

  // The millisecond tick count the thread uses (default: a monotonic clock).
  // Set before Start.
  void SetTickSource(std::function<DWORD()> tick) { m_tick = std::move(tick); }

 private:
  void RunSession();
  void HandleDatagram(const uint8_t* data, size_t length, DWORD now);
  void PostStatus(int status);
  DWORD Now() const;

  char m_szUser[64] = {};
  char m_szPassword[64] = {};
  char m_szHost[260] = {};
  uint16_t m_nPort = 0;
  int m_hSocket = -1;
  int m_hWake = -1;  // an eventfd that Stop signals, so a wait ends at once
  std::atomic<bool> m_bRunning{true};
  std::atomic<bool> m_bLoggedIn{false};
  HWND m_hNotifyWnd = nullptr;
  DWORD m_dwLastAnswer = 0;
  DWORD m_dwLastKeepAlive = 0;
  DWORD m_dwSession1 = 0;
  DWORD m_dwSession2 = 0;
  uint32_t m_serverAddr = 0;  // network order
  std::function<DWORD()> m_tick;
};
