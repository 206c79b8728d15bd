// Starts and stops tests/peers/udp_login_server.py, sends it commands and
// collects the datagrams it received.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <string>
#include <vector>

class UdpLoginServerProcess {
 public:
  explicit UdpLoginServerProcess(const char* mode);
  ~UdpLoginServerProcess();
  UdpLoginServerProcess(const UdpLoginServerProcess&) = delete;
  UdpLoginServerProcess& operator=(const UdpLoginServerProcess&) = delete;

  int Port() const { return port_; }
  // Sends one command line; its answer ("OK", "NOCLIENT", ...), "" on a time-out.
  std::string Command(const std::string& line);
  // Waits until at least `count` datagrams arrived (up to `ms`); all received so far.
  const std::vector<QByteArray>& WaitReceived(size_t count, int ms = 10000);
  const std::vector<QByteArray>& Received() { return WaitReceived(0, 0); }

 private:
  // Reads what the server printed; false when nothing came within `ms`.
  bool ReadLines(int ms);

  QProcess process_;
  QByteArray pending_;
  std::vector<QByteArray> received_;
  std::vector<std::string> answers_;
  int port_ = 0;
};
