// Starts tests/peers/rtsp_server.py on a free 127.0.0.1 port and stops it again.
#pragma once

#include <string>
#include <sys/types.h>

class RtspTestServer {
 public:
  RtspTestServer() = default;
  ~RtspTestServer();  // Stop
  RtspTestServer(const RtspTestServer&) = delete;
  RtspTestServer& operator=(const RtspTestServer&) = delete;

  // port 0: a free one. false when the server did not say it was ready.
  bool Start(const std::string& script, int port = 0);
  void Stop();
  void Kill();  // SIGKILL, as a server that dies
  int Port() const { return port_; }
  std::string Url(const std::string& path) const;

  static int FreePort();

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};
