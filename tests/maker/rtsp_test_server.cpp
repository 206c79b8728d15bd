#include "rtsp_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "common/peer_lifetime.h"

RtspTestServer::~RtspTestServer() { Stop(); }

int RtspTestServer::FreePort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof(address);
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

bool RtspTestServer::Start(const std::string& script, int port, bool shared) {
  return Start(script, port, shared, {});
}

bool RtspTestServer::Start(const std::string& script, int port, bool shared,
                           const std::vector<std::string>& options) {
  Stop();
  port_ = port;
  std::vector<std::string> args = {"python3", script, std::to_string(port_)};
  if (shared) args.push_back("--shared");
  args.insert(args.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return false;
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    DieWithParentInChild(parent);
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    execv("/usr/bin/python3", argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  if (pid_ < 0) {
    close(pipeFds[0]);
    return false;
  }
  std::string output;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPeerStartMs);
  bool ready = false;
  while (!ready && std::chrono::steady_clock::now() < deadline) {
    pollfd wait{pipeFds[0], POLLIN, 0};
    if (poll(&wait, 1, 100) <= 0) continue;
    char buffer[256];
    ssize_t got = read(pipeFds[0], buffer, sizeof(buffer));
    if (got <= 0) break;
    output.append(buffer, got);
    size_t at = output.find("READY");
    ready = at != std::string::npos && output.find('\n', at) != std::string::npos;
  }
  close(pipeFds[0]);  // the server prints nothing more
  if (ready) {
    // "READY <port>" up to the end of its line.
    size_t at = output.find("READY") + 5;
    port_ = std::atoi(output.c_str() + at);
    ready = port_ > 0 && output.find('\n', at) != std::string::npos;
  }
  if (!ready) Stop();
  return ready;
}

void RtspTestServer::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

void RtspTestServer::Stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  for (int i = 0; i < 40; ++i) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  Kill();
}

std::string RtspTestServer::Url(const std::string& path) const {
  return "rtsp://127.0.0.1:" + std::to_string(port_) + path;
}
