// Starts and stops tests/peers/cloud_server.py and reads the requests it saw.
#pragma once

#include <QProcess>
#include <string>
#include <vector>

#include "common/temp_folder.h"

class CloudServerProcess {
 public:
  // `deviceAnswer`: a file whose text answers the logins that ask for one device.
  explicit CloudServerProcess(const char* mode, const std::string& deviceAnswer = {});
  ~CloudServerProcess();
  CloudServerProcess(const CloudServerProcess&) = delete;
  CloudServerProcess& operator=(const CloudServerProcess&) = delete;

  int Port() const { return port_; }
  // Every request received so far, raw, in arrival order.
  std::vector<std::string> Requests() const;

 private:
  TempFolder folder_;
  QProcess process_;
  int port_ = 0;
};

// A port on 127.0.0.1 where nothing listens.
int ClosedPort();
