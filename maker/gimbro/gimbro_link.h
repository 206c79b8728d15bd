// One device's connection, living on the control's network thread: connects,
// logs in, keeps the link alive, reconnects with a bounded back-off, and turns
// the device's frames into events.
//
// A device that accepts the connection but does not greet with the control's
// own protocol within the greeting time is spoken to in ONVIF at the same
// address and port (onvif/onvif_session.h); once it logged in that way, later
// attempts go to ONVIF at once. Both protocols report the same statuses.
//
// Talk and broadcast audio: while a talk runs (from the device's answer with
// its audio format until the talk is stopped or refused) and while a
// broadcast to the device runs (in the format of the broadcast), the link
// sends the operator's voice (talk/talk_audio_hub.h) as TALK_AUDIO frames.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <deque>
#include <memory>
#include <string>

#include "maker/gimbro/gimbro_wire.h"
#include "platform/win_types.h"

class GimbroEventHub;
namespace talkaudio {
class Hub;
struct Format;
}
class QAbstractSocket;
class QTcpSocket;
namespace onvif {
class Session;
}

// True when a connection to a port of this host met itself: a local port that
// nobody listens on can be given to the connecting socket as its own, and TCP
// then connects the socket to itself. Nothing is there, and the socket holds
// the port that the device would listen on.
bool SocketMetItself(const QAbstractSocket& socket);

// Time limits of a connection, in milliseconds. Tests shorten them before they
// create a control; a link reads them when it is created.
struct GimbroTimings {
  int firstRetryMs = 1000;      // first reconnection delay; doubles each time
  int maxRetryMs = 30000;       // upper bound of the delay, also after a refused login
  int connectTimeoutMs = 5000;  // for the TCP connection
  int loginTimeoutMs = 10000;   // from the connection to the login result
  int echoIntervalMs = 10000;   // keep-alive while online
  int idleTimeoutMs = 30000;    // silence after which an online device is dropped
  int greetTimeoutMs = 2000;    // silence after the connection after which ONVIF is tried
  int soapTimeoutMs = 10000;    // for each ONVIF exchange, connection included
  int eventPullSeconds = 5;     // how long an ONVIF event pull may wait for events
  int eventRetryMs = 10000;     // before a lost event subscription is made again
  qint64 maxAnswerBytes = 1 << 20;  // largest ONVIF answer taken
  int downloadIdleMs = 10000;   // a download that brings no byte for this long fails
  int uploadIdleMs = 10000;     // an upload whose device answers nothing for this long fails
};
GimbroTimings& GimbroTimingsForNewLinks();

struct GimbroDeviceParams {
  LONG id = 0;
  QString host;
  quint16 port = 0;
  std::string login;
  std::string password;
};

class GimbroLink : public QObject {
  Q_OBJECT
 public:
  // A device's output queue above this ends its connection: it does not read.
  static constexpr qint64 kMaxUnsentBytes = 16 * 1024 * 1024;

  // `audio` captures the voice of talks and broadcasts; it is shared by the
  // links and outlives them.
  GimbroLink(GimbroDeviceParams params, std::shared_ptr<std::atomic<bool>> online, GimbroEventHub* hub,
             talkaudio::Hub* audio);
  ~GimbroLink() override;

  void Start();
  // Sends a frame when the device is online; otherwise the frame is dropped.
  void Send(const std::string& frame);
  void SetTimeSync(bool enable, int difference, int interval);

 private:
  enum class State { kIdle, kConnecting, kAwaitHello, kAwaitLogin, kOnline, kOnvif };
  enum class Protocol { kUnknown, kOwn, kOnvif };
  class OnvifOwner;

  void Connect();
  void OnConnected();
  void OnReadyRead();
  void OnSocketError();
  void OnDeadline();
  void OnEcho();
  void HandleFrame(const gimbro_wire::Frame& frame);
  void HandleOnlineFrame(const gimbro_wire::Frame& frame);
  void GoOnline();
  void LoginRefused(const std::string& reason);
  // Closes the connection, reports `code` when the device's going offline has
  // not been reported yet, and schedules the next attempt.
  void Drop(LONG code, const std::string& reason);
  void CloseSocket();
  void Report(LONG code, const std::string& text);
  void SendTimeSync();
  // Starts and stops the voice with the requests and answers that carry a talk or a broadcast.
  void WatchRequest(const gimbro_wire::Frame& request);
  void WatchAnswer(const gimbro_wire::Frame& answer);
  void StopAudio();
  void SendAudio(const talkaudio::Format& format, const std::string& packet);
  void OnGreetTimeout();
  void StartOnvif();
  void EndOnvif();
  // Tells the pull control whether this device's streams are being found out.
  void PublishProbing();

  friend class OnvifOwner;

  GimbroDeviceParams params_;
  std::shared_ptr<std::atomic<bool>> online_;
  GimbroEventHub* hub_;
  GimbroTimings timings_;
  QTcpSocket* socket_ = nullptr;
  gimbro_wire::FrameReader reader_;
  State state_ = State::kIdle;
  LONG lastReported_ = 0;  // last connection-state code reported (2..5), 0 = none yet
  int retryMs_ = 0;
  QTimer retryTimer_;
  QTimer deadlineTimer_;
  QTimer echoTimer_;
  QTimer syncTimer_;
  QTimer greetTimer_;
  QElapsedTimer sinceReceive_;
  bool receivedAny_ = false;
  bool receivedSinceEcho_ = false;  // the keep-alive check counts checks without data
  int silentChecks_ = 0;
  Protocol protocol_ = Protocol::kUnknown;
  std::unique_ptr<OnvifOwner> onvifOwner_;
  onvif::Session* onvif_ = nullptr;
  std::string mainUri_, subUri_;  // the ONVIF stream addresses last learnt
  talkaudio::Hub* audio_;
  bool talkWanted_ = false;  // a talk was asked for and not stopped
  std::deque<uint16_t> unanswered_;  // talk and broadcast requests awaiting their status
  // Keys of the link's two listeners at the audio hub.
  char talkKey_ = 0;
  char broadcastKey_ = 0;
  bool syncEnabled_ = false;
  int syncDifference_ = 0;
};
