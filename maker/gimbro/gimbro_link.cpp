#include "maker/gimbro/gimbro_link.h"

#include <QDateTime>
#include <QTcpSocket>
#include <algorithm>
#include <cstring>
#include <iterator>

#include "maker/gimbro/gimbro_event_hub.h"
#include "maker/gimbro/gimbro_log.h"
#include "maker/gimbro/gimbro_replay.h"
#include "maker/gimbro/gimbro_upload.h"
#include "maker/gimbro/gimbro_streams.h"
#include "maker/gimbro/onvif/onvif_session.h"
#include "maker/gimbro/talk/talk_audio_hub.h"

using gimbro_wire::Frame;
using gimbro_wire::FrameReader;

GimbroTimings& GimbroTimingsForNewLinks() {
  static GimbroTimings timings;
  return timings;
}

// Hands the ONVIF session's outcomes to the link.
class GimbroLink::OnvifOwner : public onvif::Session::Owner {
 public:
  explicit OnvifOwner(GimbroLink* link) : link_(link) {}
  void OnvifOnline() override {
    link_->protocol_ = Protocol::kOnvif;
    link_->GoOnline();
  }
  void OnvifRefused(const std::string& reason) override { link_->LoginRefused(reason); }
  void OnvifFailed(LONG code, const std::string& reason, bool notOnvif) override {
    // Something else answers there now: find out again at the next attempt.
    if (notOnvif) link_->protocol_ = Protocol::kUnknown;
    link_->Drop(code, reason);
  }
  void OnvifStreams(const std::string& mainUri, const std::string& subUri) override {
    link_->mainUri_ = mainUri;
    link_->subUri_ = subUri;
    link_->PublishProbing();
  }

 private:
  GimbroLink* link_;
};

GimbroLink::GimbroLink(GimbroDeviceParams params, std::shared_ptr<std::atomic<bool>> online,
                       GimbroEventHub* hub, talkaudio::Hub* audio)
    : params_(std::move(params)),
      online_(std::move(online)),
      hub_(hub),
      timings_(GimbroTimingsForNewLinks()),
      onvifOwner_(std::make_unique<OnvifOwner>(this)),
      audio_(audio) {
  retryMs_ = timings_.firstRetryMs;
  retryTimer_.setSingleShot(true);
  deadlineTimer_.setSingleShot(true);
  greetTimer_.setSingleShot(true);
  connect(&greetTimer_, &QTimer::timeout, this, &GimbroLink::OnGreetTimeout);
  connect(&retryTimer_, &QTimer::timeout, this, &GimbroLink::Connect);
  connect(&deadlineTimer_, &QTimer::timeout, this, &GimbroLink::OnDeadline);
  connect(&echoTimer_, &QTimer::timeout, this, &GimbroLink::OnEcho);
  connect(&syncTimer_, &QTimer::timeout, this, &GimbroLink::SendTimeSync);
}

GimbroLink::~GimbroLink() {
  delete onvif_;  // never from inside one of its own calls: the network thread removes links
  onvif_ = nullptr;
  CloseSocket();
  gimbro_streams::Erase(this);
  online_->store(false);
}

void GimbroLink::Start() { Connect(); }

void GimbroLink::Connect() {
  CloseSocket();
  if (protocol_ == Protocol::kOnvif) {
    StartOnvif();
    return;
  }
  reader_ = FrameReader();
  receivedAny_ = false;
  state_ = State::kConnecting;
  PublishProbing();
  socket_ = new QTcpSocket(this);
  connect(socket_, &QTcpSocket::connected, this, &GimbroLink::OnConnected);
  connect(socket_, &QTcpSocket::readyRead, this, &GimbroLink::OnReadyRead);
  connect(socket_, &QTcpSocket::errorOccurred, this, &GimbroLink::OnSocketError);
  connect(socket_, &QTcpSocket::disconnected, this, &GimbroLink::OnSocketError);
  qCInfo(lcGimbro, "device %d: connecting to %s:%u", static_cast<int>(params_.id),
         qPrintable(params_.host), static_cast<unsigned>(params_.port));
  deadlineTimer_.start(timings_.connectTimeoutMs);
  socket_->connectToHost(params_.host, params_.port);
}

void GimbroLink::CloseSocket() {
  deadlineTimer_.stop();
  greetTimer_.stop();
  echoTimer_.stop();
  syncTimer_.stop();
  StopAudio();
  EndOnvif();
  if (socket_ == nullptr) return;
  socket_->disconnect(this);
  socket_->abort();
  socket_->deleteLater();
  socket_ = nullptr;
}

bool SocketMetItself(const QAbstractSocket& socket) {
  return socket.state() == QAbstractSocket::ConnectedState && socket.localPort() == socket.peerPort() &&
         socket.localAddress() == socket.peerAddress();
}

void GimbroLink::OnConnected() {
  if (SocketMetItself(*socket_)) {
    Drop(GIMBRO_STATUS_UNREACHABLE, "cannot connect: nothing listens there");
    return;
  }
  state_ = State::kAwaitHello;
  deadlineTimer_.start(timings_.loginTimeoutMs);
  greetTimer_.start(timings_.greetTimeoutMs);
}

void GimbroLink::OnGreetTimeout() {
  // Silence: a web service waits for its request. Anything said, however
  // wrong, is handled by the control's own protocol.
  if (state_ == State::kAwaitHello && !receivedAny_) StartOnvif();
}

void GimbroLink::StartOnvif() {
  CloseSocket();
  state_ = State::kOnvif;
  PublishProbing();
  onvif_ = new onvif::Session(params_, timings_, hub_, onvifOwner_.get());
  onvif_->Start();
}

void GimbroLink::EndOnvif() {
  if (onvif_ == nullptr) return;
  // Possibly called from inside the session: it goes quiet now and away later.
  onvif_->Shutdown();
  onvif_->deleteLater();
  onvif_ = nullptr;
}

void GimbroLink::PublishProbing() {
  gimbro_streams::Entry entry;
  entry.host = params_.host.toStdString();
  entry.probing = state_ != State::kIdle && protocol_ != Protocol::kOwn &&
                  !(state_ == State::kOnvif && online_->load());
  entry.mainUri = mainUri_;
  entry.subUri = subUri_;
  entry.user = params_.login;
  entry.password = params_.password;
  if (!entry.probing && entry.mainUri.empty()) {
    gimbro_streams::Erase(this);
  } else {
    gimbro_streams::Publish(this, entry);
  }
}

void GimbroLink::OnSocketError() {
  if (socket_ == nullptr) return;
  const std::string reason = socket_->errorString().toStdString();
  if (state_ == State::kConnecting) {
    Drop(GIMBRO_STATUS_UNREACHABLE, "cannot connect: " + reason);
  } else {
    Drop(GIMBRO_STATUS_CONNECTION_LOST, "connection closed: " + reason);
  }
}

void GimbroLink::OnDeadline() {
  if (state_ == State::kConnecting) {
    Drop(GIMBRO_STATUS_UNREACHABLE, "cannot connect: no answer");
  } else if (state_ != State::kOnline) {
    Drop(GIMBRO_STATUS_CONNECTION_LOST, "the device did not log in in time");
  }
}

void GimbroLink::OnEcho() {
  if (state_ != State::kOnline) return;
  // Silent for the idle time, and across two checks: after a stall of the
  // whole program this check may run before the socket had its turn to read
  // what the device sent meanwhile.
  silentChecks_ = receivedSinceEcho_ ? 0 : silentChecks_ + 1;
  receivedSinceEcho_ = false;
  if (sinceReceive_.elapsed() > timings_.idleTimeoutMs && silentChecks_ >= 2) {
    Drop(GIMBRO_STATUS_CONNECTION_LOST, "the device stopped answering");
    return;
  }
  Send(gimbro_wire::Encode(gimbro_wire::kEcho));
}

void GimbroLink::OnReadyRead() {
  if (socket_ == nullptr) return;
  const QByteArray data = socket_->readAll();
  sinceReceive_.start();
  receivedSinceEcho_ = true;
  if (!data.isEmpty()) {
    receivedAny_ = true;
    greetTimer_.stop();
  }
  reader_.Feed(data.constData(), static_cast<size_t>(data.size()));
  Frame frame;
  for (;;) {
    const FrameReader::Result result = reader_.Next(frame);
    if (result == FrameReader::Result::kNeedMore) return;
    if (result == FrameReader::Result::kError) {
      Drop(GIMBRO_STATUS_CONNECTION_LOST, "protocol error: " + reader_.Error());
      return;
    }
    HandleFrame(frame);
    // Handling may have ended this connection.
    if (socket_ == nullptr || state_ == State::kIdle) return;
  }
}

void GimbroLink::HandleFrame(const Frame& frame) {
  switch (state_) {
    case State::kAwaitHello:
      if (frame.type != gimbro_wire::kHello || frame.body.empty() || frame.body.size() > gimbro_wire::kMaxNonce) {
        Drop(GIMBRO_STATUS_CONNECTION_LOST, "protocol error: no greeting from the device");
        return;
      }
      protocol_ = Protocol::kOwn;
      gimbro_streams::Erase(this);
      {
        std::string body = params_.login;
        body.push_back('\0');
        body += gimbro_wire::LoginDigest(frame.body, params_.login, params_.password);
        const std::string login = gimbro_wire::Encode(gimbro_wire::kLogin, 0, 0, body);
        socket_->write(login.data(), static_cast<qint64>(login.size()));
      }
      state_ = State::kAwaitLogin;
      return;
    case State::kAwaitLogin:
      if (frame.type != gimbro_wire::kLoginResult) {
        Drop(GIMBRO_STATUS_CONNECTION_LOST, "protocol error: no login result from the device");
      } else if (frame.a == 0) {
        GoOnline();
      } else {
        LoginRefused(frame.body);
      }
      return;
    case State::kOnline:
      HandleOnlineFrame(frame);
      return;
    case State::kIdle:
    case State::kConnecting:
    case State::kOnvif:
      return;
  }
}

namespace {

// The alarm record's nine words arrive little-endian; the rest passes unchanged.
GimbroAlarmRecord DecodeAlarm(const std::string& body) {
  GimbroAlarmRecord alarm;
  int32_t* words[] = {&alarm.year, &alarm.month, &alarm.day, &alarm.spare, &alarm.hour,
                      &alarm.minute, &alarm.second, &alarm.type, &alarm.subFlag};
  for (size_t i = 0; i < std::size(words); ++i) {
    *words[i] = static_cast<int32_t>(gimbro_wire::ReadU32(body.data() + 4 * i));
  }
  std::memcpy(alarm.reserved, body.data() + 4 * std::size(words), sizeof(alarm.reserved));
  return alarm;
}

}  // namespace

void GimbroLink::HandleOnlineFrame(const Frame& frame) {
  WatchAnswer(frame);
  GimbroEvent event;
  event.id = params_.id;
  event.a = frame.a;
  // Texts end at their first zero byte, as the receivers read them.
  event.text = frame.body.c_str();
  switch (frame.type) {
    case gimbro_wire::kStatus:
      if (frame.a >= GIMBRO_STATUS_CONNECTION_LOST && frame.a <= GIMBRO_STATUS_LOGIN_REFUSED) {
        qCWarning(lcGimbro, "device %d: status %d ignored (connection states are the control's own)",
                  static_cast<int>(params_.id), static_cast<int>(frame.a));
        return;
      }
      event.kind = GimbroEvent::kStatus;
      break;
    case gimbro_wire::kPtzResponse:
      event.kind = GimbroEvent::kPtzResponse;
      break;
    case gimbro_wire::kAuxResponse:
      event.kind = GimbroEvent::kAuxResponse;
      break;
    case gimbro_wire::kMediaParam:
      event.kind = GimbroEvent::kMediaParam;
      break;
    case gimbro_wire::kAlarm:
      if (frame.body.size() != sizeof(GimbroAlarmRecord)) {
        Drop(GIMBRO_STATUS_CONNECTION_LOST,
             "protocol error: alarm record of " + std::to_string(frame.body.size()) + " bytes");
        return;
      }
      event.kind = GimbroEvent::kAlarm;
      event.alarm = DecodeAlarm(frame.body);
      break;
    case gimbro_wire::kMediaData:
      if (frame.body.size() < static_cast<size_t>(GIMBRO_FRAME_HEADER_SIZE)) {
        Drop(GIMBRO_STATUS_CONNECTION_LOST, "protocol error: media data without its frame header");
        return;
      }
      event.kind = GimbroEvent::kMediaData;
      event.text = frame.body;  // binary: the frame header, then the data
      break;
    case gimbro_wire::kReplayState:
      event.kind = GimbroEvent::kReplayState;
      event.b = frame.b;
      break;
    default:
      // Upload states go to the upload book, which sends the next piece;
      // replay words and download data go to the replay book; echo replies
      // only keep the link alive; unknown types are skipped.
      if (!gimbro_upload::HandleFrame(hub_, params_.id, frame, [this](const std::string& piece) { Send(piece); })) {
        gimbro_replay::HandleFrame(hub_, params_.id, frame);
      }
      return;
  }
  hub_->Post(std::move(event));
}

void GimbroLink::GoOnline() {
  const bool onvif = onvif_ != nullptr;
  state_ = onvif ? State::kOnvif : State::kOnline;
  deadlineTimer_.stop();
  retryMs_ = timings_.firstRetryMs;
  online_->store(true);
  qCInfo(lcGimbro, "device %d: logged in to %s:%u as \"%s\"%s", static_cast<int>(params_.id),
         qPrintable(params_.host), static_cast<unsigned>(params_.port), params_.login.c_str(),
         onvif ? " (ONVIF)" : "");
  Report(GIMBRO_STATUS_LOGIN_OK, onvif ? "login ok (ONVIF)" : "login ok");
  // The ONVIF session polls the device itself.
  sinceReceive_.start();
  silentChecks_ = 0;
  if (!onvif) echoTimer_.start(timings_.echoIntervalMs);
  if (syncEnabled_) {
    SendTimeSync();
    syncTimer_.start();
  }
}

void GimbroLink::LoginRefused(const std::string& reason) {
  qCWarning(lcGimbro, "device %d: %s:%u refused the login \"%s\"", static_cast<int>(params_.id),
            qPrintable(params_.host), static_cast<unsigned>(params_.port), params_.login.c_str());
  const bool wasOnline = online_->load();
  CloseSocket();
  state_ = State::kIdle;
  // A device may refuse the credentials it took before (its password was changed).
  online_->store(false);
  if (wasOnline) gimbro_replay::LinkLost(hub_, params_.id);
  PublishProbing();
  if (lastReported_ != GIMBRO_STATUS_LOGIN_REFUSED) {
    Report(GIMBRO_STATUS_LOGIN_REFUSED, reason.empty() ? std::string("login refused") : reason);
  }
  // The same password will be refused again soon: retry rarely.
  retryMs_ = timings_.maxRetryMs;
  retryTimer_.start(retryMs_);
}

void GimbroLink::Drop(LONG code, const std::string& reason) {
  const bool wasOnline = online_->load();
  CloseSocket();
  state_ = State::kIdle;
  online_->store(false);
  gimbro_replay::LinkLost(hub_, params_.id);
  gimbro_upload::LinkLost(hub_, params_.id);
  PublishProbing();
  // Offline is reported (and logged as a warning) once, not again for every
  // failed attempt that follows.
  const bool report = lastReported_ == 0 || lastReported_ == GIMBRO_STATUS_LOGIN_OK;
  if (report) {
    qCWarning(lcGimbro, "device %d: %s:%u %s (%s)", static_cast<int>(params_.id), qPrintable(params_.host),
              static_cast<unsigned>(params_.port), wasOnline ? "went offline" : "not reached", reason.c_str());
    Report(code, reason);
  } else {
    qCInfo(lcGimbro, "device %d: %s:%u still not reached (%s)", static_cast<int>(params_.id),
           qPrintable(params_.host), static_cast<unsigned>(params_.port), reason.c_str());
  }
  retryTimer_.start(retryMs_);
  retryMs_ = std::min(retryMs_ * 2, timings_.maxRetryMs);
}

void GimbroLink::Report(LONG code, const std::string& text) {
  lastReported_ = code;
  hub_->Post(GimbroEvent::Of(GimbroEvent::kStatus, params_.id, code, text));
}

void GimbroLink::Send(const std::string& frame) {
  if (onvif_ != nullptr) {
    // The control's requests are frames of its own protocol: the session
    // carries each out in ONVIF.
    FrameReader reader;
    reader.Feed(frame.data(), frame.size());
    Frame request;
    if (onvif_->online() && reader.Next(request) == FrameReader::Result::kFrame) onvif_->Request(request);
    return;
  }
  if (state_ != State::kOnline || socket_ == nullptr) return;
  socket_->write(frame.data(), static_cast<qint64>(frame.size()));
  if (socket_->bytesToWrite() > kMaxUnsentBytes) {
    Drop(GIMBRO_STATUS_CONNECTION_LOST, "the device does not read what is sent to it");
    return;
  }
  FrameReader reader;
  reader.Feed(frame.data(), frame.size());
  Frame request;
  if (reader.Next(request) == FrameReader::Result::kFrame) WatchRequest(request);
}

void GimbroLink::WatchRequest(const Frame& request) {
  switch (request.type) {
    case gimbro_wire::kTalk:
      talkWanted_ = request.a != 0;
      // The voice starts with the device's answer, which names the format.
      if (talkWanted_) {
        unanswered_.push_back(gimbro_wire::kTalk);
      } else {
        audio_->Unsubscribe(&talkKey_);
      }
      break;
    case gimbro_wire::kBroadcast: {
      talkaudio::Format format;
      format.codec = request.a;
      format.sampleRate = request.b;
      format.channels = request.body.size() >= 8 ? static_cast<int>(gimbro_wire::ReadU32(request.body.data() + 4)) : 1;
      unanswered_.push_back(gimbro_wire::kBroadcast);
      audio_->Subscribe(&broadcastKey_, format,
                        [this](const talkaudio::Format& f, const std::string& packet) { SendAudio(f, packet); });
      break;
    }
    case gimbro_wire::kBroadcastStop:
      audio_->Unsubscribe(&broadcastKey_);
      break;
    default:
      break;
  }
}

void GimbroLink::WatchAnswer(const Frame& answer) {
  if (answer.type == gimbro_wire::kStatus &&
      (answer.a == GIMBRO_STATUS_TALK_STARTED || answer.a == GIMBRO_STATUS_TALK_REFUSED)) {
    // The device answers talk and broadcast requests in their order; a
    // refusal ends the voice of the request it answers only (a refused talk
    // leaves a running broadcast to the same device alone).
    uint16_t answered = 0;
    if (!unanswered_.empty()) {
      answered = unanswered_.front();
      unanswered_.pop_front();
    }
    if (answer.a == GIMBRO_STATUS_TALK_STARTED) return;
    if (answered != gimbro_wire::kBroadcast) {
      talkWanted_ = false;
      audio_->Unsubscribe(&talkKey_);
    }
    if (answered != gimbro_wire::kTalk) audio_->Unsubscribe(&broadcastKey_);
  } else if (answer.type == gimbro_wire::kMediaParam && answer.a == GIMBRO_MEDIA_TALK && talkWanted_) {
    const std::optional<talkaudio::Format> format = talkaudio::FormatOfTalkAnswer(answer.body);
    if (!format) {
      qCWarning(lcGimbro, "device %d: talk audio format not understood; no voice is sent", static_cast<int>(params_.id));
      return;
    }
    audio_->Subscribe(&talkKey_, *format,
                      [this](const talkaudio::Format& f, const std::string& packet) { SendAudio(f, packet); });
  }
}

void GimbroLink::StopAudio() {
  talkWanted_ = false;
  unanswered_.clear();
  audio_->Unsubscribe(&talkKey_);
  audio_->Unsubscribe(&broadcastKey_);
}

void GimbroLink::SendAudio(const talkaudio::Format& format, const std::string& packet) {
  if (state_ != State::kOnline || socket_ == nullptr) return;
  const std::string frame = gimbro_wire::Encode(gimbro_wire::kTalkAudio, format.codec | (format.channels << 8),
                                                format.sampleRate, packet);
  socket_->write(frame.data(), static_cast<qint64>(frame.size()));
  if (socket_->bytesToWrite() > kMaxUnsentBytes) {
    Drop(GIMBRO_STATUS_CONNECTION_LOST, "the device does not read what is sent to it");
  }
}

void GimbroLink::SetTimeSync(bool enable, int difference, int interval) {
  syncEnabled_ = enable;
  syncDifference_ = difference;
  syncTimer_.setInterval(std::max(1, interval) * 1000);
  if (!online_->load()) return;
  if (enable) {
    SendTimeSync();
    syncTimer_.start();
  } else {
    syncTimer_.stop();
  }
}

void GimbroLink::SendTimeSync() {
  const QDateTime now = QDateTime::currentDateTime();
  const std::string text = now.toString(QStringLiteral("yyyyMMdd HH:mm:ss")).toStdString();
  Send(gimbro_wire::Encode(gimbro_wire::kTimeSync, syncDifference_, now.offsetFromUtc() / 60, text));
}
