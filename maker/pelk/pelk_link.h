// One relay connection: a TCP socket with a reader thread, a writer thread and
// a bounded send queue (pelk_protocol.txt, "Frames", "Keep-alive" and "Flow
// control").
//
// The reader thread reads whole, length-checked frames and hands each to the
// owner's handler; when the connection ends for any reason it calls the
// handler's OnClosed once and returns. The writer thread drains the queue and
// sends a PING when the line is idle. Neither thread ever waits for the UI
// thread. Close may be called from any thread; Join (not from the link's own
// threads) waits for both threads and closes the socket.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pelk {

class Link;

class LinkHandler {
 public:
  virtual ~LinkHandler() = default;
  // A whole frame, on the reader thread.
  virtual void OnFrame(Link& link, uint16_t type, const uint8_t* payload, size_t length) = 0;
  // The connection ended; once, on the reader thread, after the last OnFrame.
  virtual void OnClosed(Link& link) = 0;
};

struct LinkTiming {
  int keepAliveMs = 5000;    // a PING after this long without sending
  int deadAfterMs = 30000;   // nothing received for this long: the peer is dead
  int writeStallMs = 15000;  // not one byte written for this long: the peer reads nothing
  int loginMs = 10000;       // the login must be done within this long of the start
};

// What may happen to a frame when the queue is long.
enum class SendClass {
  kControl,  // always queued; a queue past the hard limit ends the connection
  kLive,     // dropped while the queue holds more than the live limit
  kBulk,     // waits up to the given time for the queue to fall below the bulk limit
};

struct QueueLimits {
  size_t liveBytes = 1u << 20;
  size_t bulkBytes = 4u << 20;
  size_t hardBytes = 16u << 20;
};

class Link {
 public:
  // Takes the connected socket (made non-blocking here). `loggedIn` starts the
  // link past the login (the client side logs in before it makes the link).
  Link(int fd, uint32_t id, LinkTiming timing, QueueLimits limits, bool loggedIn);
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  void Start(LinkHandler* handler);

  // Queues a frame. False when it was not queued (dropped, timed out, or the
  // link is closed).
  bool Send(std::vector<uint8_t> frame, SendClass cls, int waitMs = 0);

  void Close(const char* reason);
  // Closes once every queued frame is written (a refusal's last answer).
  void CloseWhenSent(const char* reason);
  bool IsClosed() const { return closed_; }
  // Waits until the reader thread is not inside a handler call (at once when
  // called from that thread): after Close and this, no handler call runs.
  void WaitDispatchIdle();
  void Join();

  void SetLoggedIn() { loggedIn_ = true; }
  bool IsLoggedIn() const { return loggedIn_; }
  size_t QueuedBytes() const { return queuedBytes_; }
  const QueueLimits& Limits() const { return limits_; }
  uint32_t Id() const { return id_; }
  const std::string& PeerText() const { return peer_; }
  uint32_t PeerAddress() const { return peerAddress_; }  // IPv4, host order; 0 unknown
  // This side's address of the connection (IPv4, host order; 0 unknown).
  uint32_t LocalAddress() const { return localAddress_; }
  const char* CloseReason() const { return closeReason_; }

 private:
  void ReadLoop();
  void WriteLoop();
  // Reads until `count` bytes are buffered; false when the link ended.
  bool Fill(size_t count);
  bool WriteBatch(std::vector<std::vector<uint8_t>>& batch);

  int fd_;
  uint32_t id_;
  LinkTiming timing_;
  QueueLimits limits_;
  std::string peer_;
  uint32_t localAddress_ = 0;
  uint32_t peerAddress_ = 0;
  LinkHandler* handler_ = nullptr;

  std::atomic<bool> closed_{false};
  std::atomic<bool> closeWhenSent_{false};
  const char* closeWhenSentReason_ = "";
  std::atomic<bool> loggedIn_;
  std::atomic<const char*> closeReason_{""};
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point lastReceive_;

  std::mutex queueMutex_;
  std::condition_variable queueCv_;  // writer: frames or close
  std::condition_variable spaceCv_;  // bulk senders: room
  std::deque<std::vector<uint8_t>> queue_;
  std::atomic<size_t> queuedBytes_{0};

  std::mutex dispatchMutex_;
  // Set by the reader thread as it starts, read by any thread that waits.
  std::atomic<std::thread::id> readerId_{};

  std::vector<uint8_t> inBuffer_;
  size_t inStart_ = 0;
  size_t inEnd_ = 0;

  std::thread reader_;
  std::thread writer_;
};

}  // namespace pelk
