#include "harlen/link/protocol/nvr_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "harlen/link/xml/text_codec.h"

namespace nvr_socket {

namespace {

constexpr int kBufferBytes = 307200;

bool SetOption(int fd, int name, int value) {
  return setsockopt(fd, SOL_SOCKET, name, &value, sizeof value) == 0;
}

}  // namespace

int MakeBound() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = 0;
  if (!SetOption(fd, SO_REUSEADDR, 1) || !SetOption(fd, SO_RCVBUF, kBufferBytes) ||
      !SetOption(fd, SO_SNDBUF, kBufferBytes) || bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void Close(int fd) {
  if (fd >= 0) close(fd);
}

bool Resolve(const std::string& host, uint32_t& address, std::string& dotted) {
  address = inet_addr(host.c_str());
  if (address != INADDR_NONE) {
    dotted = host;
    return true;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (host.empty() || getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  dotted = IpToString(address);
  return true;
}

ConnectStep StartConnect(int fd, uint32_t address, uint16_t port) {
  const int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return ConnectStep::kNotNonBlocking;
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_addr.s_addr = address;
  peer.sin_port = htons(port);
  if (connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0) return ConnectStep::kConnected;
  return errno == EINPROGRESS ? ConnectStep::kPending : ConnectStep::kFailed;
}

Wait WaitFor(int fd, short events, int ms) {
  pollfd p{fd, events, 0};
  const int r = poll(&p, 1, ms);
  if (r < 0) return errno == EINTR ? Wait::kTimeout : Wait::kFailed;
  if (r == 0) return Wait::kTimeout;
  return (p.revents & POLLNVAL) != 0 ? Wait::kFailed : Wait::kReady;
}

int ConnectError(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
  return error;
}

bool ConnectedToItself(int fd) {
  sockaddr_in local{};
  sockaddr_in peer{};
  socklen_t localLength = sizeof local;
  socklen_t peerLength = sizeof peer;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) != 0) return false;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0) return false;
  return local.sin_family == AF_INET && peer.sin_family == AF_INET && local.sin_port == peer.sin_port &&
         local.sin_addr.s_addr == peer.sin_addr.s_addr;
}

}  // namespace nvr_socket
