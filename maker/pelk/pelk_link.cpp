#include "pelk/pelk_link.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "pelk/pelk_log.h"
#include "pelk/pelk_wire.h"

namespace pelk {

namespace {

using Clock = std::chrono::steady_clock;

int MsSince(Clock::time_point then) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - then).count());
}

constexpr size_t kReadChunk = 256 * 1024;
constexpr size_t kBatchFrames = 64;
constexpr int kPollSliceMs = 500;

}  // namespace

Link::Link(int fd, uint32_t id, LinkTiming timing, QueueLimits limits, bool loggedIn)
    : fd_(fd), id_(id), timing_(timing), limits_(limits), loggedIn_(loggedIn) {
  const int flags = fcntl(fd_, F_GETFL, 0);
  fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
  const int one = 1;
  setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (getpeername(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0 && address.sin_family == AF_INET) {
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    peer_ = std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
    peerAddress_ = ntohl(address.sin_addr.s_addr);
  }
  sockaddr_in local{};
  length = sizeof local;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) == 0 && local.sin_family == AF_INET)
    localAddress_ = ntohl(local.sin_addr.s_addr);
  inBuffer_.resize(kReadChunk);
  started_ = lastReceive_ = Clock::now();
}

Link::~Link() {
  Close("destroyed");
  Join();
}

void Link::Start(LinkHandler* handler) {
  handler_ = handler;
  reader_ = std::thread([this] { ReadLoop(); });
  writer_ = std::thread([this] { WriteLoop(); });
}

bool Link::Send(std::vector<uint8_t> frame, SendClass cls, int waitMs) {
  std::unique_lock<std::mutex> lock(queueMutex_);
  if (closed_) return false;
  const size_t size = frame.size();
  switch (cls) {
    case SendClass::kLive:
      if (queuedBytes_ + size > limits_.liveBytes) return false;
      break;
    case SendClass::kBulk: {
      const auto room = [&] { return closed_ || queuedBytes_ + size <= limits_.bulkBytes; };
      if (!spaceCv_.wait_for(lock, std::chrono::milliseconds(waitMs), room) || closed_) return false;
      break;
    }
    case SendClass::kControl:
      if (queuedBytes_ + size > limits_.hardBytes) {
        lock.unlock();
        qCWarning(lcPelk) << "relay peer" << peer_.c_str() << "reads too slowly: more than"
                          << limits_.hardBytes << "bytes wait; dropping it";
        Close("send queue over its limit");
        return false;
      }
      break;
  }
  queuedBytes_ += size;
  queue_.push_back(std::move(frame));
  queueCv_.notify_one();
  return true;
}

void Link::Close(const char* reason) {
  bool expected = false;
  if (!closed_.compare_exchange_strong(expected, true)) return;
  closeReason_ = reason;
  shutdown(fd_, SHUT_RDWR);
  std::lock_guard<std::mutex> lock(queueMutex_);
  queueCv_.notify_all();
  spaceCv_.notify_all();
}

void Link::CloseWhenSent(const char* reason) {
  std::lock_guard<std::mutex> lock(queueMutex_);
  closeWhenSentReason_ = reason;
  closeWhenSent_ = true;
  queueCv_.notify_all();
}

void Link::WaitDispatchIdle() {
  if (std::this_thread::get_id() == readerId_) return;
  std::lock_guard<std::mutex> lock(dispatchMutex_);
}

void Link::Join() {
  const auto self = std::this_thread::get_id();
  if (reader_.joinable() && reader_.get_id() != self) reader_.join();
  if (writer_.joinable() && writer_.get_id() != self) writer_.join();
  if (!reader_.joinable() && !writer_.joinable() && fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

bool Link::Fill(size_t count) {
  if (inStart_ > 0 && inBuffer_.size() - inStart_ < count) {
    std::move(inBuffer_.begin() + static_cast<long>(inStart_), inBuffer_.begin() + static_cast<long>(inEnd_),
              inBuffer_.begin());
    inEnd_ -= inStart_;
    inStart_ = 0;
  }
  if (inBuffer_.size() < count) inBuffer_.resize(count);
  while (inEnd_ - inStart_ < count) {
    if (closed_) return false;
    pollfd poller{fd_, POLLIN, 0};
    const int ready = poll(&poller, 1, kPollSliceMs);
    if (ready < 0 && errno != EINTR) {
      Close("poll failed");
      return false;
    }
    if (ready <= 0) {
      if (!loggedIn_ && MsSince(started_) > timing_.loginMs) {
        qCWarning(lcPelk) << "relay peer" << peer_.c_str() << "did not complete its login in time; dropping it";
        Close("login not completed in time");
        return false;
      }
      if (MsSince(lastReceive_) > timing_.deadAfterMs) {
        qCWarning(lcPelk) << "relay peer" << peer_.c_str() << "sent nothing for" << timing_.deadAfterMs
                          << "ms; dropping it";
        Close("peer silent");
        return false;
      }
      continue;
    }
    const ssize_t got = recv(fd_, inBuffer_.data() + inEnd_, inBuffer_.size() - inEnd_, 0);
    if (got == 0) {
      Close("closed by the peer");
      return false;
    }
    if (got < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
      Close("receive failed");
      return false;
    }
    inEnd_ += static_cast<size_t>(got);
    lastReceive_ = Clock::now();
  }
  return true;
}

void Link::ReadLoop() {
  pthread_setname_np(pthread_self(), "pelkread");
  readerId_ = std::this_thread::get_id();
  while (!closed_) {
    if (!Fill(kHeaderSize)) break;
    FrameHeader header;
    const HeaderCheck check =
        ParseHeader(inBuffer_.data() + inStart_, loggedIn_ ? kMaxPayload : kMaxLoginPayload, &header);
    if (check != HeaderCheck::kOk) {
      qCWarning(lcPelk) << "relay peer" << peer_.c_str() << "sent a bad frame (" << HeaderCheckText(check)
                        << ", length" << header.length << "); dropping it";
      Close("bad frame");
      break;
    }
    if (!Fill(kHeaderSize + header.length)) break;
    {
      std::lock_guard<std::mutex> lock(dispatchMutex_);
      if (closed_) break;
      handler_->OnFrame(*this, header.type, inBuffer_.data() + inStart_ + kHeaderSize, header.length);
    }
    inStart_ += kHeaderSize + header.length;
    if (inStart_ == inEnd_) inStart_ = inEnd_ = 0;
    // A buffer grown for one large frame goes back to its usual size.
    if (inStart_ == 0 && inEnd_ == 0 && inBuffer_.size() > kReadChunk) {
      inBuffer_.resize(kReadChunk);
      inBuffer_.shrink_to_fit();
    }
  }
  {
    std::lock_guard<std::mutex> lock(dispatchMutex_);
    Close("reader ended");
  }
  handler_->OnClosed(*this);
}

bool Link::WriteBatch(std::vector<std::vector<uint8_t>>& batch) {
  size_t frame = 0;
  size_t offset = 0;
  auto lastProgress = Clock::now();
  while (frame < batch.size()) {
    iovec vectors[kBatchFrames];
    int count = 0;
    for (size_t i = frame; i < batch.size() && count < static_cast<int>(kBatchFrames); ++i, ++count) {
      const size_t skip = i == frame ? offset : 0;
      vectors[count].iov_base = batch[i].data() + skip;
      vectors[count].iov_len = batch[i].size() - skip;
    }
    msghdr message{};
    message.msg_iov = vectors;
    message.msg_iovlen = static_cast<size_t>(count);
    const ssize_t sent = sendmsg(fd_, &message, MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        Close("send failed");
        return false;
      }
      if (closed_) return false;
      if (MsSince(lastProgress) > timing_.writeStallMs) {
        qCWarning(lcPelk) << "relay peer" << peer_.c_str() << "read nothing for" << timing_.writeStallMs
                          << "ms; dropping it";
        Close("peer reads nothing");
        return false;
      }
      pollfd poller{fd_, POLLOUT, 0};
      poll(&poller, 1, kPollSliceMs);
      continue;
    }
    lastProgress = Clock::now();
    size_t left = static_cast<size_t>(sent);
    while (left > 0 && frame < batch.size()) {
      const size_t rest = batch[frame].size() - offset;
      if (left >= rest) {
        left -= rest;
        ++frame;
        offset = 0;
      } else {
        offset += left;
        left = 0;
      }
    }
  }
  return true;
}

void Link::WriteLoop() {
  pthread_setname_np(pthread_self(), "pelkwrite");
  auto lastSend = Clock::now();
  std::vector<std::vector<uint8_t>> batch;
  while (true) {
    size_t batchBytes = 0;
    {
      std::unique_lock<std::mutex> lock(queueMutex_);
      queueCv_.wait_for(lock, std::chrono::milliseconds(timing_.keepAliveMs),
                        [&] { return closed_ || closeWhenSent_ || !queue_.empty(); });
      if (closed_) break;
      if (closeWhenSent_ && queue_.empty()) {
        lock.unlock();
        Close(closeWhenSentReason_);
        break;
      }
      if (queue_.empty()) {
        if (!loggedIn_ || MsSince(lastSend) < timing_.keepAliveMs) continue;
        batch.push_back(FrameBuilder(kPing).Finish());
      }
      while (!queue_.empty() && batch.size() < kBatchFrames) {
        batchBytes += queue_.front().size();
        batch.push_back(std::move(queue_.front()));
        queue_.pop_front();
      }
    }
    const bool written = WriteBatch(batch);
    batch.clear();
    lastSend = Clock::now();
    {
      std::lock_guard<std::mutex> lock(queueMutex_);
      queuedBytes_ -= batchBytes;
      spaceCv_.notify_all();
    }
    if (!written) break;
  }
  std::lock_guard<std::mutex> lock(queueMutex_);
  queue_.clear();
  queuedBytes_ = 0;
  spaceCv_.notify_all();
}

}  // namespace pelk
