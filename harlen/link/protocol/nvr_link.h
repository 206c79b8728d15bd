// CNVRMCInf: the connection to one NVR.
//
// The owner (a window) constructs the link, calls Init, gives it a send
// buffer, connects it, installs its reply callback and then sends requests.
// A receive thread reads the frames from the NVR and hands every reply to the
// callback, on that thread; the data pointer is valid during the call only.
// When the connection fails the thread reconnects by itself, again and again,
// until the link is deleted.
//
// Threads: the owner's thread makes requests; the receive thread alone opens,
// replaces and closes the socket (also for the owner's Connect, which it waits
// for). The socket is replaced and every frame is sent under one lock, so a
// request never writes to a socket that is being closed.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/jthread.h"

struct IpcHeadInfo;
class NvrFrameReader;

// Called on the receive thread for every reply delivered: argument is the
// section, the control code or -1; data is null and dataLength 0 for an
// acknowledgement. The result is ignored.
typedef int (*NVRMCReplyCallback)(int command, int status, int argument, const char* data, int dataLength,
                                  void* user);

// How long the link waits for the NVR: to accept a connection, and to take
// any byte of a request being sent.
constexpr int NVRMC_CONNECT_WAIT_MS = 30000;
constexpr int NVRMC_SEND_STALL_MS = 10000;

class CNVRMCInf : public JThread {
 public:
  CNVRMCInf();
  // Stops and joins the receive thread, then closes the socket: no callback
  // runs after the destructor.
  ~CNVRMCInf() override;

  // Makes the socket and starts the receive thread: 0, or -1 when no socket
  // could be made within a bounded number of tries. Nothing when already ready.
  int Init();
  bool HasSendBuffer() const;
  void GiveSendBuffer(size_t size = 1048576);
  // Connects to host (dotted IPv4 or a name) and port: 0 connected; -1 not
  // ready; -2 the socket could not be made non-blocking; -3 the wait failed;
  // -4 no connection (refused, or none within 300 rounds of 100 ms). After a
  // failure the receive thread keeps trying in the background.
  int Connect(const char* host, uint16_t port);
  bool HasReplyCallback() const;
  void SetReplyCallback(NVRMCReplyCallback callback, void* user);

  // Requests: 0 sent; -1 not connected, no send buffer or a frame larger than
  // the send buffer; -2 the send failed (more than five short sends, or the
  // NVR took nothing for 10 s).
  int GetConfig(int section);
  int SetConfig(int section, const char* text, int length);
  int RestoreDefault();
  int SearchCameras();
  int SetIpcNetParam(IpcHeadInfo info);
  int SendControl(int code, const char* text, int length);
  int QueryStatus(int code);

  bool IsReady() const { return ready_.load(); }
  bool IsConnected() const { return connected_.load(); }
  // How many connections were made so far: replies of one connection answer
  // the requests sent on it, in order.
  unsigned ConnectionCount() const { return connections_.load(); }
  // The NVR's host text kept for reconnection.
  std::string HostText() const;
  uint16_t Port() const;

 protected:
  void* Thread() override;

 private:
  struct ConnectRequest {
    bool pending = false;
    bool answered = false;
    uint32_t address = 0;
    uint16_t port = 0;
    bool keepText = false;  // a name that did not resolve leaves the kept text as it was
    std::string text;
    int result = -1;
  };

  template <class Write>
  int SendRequest(Write write);
  int SendFrame(size_t frameLength);

  bool ServeConnectRequest(NvrFrameReader& reader);
  int Reconnect(NvrFrameReader& reader);
  int ConnectSocket(int fd, uint32_t address, uint16_t port, bool yieldToOwner);
  bool ReadSocket(NvrFrameReader& reader);
  void DispatchReply(const uint8_t* payload, size_t length);

  void InstallSocket(int fd);
  void DropSocket();
  int TakeIdleSocket();
  bool StopOrRequest();
  void Pause(int ms);

  std::atomic<bool> done_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> ready_{false};
  std::atomic<bool> connected_{false};
  std::atomic<unsigned> connections_{0};

  // Guards the socket's replacement, the send buffer and every send.
  mutable std::mutex sendMutex_;
  int socket_ = -1;
  std::vector<uint8_t> sendBuffer_;

  // Guards the kept address, the callback and the owner's connect request.
  mutable std::mutex stateMutex_;
  std::condition_variable stateCv_;
  std::string hostText_;
  uint16_t port_ = 0;
  bool hostKnown_ = false;
  ConnectRequest request_;
  NVRMCReplyCallback callback_ = nullptr;
  void* user_ = nullptr;
};
