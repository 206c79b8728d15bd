// Starts tests/peers/rtsp_server.py on 127.0.0.1 and stops it again.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class RtspTestServer {
 public:
  RtspTestServer() = default;
  ~RtspTestServer();  // Stop
  RtspTestServer(const RtspTestServer&) = delete;
  RtspTestServer& operator=(const RtspTestServer&) = delete;

  // port 0: the server takes a free one (Port() tells which). false when the
  // server did not say it was ready. shared: clients of a path share one encoder.
  bool Start(const std::string& script, int port = 0, bool shared = false);
  // The same with more options for the server (e.g. "--camera-video", "mpeg4").
  bool Start(const std::string& script, int port, bool shared, const std::vector<std::string>& options);
  void Stop();
  void Kill();  // SIGKILL, as a server that dies
  int Port() const { return port_; }
  std::string Url(const std::string& path) const;

  // A port that was free a moment ago (nothing listens there).
  static int FreePort();

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};
