#include "harlen/link/protocol/nvr_link.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "harlen/link/protocol/nvr_frame_reader.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/protocol/nvr_request.h"
#include "harlen/link/protocol/nvr_socket.h"
#include "harlen/link/sections/ipc_head_info.h"

namespace {

constexpr int kSocketTries = 50;          // tries of 10 ms to make a socket, then give up
constexpr int kConnectRoundMs = 100;
constexpr int kConnectRounds = NVRMC_CONNECT_WAIT_MS / kConnectRoundMs;  // rounds waiting for a connection
constexpr int kIdleWaitMs = 200;          // receive wait between frames
constexpr int kFrameWaitMs = 50;          // receive wait inside a frame
constexpr int kSendWaitMs = 200;
constexpr int kSendStallRounds = NVRMC_SEND_STALL_MS / kSendWaitMs;  // the NVR taking nothing that long ends a send
constexpr int kMaxShortSends = 5;
constexpr int kRetryPauseMs = 10;

int MakeBoundSocket() {
  for (int attempt = 0; attempt < kSocketTries; ++attempt) {
    const int fd = nvr_socket::MakeBound();
    if (fd >= 0) return fd;
    std::this_thread::sleep_for(std::chrono::milliseconds(kRetryPauseMs));
  }
  return -1;
}

}  // namespace

CNVRMCInf::CNVRMCInf() = default;

CNVRMCInf::~CNVRMCInf() {
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    stop_ = true;
  }
  stateCv_.notify_all();
  Kill();  // joins the receive thread; nothing when it never ran
  DropSocket();
  ready_ = false;
}

int CNVRMCInf::Init() {
  if (ready_) return 0;
  const int fd = MakeBoundSocket();
  if (fd < 0) return -1;
  {
    std::lock_guard<std::mutex> lock(sendMutex_);
    nvr_socket::Close(socket_);
    socket_ = fd;
  }
  if (!IsRunning()) {
    stop_ = false;
    done_ = false;
    if (Start() != 0) return -1;
  }
  ready_ = true;
  return 0;
}

bool CNVRMCInf::HasSendBuffer() const {
  std::lock_guard<std::mutex> lock(sendMutex_);
  return !sendBuffer_.empty();
}

void CNVRMCInf::GiveSendBuffer(size_t size) {
  std::lock_guard<std::mutex> lock(sendMutex_);
  sendBuffer_.assign(size, 0);
}

bool CNVRMCInf::HasReplyCallback() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return callback_ != nullptr;
}

void CNVRMCInf::SetReplyCallback(NVRMCReplyCallback callback, void* user) {
  std::lock_guard<std::mutex> lock(stateMutex_);
  callback_ = callback;
  user_ = user;
}

std::string CNVRMCInf::HostText() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return hostText_;
}

uint16_t CNVRMCInf::Port() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return port_;
}

// ---- connecting

int CNVRMCInf::Connect(const char* host, uint16_t port) {
  if (!ready_) return -1;
  ConnectRequest request;
  request.pending = true;
  request.port = port;
  std::string dotted;
  if (nvr_socket::Resolve(host != nullptr ? host : "", request.address, dotted)) {
    request.text = dotted;
  } else {
    request.address = INADDR_NONE;
    request.keepText = true;
  }
  // The receive thread makes the connection, so that it alone ever replaces the socket.
  std::unique_lock<std::mutex> lock(stateMutex_);
  stateCv_.wait(lock, [this] { return !request_.pending || done_; });
  if (done_) return -1;
  request_ = request;
  stateCv_.notify_all();
  stateCv_.wait(lock, [this] { return request_.answered || done_; });
  return request_.answered ? request_.result : -1;
}

bool CNVRMCInf::ServeConnectRequest(NvrFrameReader& reader) {
  ConnectRequest request;
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!request_.pending) return false;
    request = request_;
  }
  reader.Reset();
  int fd = TakeIdleSocket();
  DropSocket();
  if (fd < 0) fd = MakeBoundSocket();
  int result = -1;
  if (fd >= 0) {
    result = ConnectSocket(fd, request.address, request.port, false);
    if (result == 0) {
      InstallSocket(fd);
    } else {
      nvr_socket::Close(fd);
    }
  }
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!request.keepText) hostText_ = request.text;
    port_ = request.port;
    hostKnown_ = true;  // from now on the thread keeps the link connected
    request_.pending = false;
    request_.answered = true;
    request_.result = result;
  }
  stateCv_.notify_all();
  return true;
}

int CNVRMCInf::ConnectSocket(int fd, uint32_t address, uint16_t port, bool yieldToOwner) {
  switch (nvr_socket::StartConnect(fd, address, port)) {
    case nvr_socket::ConnectStep::kConnected:
      return nvr_socket::ConnectedToItself(fd) ? -4 : 0;
    case nvr_socket::ConnectStep::kNotNonBlocking:
      return -2;
    case nvr_socket::ConnectStep::kFailed:
      return -4;
    case nvr_socket::ConnectStep::kPending:
      break;
  }
  for (int round = 0; round < kConnectRounds; ++round) {
    if (stop_ || (yieldToOwner && StopOrRequest())) return -4;
    switch (nvr_socket::WaitFor(fd, POLLOUT, kConnectRoundMs)) {
      case nvr_socket::Wait::kTimeout:
        continue;
      case nvr_socket::Wait::kFailed:
        return -3;
      case nvr_socket::Wait::kReady:
        // Writable also means refused: only a socket without an error is connected.
        // Retried every few milliseconds against a closed local port, a
        // connect can meet itself; that is no NVR either.
        return nvr_socket::ConnectError(fd) == 0 && !nvr_socket::ConnectedToItself(fd) ? 0 : -4;
    }
  }
  return -4;
}

int CNVRMCInf::Reconnect(NvrFrameReader& reader) {
  reader.Reset();
  if (!ready_) return -1;
  while (!StopOrRequest()) {
    DropSocket();
    const int fd = nvr_socket::MakeBound();
    if (fd < 0) {
      Pause(kRetryPauseMs);
      continue;
    }
    uint32_t address;
    uint16_t port;
    {
      std::lock_guard<std::mutex> lock(stateMutex_);
      std::string dotted;
      if (!nvr_socket::Resolve(hostText_, address, dotted)) address = INADDR_NONE;
      port = port_;
    }
    if (ConnectSocket(fd, address, port, true) == 0) {
      InstallSocket(fd);
      return 0;
    }
    nvr_socket::Close(fd);
    Pause(kRetryPauseMs);
  }
  return -1;
}

void CNVRMCInf::InstallSocket(int fd) {
  std::lock_guard<std::mutex> lock(sendMutex_);
  socket_ = fd;
  ++connections_;
  connected_ = true;
}

void CNVRMCInf::DropSocket() {
  std::lock_guard<std::mutex> lock(sendMutex_);
  connected_ = false;
  nvr_socket::Close(socket_);
  socket_ = -1;
}

int CNVRMCInf::TakeIdleSocket() {
  std::lock_guard<std::mutex> lock(sendMutex_);
  if (connected_ || socket_ < 0) return -1;
  const int fd = socket_;
  socket_ = -1;
  return fd;
}

bool CNVRMCInf::StopOrRequest() {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return stop_ || request_.pending;
}

void CNVRMCInf::Pause(int ms) {
  std::unique_lock<std::mutex> lock(stateMutex_);
  stateCv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_ || request_.pending; });
}

// ---- receiving

void* CNVRMCInf::Thread() {
  NvrFrameReader reader(NVRMC_RECV_CAPACITY);
  ThreadStarted();
  while (!stop_) {
    if (ServeConnectRequest(reader)) continue;
    if (!connected_) {
      bool hostKnown;
      {
        std::lock_guard<std::mutex> lock(stateMutex_);
        hostKnown = hostKnown_;
      }
      if (hostKnown) {
        Reconnect(reader);
      } else {
        Pause(kIdleWaitMs);  // not asked to connect yet
      }
      continue;
    }
    // socket_ changes on this thread only, so it is read here without the lock.
    const nvr_socket::Wait wait =
        nvr_socket::WaitFor(socket_, POLLIN, reader.InFrame() ? kFrameWaitMs : kIdleWaitMs);
    if (wait == nvr_socket::Wait::kTimeout) continue;
    if (wait == nvr_socket::Wait::kFailed || !ReadSocket(reader)) Reconnect(reader);
  }
  DropSocket();
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (request_.pending) {
      request_.pending = false;
      request_.answered = true;
      request_.result = -1;
    }
    done_ = true;
  }
  stateCv_.notify_all();
  return nullptr;
}

bool CNVRMCInf::ReadSocket(NvrFrameReader& reader) {
  uint8_t chunk[65536];
  const ssize_t n = recv(socket_, chunk, sizeof chunk, MSG_DONTWAIT);
  if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  if (n == 0) return false;  // the NVR closed the connection; a partial frame is abandoned
  size_t offset = 0;
  while (offset < static_cast<size_t>(n) && !stop_) {
    size_t used = 0;
    switch (reader.Feed(chunk + offset, static_cast<size_t>(n) - offset, used)) {
      case NvrFrameReader::Event::kFrame:
        DispatchReply(reader.Payload(), reader.PayloadLength());
        break;
      case NvrFrameReader::Event::kOversize:
        return false;  // more than the receiver holds: the stream is out of step, start afresh
      case NvrFrameReader::Event::kNeedMore:
        break;
    }
    offset += used;
  }
  return true;
}

void CNVRMCInf::DispatchReply(const uint8_t* payload, size_t length) {
  NvrReply reply;
  if (!ParseNvrReply(payload, length, reply)) return;
  NVRMCReplyCallback callback;
  void* user;
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    callback = callback_;
    user = user_;
  }
  if (callback == nullptr) return;
  callback(reply.command, reply.status, reply.argument, reply.hasData ? reply.data.c_str() : nullptr,
           reply.hasData ? static_cast<int>(reply.data.size()) : 0, user);
}

// ---- sending

template <class Write>
int CNVRMCInf::SendRequest(Write write) {
  std::lock_guard<std::mutex> lock(sendMutex_);
  if (!connected_ || socket_ < 0 || sendBuffer_.empty()) return -1;
  const int length = write(sendBuffer_.data(), sendBuffer_.size());
  if (length < 0) return -1;  // larger than the send buffer: refused, nothing written past it
  return SendFrame(static_cast<size_t>(length));
}

int CNVRMCInf::SendFrame(size_t frameLength) {
  const uint8_t* data = sendBuffer_.data();
  size_t sent = 0;
  int shortSends = 0;
  int stalledRounds = 0;
  for (;;) {
    const nvr_socket::Wait wait = nvr_socket::WaitFor(socket_, POLLOUT, kSendWaitMs);
    if (wait == nvr_socket::Wait::kTimeout) {
      if (++stalledRounds >= kSendStallRounds) break;
      continue;
    }
    stalledRounds = 0;
    const ssize_t n = wait == nvr_socket::Wait::kReady
                          ? send(socket_, data + sent, frameLength - sent, MSG_NOSIGNAL | MSG_DONTWAIT)
                          : -1;
    if (n > 0) sent += static_cast<size_t>(n);
    if (sent == frameLength) return 0;
    if (++shortSends > kMaxShortSends) break;
  }
  // Part of a frame went out: the NVR would read the next frame out of step, so
  // the connection is ended and the receive thread makes a fresh one.
  if (sent > 0) shutdown(socket_, SHUT_RDWR);
  return -2;
}

int CNVRMCInf::GetConfig(int section) {
  return SendRequest([&](uint8_t* b, size_t c) { return WriteGetConfigRequest(b, c, section); });
}

int CNVRMCInf::SetConfig(int section, const char* text, int length) {
  if (length < 0) return -1;
  return SendRequest([&](uint8_t* b, size_t c) {
    return WriteSetConfigRequest(b, c, section, text, static_cast<size_t>(length));
  });
}

int CNVRMCInf::RestoreDefault() {
  return SendRequest([&](uint8_t* b, size_t c) { return WriteRestoreDefaultRequest(b, c); });
}

int CNVRMCInf::SearchCameras() {
  return SendRequest([&](uint8_t* b, size_t c) { return WriteSearchCamerasRequest(b, c); });
}

int CNVRMCInf::SetIpcNetParam(IpcHeadInfo info) {
  return SendRequest([&](uint8_t* b, size_t c) { return WriteSetIpcNetParamRequest(b, c, info); });
}

int CNVRMCInf::SendControl(int code, const char* text, int length) {
  if (length < 0) return -1;
  return SendRequest([&](uint8_t* b, size_t c) {
    return WriteControlRequest(b, c, code, text, static_cast<size_t>(length));
  });
}

int CNVRMCInf::QueryStatus(int code) {
  return SendRequest([&](uint8_t* b, size_t c) { return WriteQueryStatusRequest(b, c, code); });
}
