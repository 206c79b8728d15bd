// The socket steps of the NVR link, on POSIX sockets.
#pragma once

#include <cstdint>
#include <string>

namespace nvr_socket {

// A TCP socket (IPv4) with SO_REUSEADDR, 307200-byte receive and send
// buffers, bound to any local address and port: its descriptor, or -1 (a
// socket that failed a step is closed).
int MakeBound();

void Close(int fd);

// The address of a host text: dotted IPv4 text as it stands, else the first
// IPv4 address of the name. `dotted` receives the address as "%d.%d.%d.%d"
// text; false (and INADDR_NONE) when the name does not resolve.
bool Resolve(const std::string& host, uint32_t& address, std::string& dotted);

enum class ConnectStep { kConnected, kPending, kNotNonBlocking, kFailed };
// Makes the socket non-blocking and starts connecting to address:port
// (address in network order).
ConnectStep StartConnect(int fd, uint32_t address, uint16_t port);

enum class Wait { kReady, kTimeout, kFailed };
// Waits at most `ms` for one of `events` (poll events); errors and hang-ups
// count as ready, so the caller's next step sees them.
Wait WaitFor(int fd, short events, int ms);

// The outcome of a connect that the socket reported writable: 0 when the
// connection stands, else the socket error.
int ConnectError(int fd);

// True when a connection to a port of this host met itself: a local port
// handed to the connecting socket equal to the closed port it asked for
// (TCP simultaneous open). Such a socket talks to nobody.
bool ConnectedToItself(int fd);

}  // namespace nvr_socket
