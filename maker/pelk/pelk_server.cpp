#include "pelk/pelk_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "pelk/pelk_engine.h"
#include "pelk/pelk_log.h"
#include "pelk/pelk_time.h"
#include "pelk/pelk_wire.h"
#include "platform/post_message.h"

namespace pelk {

namespace {

template <class T>
T* NewRecordFrom(Engine& engine, const T& value) {
  T* record = engine.Records().NewRecord<T>();
  *record = value;
  return record;
}

RelayReplayControl MakeControl(const std::string& key, DWORD stream, DWORD channel, DWORD value,
                               const std::string& path) {
  RelayReplayControl control;
  CopyText(control.szDevKey, key.c_str());
  control.dwStream = stream;
  control.dwChannel = channel;
  control.dwValue = value;
  CopyText(control.szPath, path.c_str());
  return control;
}

RelayByDateControl MakeByDateControl(const std::string& key, DWORD channel, DWORD value) {
  RelayByDateControl control;
  CopyText(control.szDevKey, key.c_str());
  control.dwChannel = channel;
  control.dwValue = value;
  return control;
}

RelayRequestRecord MakeRequestRecord(const std::string& key, DWORD stream, DWORD channel, DWORD word3) {
  RelayRequestRecord record;
  CopyText(record.szDevKey, key.c_str());
  record.dwStream = stream;
  record.dwChannel = channel;
  record.dwWord3 = word3;
  return record;
}

constexpr DWORD kControlStop = 5;

}  // namespace

Server::Server(Engine& engine) : engine_(engine) {}

Server::~Server() { Stop(); }

LONG Server::Start(const char* ipAddr, LONG port, LONG videoCount, LONG userCount) {
  if (IsRunning()) Stop();
  in_addr address{};
  if (!ipAddr || inet_pton(AF_INET, ipAddr, &address) != 1 || port < 0 || port > 65535) {
    qCWarning(lcPelk) << "relay server: cannot serve on" << (ipAddr ? ipAddr : "(none)") << "port" << port;
    return 0;
  }
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return 0;
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in bindAddress{};
  bindAddress.sin_family = AF_INET;
  bindAddress.sin_addr = address;
  bindAddress.sin_port = htons(static_cast<uint16_t>(port));
  if (bind(fd, reinterpret_cast<sockaddr*>(&bindAddress), sizeof bindAddress) != 0 || listen(fd, 64) != 0 ||
      pipe2(wakePipe_, O_CLOEXEC) != 0) {
    qCWarning(lcPelk) << "relay server: cannot listen on" << ipAddr << "port" << port << ":" << strerror(errno);
    ::close(fd);
    return 0;
  }
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
  port_ = ntohs(bound.sin_port);
  videoLimit_ = videoCount;
  userLimit_ = userCount;
  listenFd_ = fd;
  running_ = true;
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  qCInfo(lcPelk) << "relay server serves on" << ipAddr << "port" << port_;
  return 1;
}

LONG Server::Stop() {
  running_ = false;
  if (listenFd_ >= 0) {
    const char stop = 1;
    [[maybe_unused]] const ssize_t written = write(wakePipe_[1], &stop, 1);
    acceptThread_.join();
    ::close(listenFd_);
    ::close(wakePipe_[0]);
    ::close(wakePipe_[1]);
    listenFd_ = wakePipe_[0] = wakePipe_[1] = -1;
  }
  std::vector<std::shared_ptr<Link>> links;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& [id, peer] : peers_) links.push_back(peer.link);
  }
  for (auto& link : links) link->Close("relay server stopped");
  // The peers' readers clean up; one may be waiting for this (UI) thread's user check.
  std::unique_lock<std::mutex> lock(mutex_);
  engine_.Gate().UiWait(lock, peersCv_, 15000, [&] { return peers_.empty(); });
  return 0;
}

LONG Server::Modify(LONG videoCount, LONG userCount) {
  if (!IsRunning()) return 0;
  videoLimit_ = videoCount;
  userLimit_ = userCount;
  return 1;  // the new limits are in force (also when they were the same)
}

void Server::AcceptLoop() {
  pthread_setname_np(pthread_self(), "pelkaccept");
  while (true) {
    pollfd pollers[2] = {{listenFd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    if (poll(pollers, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (pollers[1].revents) break;
    if (!(pollers[0].revents & POLLIN)) continue;
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    size_t pending = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (const auto& [id, peer] : peers_) pending += peer.loggedIn ? 0 : 1;
    }
    if (pending >= engine_.Options().maxPendingLogins) {
      qCWarning(lcPelk) << "relay server: too many logins in progress; a new connection is refused";
      ::close(fd);
      ++taken_;
      continue;
    }
    const uint32_t id = engine_.NextWord();
    auto link = std::make_shared<Link>(fd, id, engine_.Options().timing, engine_.Options().limits, false);
    engine_.LinkStarted();
    ++taken_;  // after the live count, so that a taken connection is never missing from both
    // Started before the lock is let go: whoever finds the link in the list
    // (a stop, a kick) may close and reap it, and the reaper's join must not
    // meet a link whose threads are still being made.
    std::lock_guard<std::mutex> lock(mutex_);
    peers_[id].link = link;
    link->Start(this);
  }
}

void Server::AdoptPeer(std::shared_ptr<Link> link, bool loggedIn) {
  std::lock_guard<std::mutex> lock(mutex_);
  Peer& peer = peers_[link->Id()];
  peer.link = std::move(link);
  peer.loggedIn = loggedIn;
  peer.helloSeen = loggedIn;
}

void Server::OnFrame(Link& link, uint16_t type, const uint8_t* payload, size_t length) {
  bool loggedIn = false;
  bool refused = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = peers_.find(link.Id());
    if (found == peers_.end()) return;
    loggedIn = found->second.loggedIn;
    refused = found->second.refused;
  }
  if (refused) return;
  if (!loggedIn) {
    Login(link, type, payload, length);
  } else if (type >= kHello && type <= kWelcome) {
    qCWarning(lcPelk) << "relay peer" << link.PeerText().c_str() << "sent a login frame after its login; dropping it";
    link.Close("login frame after the login");
  } else {
    Dispatch(link, type, payload, length);
  }
}

void Server::Welcome(Link& link, uint32_t status) {
  link.Send(FrameBuilder(kWelcome).U32(status).U32(status == kWelcomeAccepted ? link.Id() : 0).Finish(),
            SendClass::kControl);
}

void Server::Login(Link& link, uint16_t type, const uint8_t* payload, size_t length) {
  PayloadReader reader(payload, length);
  if (type == kHello) {
    Nonce clientNonce{};
    reader.Bytes(clientNonce.data(), clientNonce.size());
    const uint32_t nameLength = reader.U32();
    std::string user;
    if (reader.Ok() && nameLength <= kMaxUserName && reader.Remaining() == nameLength) {
      user.resize(nameLength);
      reader.Bytes(user.data(), nameLength);
    } else {
      qCWarning(lcPelk) << "relay peer" << link.PeerText().c_str() << "sent a malformed login; dropping it";
      link.Close("malformed login");
      return;
    }
    const Nonce serverNonce = MakeNonce();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Peer& peer = peers_[link.Id()];
      if (peer.helloSeen) {
        link.Close("second login");
        return;
      }
      peer.helloSeen = true;
      peer.user = user;
      peer.clientNonce = clientNonce;
      peer.serverNonce = serverNonce;
    }
    link.Send(FrameBuilder(kChallenge).Bytes(serverNonce.data(), serverNonce.size()).Finish(), SendClass::kControl);
    return;
  }
  if (type != kProof) {
    qCWarning(lcPelk) << "relay peer" << link.PeerText().c_str() << "sent frame type" << type
                      << "before its login; dropping it";
    link.Close("frame before the login");
    return;
  }
  PelkPasswordVerifier verifier;
  size_t loggedInPeers = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Peer& peer = peers_[link.Id()];
    if (!peer.helloSeen || length != kProofSize) {
      link.Close("proof without a challenge");
      return;
    }
    verifier.serverNonce = peer.serverNonce;
    verifier.clientNonce = peer.clientNonce;
    verifier.userName = peer.user;
    for (const auto& [id, other] : peers_) loggedInPeers += other.loggedIn ? 1 : 0;
  }
  std::memcpy(verifier.proof.data(), payload, kProofSize);
  auto refuse = [&](uint32_t status, const char* why) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      peers_[link.Id()].refused = true;
    }
    qCWarning(lcPelk) << "relay server: login of" << verifier.userName.c_str() << "from" << link.PeerText().c_str()
                      << "refused:" << why;
    Welcome(link, status);
    link.CloseWhenSent("login refused");
  };
  if (!IsRunning()) return refuse(kWelcomeStopping, "the server stops");
  if (static_cast<LONG>(loggedInPeers) >= userLimit_) return refuse(kWelcomeTooManyUsers, "too many users");
  const HWND window = engine_.MsgWnd();
  LRESULT answer = 1;
  const bool asked = window != nullptr && engine_.Gate().Run(
                                              engine_.GateOwner(), [&] {
                                                return SendMessage(window, WM_RELAY_CHECK_USER,
                                                                   reinterpret_cast<WPARAM>(verifier.userName.c_str()),
                                                                   reinterpret_cast<LPARAM>(&verifier));
                                              },
                                              engine_.Options().checkTimeoutMs, &answer);
  if (!asked) return refuse(kWelcomeCheckTimeout, "the user check did not answer");
  if (answer != 0) return refuse(kWelcomeRefused, "user name or password");
  {
    std::lock_guard<std::mutex> lock(mutex_);
    peers_[link.Id()].loggedIn = true;
  }
  link.SetLoggedIn();
  qCInfo(lcPelk) << "relay server: peer" << verifier.userName.c_str() << "from" << link.PeerText().c_str()
                 << "logged in";
  Welcome(link, kWelcomeAccepted);
}

uint32_t Server::AddRequest(const Request& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t held = 0;
  for (const auto& [word, other] : requests_) held += other.peer == request.peer ? 1 : 0;
  if (held >= engine_.Options().maxRequestsPerPeer) return 0;
  const uint32_t word = engine_.NextWord();
  requests_[word] = request;
  return word;
}

std::shared_ptr<Link> Server::FindRequest(DWORD handle, DWORD word, Kind kind, Request* out, bool take) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = requests_.find(word);
  if (found == requests_.end() || found->second.kind != kind) return nullptr;
  if (handle != 0 && found->second.peer != handle) return nullptr;
  auto peer = peers_.find(found->second.peer);
  if (out) *out = found->second;
  if (take) requests_.erase(found);
  if (peer == peers_.end()) return nullptr;
  return peer->second.link;
}

std::shared_ptr<Link> Server::PeerLink(uint32_t peer) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = peers_.find(peer);
  return found == peers_.end() ? nullptr : found->second.link;
}

void Server::Dispatch(Link& link, uint16_t type, const uint8_t* payload, size_t length) {
  PayloadReader reader(payload, length);
  const uint32_t peer = link.Id();
  auto malformed = [&] {
    qCWarning(lcPelk) << "relay peer" << link.PeerText().c_str() << "sent a malformed frame of type" << type
                      << "; dropping it";
    link.Close("malformed frame");
  };
  auto tooMany = [&] {
    qCWarning(lcPelk) << "relay peer" << link.PeerText().c_str() << "has too many open requests; type" << type
                      << "refused";
  };
  switch (type) {
    case kPing:
      return;
    case kDeviceListReq: {
      Request request{Kind::kDeviceList, peer, reader.U32(), {}, 0, 0, 0, {}};
      if (!reader.Ok()) return malformed();
      const uint32_t word = AddRequest(request);
      if (word == 0) return tooMany();
      engine_.PostPlain(WM_RELAY_GET_DEVICE_LIST, 0, word);
      return;
    }
    case kVideoReq: {
      RelayRequestRecord record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      size_t videos = 0;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        videos = videos_.size();
        for (const auto& [word, request] : requests_) videos += request.kind == Kind::kVideo ? 1 : 0;
      }
      uint32_t word = 0;
      if (static_cast<LONG>(videos) < videoLimit_) {
        word = AddRequest(Request{Kind::kVideo, peer, 0, record.szDevKey, record.dwStream, record.dwChannel,
                                  record.dwWord3, {}});
      }
      if (word == 0) {
        qCWarning(lcPelk) << "relay server: live video of" << record.szDevKey << "for" << link.PeerText().c_str()
                          << "refused: more than" << videoLimit_.load() << "forwarded videos";
        RelayVideoAnswer answer;
        std::memcpy(answer.szDevKey, record.szDevKey, sizeof answer.szDevKey);
        answer.dwMainId = record.dwStream;
        answer.dwSubId = record.dwChannel;
        link.Send(FrameBuilder(kVideoAnswer).U32(PELK_STATUS_REFUSED).Record(answer).Finish(), SendClass::kControl);
        return;
      }
      engine_.Post(WM_RELAY_VIDEO_REQUEST, NewRecordFrom(engine_, record), word);
      return;
    }
    case kVideoClose: {
      RelayRequestRecord record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      // The request word of this peer's video of that stream goes along, so
      // that a close never ends another peer's video of the same stream.
      DWORD word = 0;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = videos_.begin(); it != videos_.end();) {
          if (it->second.peer == peer && it->second.key == record.szDevKey &&
              it->second.stream == record.dwStream && it->second.channel == record.dwChannel) {
            word = it->second.word;
            it = videos_.erase(it);
          } else {
            ++it;
          }
        }
        for (auto it = requests_.begin(); it != requests_.end();) {
          if (it->second.kind == Kind::kVideo && it->second.peer == peer && it->second.key == record.szDevKey &&
              it->second.stream == record.dwStream && it->second.channel == record.dwChannel) {
            word = it->first;
            it = requests_.erase(it);
          } else {
            ++it;
          }
        }
      }
      engine_.Post(WM_RELAY_VIDEO_CLOSE, NewRecordFrom(engine_, record), word);
      return;
    }
    case kSearchReq: {
      ReplaySearchRequest record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      Terminate(record.szStart);
      Terminate(record.szEnd);
      const uint32_t word = AddRequest(Request{Kind::kSearch, peer, record.dwSearchId, record.szDevKey, 0, 0, 0, {}});
      if (word == 0) return tooMany();
      engine_.Post(WM_RELAY_REPLAY_SEARCH, NewRecordFrom(engine_, record), word);
      return;
    }
    case kSearchDateReq: {
      const uint32_t rid = reader.U32();
      SearchByDateRequest record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      record.dwHandle = peer;
      const uint32_t word =
          AddRequest(Request{Kind::kSearchDate, peer, rid, record.szDevKey, record.dwStream, record.dwChannel, 0, {}});
      if (word == 0) return tooMany();
      engine_.Post(WM_RELAY_REPLAY_SEARCH_BY_DATE, NewRecordFrom(engine_, record), word);
      return;
    }
    case kReplayStartReq:
    case kDownloadStartReq: {
      const uint32_t rid = reader.U32();
      RelayFileRequest record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      Terminate(record.szPath);
      record.dwHandle = peer;
      const Kind kind = type == kReplayStartReq ? Kind::kReplay : Kind::kDownload;
      const uint32_t word =
          AddRequest(Request{kind, peer, rid, record.szDevKey, record.dwStream, record.dwChannel, 0, record.szPath});
      if (word == 0) return tooMany();
      link.Send(FrameBuilder(kSessionOpened).U32(rid).U32(peer).U32(word).Finish(), SendClass::kControl);
      engine_.Post(type == kReplayStartReq ? WM_RELAY_REPLAY_START : WM_RELAY_DOWNLOAD_REQUEST,
                   NewRecordFrom(engine_, record), word);
      return;
    }
    case kByDateStartReq: {
      const uint32_t rid = reader.U32();
      ReplayByDateRequest record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      record.dwHandle = peer;
      const uint32_t word =
          AddRequest(Request{Kind::kByDate, peer, rid, record.szDevKey, 0, record.dwChannel, 0, {}});
      if (word == 0) return tooMany();
      link.Send(FrameBuilder(kSessionOpened).U32(rid).U32(peer).U32(word).Finish(), SendClass::kControl);
      engine_.Post(WM_RELAY_REPLAY_START_BY_DATE, NewRecordFrom(engine_, record), word);
      return;
    }
    case kReplayCtrl:
    case kByDateCtrl:
    case kDownloadStop:
      return SessionControl(link, type, payload, length);
    case kPtzDirection: {
      RelayPtzDirection record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      engine_.Post(WM_RELAY_PTZ_DIRECTION, NewRecordFrom(engine_, record), 0);
      return;
    }
    case kPtzPreset: {
      RelayPtzPreset record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      Terminate(record.szPreset);
      engine_.Post(WM_RELAY_PTZ_PRESET, NewRecordFrom(engine_, record), 0);
      return;
    }
    case kPtzAux: {
      RelayPtzAux record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      engine_.Post(WM_RELAY_PTZ_AUX, NewRecordFrom(engine_, record), 0);
      return;
    }
    case kPtzPresetList: {
      RelayRequestRecord record;
      if (!reader.Record(&record)) return malformed();
      Terminate(record.szDevKey);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        size_t asked = 0;
        for (const PresetAsk& ask : presetAsks_) asked += ask.peer == peer ? 1 : 0;
        if (asked >= engine_.Options().maxRequestsPerPeer) return tooMany();
        presetAsks_.push_back(PresetAsk{peer, record.szDevKey, record.dwChannel});
      }
      engine_.Post(WM_RELAY_PTZ_PRESET_LIST, NewRecordFrom(engine_, record), 0);
      return;
    }
    default:
      qCWarning(lcPelk) << "relay peer" << link.PeerText().c_str() << "sent a frame of unknown type" << type
                        << "; skipped";
      return;
  }
}

void Server::SessionControl(Link& link, uint16_t type, const uint8_t* payload, size_t length) {
  PayloadReader reader(payload, length);
  const DWORD word = reader.U32();
  const DWORD what = type == kDownloadStop ? static_cast<DWORD>(kCtrlCode) : reader.U32();
  const DWORD value = type == kDownloadStop ? kControlStop : reader.U32();
  if (!reader.Ok() || reader.Remaining() != 0 || what > kCtrlSpeed) {
    qCWarning(lcPelk) << "relay peer" << link.PeerText().c_str() << "sent a malformed session control; dropping it";
    link.Close("malformed frame");
    return;
  }
  const Kind kind = type == kReplayCtrl ? Kind::kReplay : type == kByDateCtrl ? Kind::kByDate : Kind::kDownload;
  Request request;
  const bool stop = what == kCtrlCode && value == kControlStop;
  if (!FindRequest(link.Id(), word, kind, &request, stop)) {
    qCInfo(lcPelk) << "relay peer" << link.PeerText().c_str() << "steers session" << word << "it does not hold";
    return;
  }
  if (kind == Kind::kByDate) {
    static constexpr UINT kMessages[] = {WM_RELAY_REPLAY_SEEK_BY_DATE, WM_RELAY_REPLAY_CONTROL_BY_DATE,
                                         WM_RELAY_REPLAY_SPEED_BY_DATE};
    engine_.Post(kMessages[what], NewRecordFrom(engine_, MakeByDateControl(request.key, request.channel, value)),
                 word);
    return;
  }
  static constexpr UINT kMessages[] = {WM_RELAY_REPLAY_SEEK, WM_RELAY_REPLAY_INDEX, WM_RELAY_REPLAY_SPEED};
  const UINT msg = kind == Kind::kDownload ? WM_RELAY_DOWNLOAD_STOP : kMessages[what];
  engine_.Post(msg, NewRecordFrom(engine_, MakeControl(request.key, request.stream, request.channel, value, request.path)),
               word);
}

void Server::PostStops(const std::vector<Request>& requests, const std::vector<Video>& videos) {
  for (const Video& video : videos) {
    engine_.Post(WM_RELAY_VIDEO_CLOSE,
                 NewRecordFrom(engine_, MakeRequestRecord(video.key, video.stream, video.channel, video.word3)),
                 video.word);
  }
  for (const Request& request : requests) {
    // The word of each request is kept in word3 by OnClosed (see there).
    const DWORD word = request.word3;
    switch (request.kind) {
      case Kind::kReplay:
        engine_.Post(WM_RELAY_REPLAY_SEEK,
                     NewRecordFrom(engine_, MakeControl(request.key, request.stream, request.channel, kControlStop,
                                                        request.path)),
                     word);
        break;
      case Kind::kByDate:
        engine_.Post(WM_RELAY_REPLAY_SEEK_BY_DATE,
                     NewRecordFrom(engine_, MakeByDateControl(request.key, request.channel, kControlStop)), word);
        break;
      case Kind::kDownload:
        engine_.Post(WM_RELAY_DOWNLOAD_STOP,
                     NewRecordFrom(engine_, MakeControl(request.key, request.stream, request.channel, 0, request.path)),
                     word);
        break;
      default:
        break;
    }
  }
}

void Server::OnClosed(Link& link) {
  std::vector<Request> sessions;
  std::vector<Video> videos;
  std::shared_ptr<Link> self;
  bool wasLoggedIn = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = peers_.find(link.Id());
    if (found != peers_.end()) {
      self = found->second.link;
      wasLoggedIn = found->second.loggedIn;
      peers_.erase(found);
    }
    for (auto it = videos_.begin(); it != videos_.end();) {
      if (it->second.peer == link.Id()) {
        videos.push_back(it->second);
        it = videos_.erase(it);
      } else {
        ++it;
      }
    }
    for (auto it = requests_.begin(); it != requests_.end();) {
      if (it->second.peer != link.Id()) {
        ++it;
        continue;
      }
      if (it->second.kind == Kind::kVideo) {
        // A video asked for and not answered yet: its session may hang on a
        // stream object already; it is closed like an answered one.
        videos.push_back(Video{it->second.peer, it->second.key, it->second.stream, it->second.channel,
                               it->second.word3, it->first, false});
      } else {
        Request session = it->second;
        session.word3 = it->first;
        sessions.push_back(session);
      }
      it = requests_.erase(it);
    }
    std::erase_if(presetAsks_, [&](const PresetAsk& ask) { return ask.peer == link.Id(); });
    peersCv_.notify_all();
  }
  if (wasLoggedIn) {
    qCInfo(lcPelk) << "relay server: peer" << link.PeerText().c_str() << "gone (" << link.CloseReason() << ")";
  }
  PostStops(sessions, videos);
  engine_.Gate().Notify();
  if (self) engine_.Reap(std::move(self));
}

// ---- answers -----------------------------------------------------------------

LONG Server::RspDeviceList(LONG status, DWORD word, const RelayDeviceEntry* list, LONG count) {
  Request request;
  std::shared_ptr<Link> link = FindRequest(0, word, Kind::kDeviceList, &request, true);
  if (!link) return -1;
  if (status != PELK_STATUS_ANSWER || !list || count < 0) count = 0;
  const size_t entries = std::min<size_t>(static_cast<size_t>(count), kMaxListEntries);
  FrameBuilder frame(kDeviceList, 12 + entries * sizeof(RelayDeviceEntry));
  frame.U32(request.rid).U32(static_cast<uint32_t>(status)).U32(static_cast<uint32_t>(entries));
  for (size_t i = 0; i < entries; ++i) frame.Record(list[i]);
  return link->Send(frame.Finish(), SendClass::kControl) ? 0 : -1;
}

DWORD Server::RspDeviceVideo(LONG status, const char* key, DWORD stream, DWORD channel, DWORD word3, DWORD word,
                             const BYTE* video, const BYTE* audio) {
  Request request;
  std::shared_ptr<Link> link = FindRequest(0, word, Kind::kVideo, &request, true);
  if (!link) return 0;
  RelayVideoAnswer answer;
  CopyText(answer.szDevKey, key ? key : request.key.c_str());
  answer.dwMainId = stream;
  answer.dwSubId = channel;
  const bool accepted = status == PELK_STATUS_ANSWER && (video || audio);
  DWORD handle = 0;
  if (accepted) {
    if (audio) std::memcpy(answer.AudioParam, audio, PELK_AUDIO_PARAM_SIZE);
    if (video) std::memcpy(answer.VideoParam, video, PELK_VIDEO_PARAM_SIZE);
    handle = engine_.NextWord();
    std::lock_guard<std::mutex> lock(mutex_);
    videos_[handle] = Video{request.peer, answer.szDevKey, stream, channel, word3, word, false};
  }
  const uint32_t sent = accepted ? PELK_STATUS_ANSWER : PELK_STATUS_REFUSED;
  link->Send(FrameBuilder(kVideoAnswer, 4 + sizeof answer).U32(sent).Record(answer).Finish(), SendClass::kControl);
  return handle;
}

LONG Server::ReportAVData(DWORD handle, const char* key, DWORD stream, DWORD channel, LONG kind, const BYTE* data,
                          LONG length, const RelayFrameInfo* info) {
  if (handle == 0 || !data || length < 1) return -1;
  std::shared_ptr<Link> link;
  bool dropping = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = videos_.find(handle);
    if (found == videos_.end()) return -1;
    dropping = found->second.dropping;
    auto peer = peers_.find(found->second.peer);
    if (peer == peers_.end()) return -1;
    link = peer->second.link;
  }
  const bool keyVideo = kind == PELK_MEDIA_VIDEO && info && (info->dwKeyFlag & 1u);
  // A slow peer loses frames up to the next key frame that finds room.
  if (dropping && (!keyVideo || link->QueuedBytes() > link->Limits().liveBytes / 2)) return -1;
  const RelayFrameInfo frameInfo = info ? *info : RelayFrameInfo{};
  FrameBuilder frame(kVideoFrame, 76 + static_cast<size_t>(length));
  frame.FixedText(key, PELK_KEY_SIZE).U32(stream).U32(channel).I32(kind).Record(frameInfo).Bytes(data,
                                                                                                 static_cast<size_t>(length));
  const bool sent = link->Send(frame.Finish(), SendClass::kLive);
  if (!sent || dropping) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = videos_.find(handle);
    if (found != videos_.end()) found->second.dropping = !sent;
  }
  return sent ? 0 : -1;
}

LONG Server::CloseDeviceVideo(DWORD handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  return videos_.erase(handle) ? 0 : -1;
}

LONG Server::RspReplaySearch(LONG status, DWORD searchId, DWORD word, LONG count, const char* text) {
  Request request;
  std::shared_ptr<Link> link = FindRequest(0, word, Kind::kSearch, &request, true);
  if (!link) return -1;
  size_t length = (status == PELK_STATUS_ANSWER && text) ? std::strlen(text) : 0;
  if (length + 16 > kMaxPayload) {
    status = PELK_STATUS_REFUSED;
    length = 0;
  }
  if (status != PELK_STATUS_ANSWER) count = 0;
  FrameBuilder frame(kSearchResult, 12 + length);
  frame.U32(searchId).U32(static_cast<uint32_t>(status)).U32(static_cast<uint32_t>(count)).Bytes(text, length);
  return link->Send(frame.Finish(), SendClass::kControl) ? 0 : -1;
}

LONG Server::RspReplayStart(LONG status, DWORD handle, DWORD word, const BYTE* video, const BYTE* audio,
                            const char* path, LONG seconds) {
  Request request;
  std::shared_ptr<Link> link = FindRequest(handle, word, Kind::kReplay, &request, status != PELK_STATUS_ANSWER);
  if (!link) return -1;
  FrameBuilder frame(kReplayStartResult, 20 + PELK_AUDIO_PARAM_SIZE + PELK_VIDEO_PARAM_SIZE + PELK_PATH_SIZE);
  frame.U32(request.rid).U32(static_cast<uint32_t>(status)).U32(request.peer).U32(word).I32(seconds);
  frame.Block(status == PELK_STATUS_ANSWER ? audio : nullptr, PELK_AUDIO_PARAM_SIZE);
  frame.Block(status == PELK_STATUS_ANSWER ? video : nullptr, PELK_VIDEO_PARAM_SIZE);
  frame.FixedText(path ? path : request.path.c_str(), PELK_PATH_SIZE);
  return link->Send(frame.Finish(), SendClass::kControl) ? 0 : -1;
}

LONG Server::ReportReplayData(DWORD handle, DWORD word, LONG kind, const BYTE* data, LONG length,
                              const RelayFrameInfo* info) {
  if (!data || length < 1) return -1;
  std::shared_ptr<Link> link = FindRequest(handle, word, Kind::kReplay, nullptr, false);
  if (!link) return -1;
  FrameBuilder frame(kReplayData, 32 + static_cast<size_t>(length));
  frame.U32(word).I32(kind).Record(info ? *info : RelayFrameInfo{}).Bytes(data, static_cast<size_t>(length));
  return link->Send(frame.Finish(), SendClass::kBulk, engine_.Options().bulkWaitMs) ? 0 : -1;
}

LONG Server::NotifyReplayStop(DWORD handle, DWORD word) {
  std::shared_ptr<Link> link = FindRequest(handle, word, Kind::kReplay, nullptr, true);
  if (!link) return -1;
  return link->Send(FrameBuilder(kReplayEnd).U32(word).Finish(), SendClass::kControl) ? 0 : -1;
}

LONG Server::ReportReplayDataByDate(DWORD handle, DWORD word, LONG kind, const BYTE* data, LONG length,
                                    const RelayFrameInfo* info, const BYTE* video, const BYTE* audio, LONG first,
                                    LONG seconds, DWORD startSecond) {
  if (!data || length < 1) return -1;
  std::shared_ptr<Link> link = FindRequest(handle, word, Kind::kByDate, nullptr, false);
  if (!link) return -1;
  const bool blocks = first != 0;
  FrameBuilder frame(kByDateData, 44 + static_cast<size_t>(length) +
                                      (blocks ? PELK_VIDEO_PARAM_SIZE + PELK_AUDIO_PARAM_SIZE : 0));
  frame.U32(word).I32(kind).Record(info ? *info : RelayFrameInfo{});
  frame.U32(blocks ? 1 : 0).I32(seconds).U32(startSecond);
  if (blocks) frame.Block(video, PELK_VIDEO_PARAM_SIZE).Block(audio, PELK_AUDIO_PARAM_SIZE);
  frame.Bytes(data, static_cast<size_t>(length));
  return link->Send(frame.Finish(), SendClass::kBulk, engine_.Options().bulkWaitMs) ? 0 : -1;
}

LONG Server::NotifyReplayStopByDate(DWORD handle, DWORD word) {
  std::shared_ptr<Link> link = FindRequest(handle, word, Kind::kByDate, nullptr, true);
  if (!link) return -1;
  return link->Send(FrameBuilder(kByDateEnd).U32(word).Finish(), SendClass::kControl) ? 0 : -1;
}

LONG Server::RspReplaySearchByDate(LONG status, DWORD handle, DWORD word, DWORD channel, const char* dayMap,
                                   DATE date) {
  Request request;
  std::shared_ptr<Link> link = FindRequest(handle, word, Kind::kSearchDate, &request, true);
  if (!link) return -1;
  const CivilTime day = FromAutomationDate(date);
  char map[PELK_DAY_MAP_SIZE] = {};
  if (status == PELK_STATUS_ANSWER && dayMap) std::memcpy(map, dayMap, strnlen(dayMap, sizeof map));
  FrameBuilder frame(kSearchDateResult, 24 + sizeof map);
  frame.U32(request.rid).U32(static_cast<uint32_t>(status)).U32(channel);
  frame.U32(static_cast<uint32_t>(day.year)).U32(static_cast<uint32_t>(day.month)).U32(static_cast<uint32_t>(day.day));
  frame.Bytes(map, sizeof map);
  return link->Send(frame.Finish(), SendClass::kControl) ? 0 : -1;
}

LONG Server::RspDloadStart(LONG status, DWORD handle, DWORD word, DWORD sizeLow, DWORD sizeHigh) {
  Request request;
  std::shared_ptr<Link> link = FindRequest(handle, word, Kind::kDownload, &request, status != PELK_STATUS_ANSWER);
  if (!link) return -1;
  const uint64_t size = status == PELK_STATUS_ANSWER ? PelkMake64(sizeLow, sizeHigh) : 0;
  return link->Send(FrameBuilder(kDownloadStartResult).U32(request.rid).U32(static_cast<uint32_t>(status)).U64(size).Finish(),
                    SendClass::kControl)
             ? 0
             : -1;
}

LONG Server::ReportDloadData(DWORD handle, DWORD word, const BYTE* data, LONG length, uint64_t offset,
                             uint64_t size) {
  if (!data || length < 1) return -1;
  Request request;
  std::shared_ptr<Link> link = FindRequest(handle, word, Kind::kDownload, &request, false);
  if (!link) return -1;
  FrameBuilder frame(kDownloadData, 20 + static_cast<size_t>(length));
  frame.U32(word).U64(offset).U64(size).Bytes(data, static_cast<size_t>(length));
  if (link->Send(frame.Finish(), SendClass::kBulk, engine_.Options().bulkWaitMs)) return 0;
  // A piece that cannot go out would leave a hole in the peer's file: the
  // download ends here and the peer never sees it complete.
  if (FindRequest(handle, word, Kind::kDownload, nullptr, true)) {
    qCWarning(lcPelk) << "relay server: download of" << request.path.c_str() << "to" << link->PeerText().c_str()
                      << "stopped: the peer does not keep up";
    engine_.Post(WM_RELAY_DOWNLOAD_STOP,
                 NewRecordFrom(engine_, MakeControl(request.key, request.stream, request.channel, 0, request.path)),
                 word);
  }
  return -1;
}

LONG Server::NotifyDloadStop(DWORD handle, DWORD word) {
  std::shared_ptr<Link> link = FindRequest(handle, word, Kind::kDownload, nullptr, true);
  if (!link) return -1;
  return link->Send(FrameBuilder(kDownloadEnd).U32(word).Finish(), SendClass::kControl) ? 0 : -1;
}

LONG Server::RspInvitePreset(const char* key, DWORD channel, const char* text) {
  if (!key) return -1;
  std::vector<uint32_t> askers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase_if(presetAsks_, [&](const PresetAsk& ask) {
      if (ask.key != key || ask.channel != channel) return false;
      askers.push_back(ask.peer);
      return true;
    });
  }
  const size_t length = text ? strnlen(text, PELK_PRESET_TEXT_SIZE - 1) : 0;
  for (uint32_t peer : askers) {
    if (auto link = PeerLink(peer)) {
      link->Send(FrameBuilder(kPresetList).FixedText(key, PELK_KEY_SIZE).U32(channel).Bytes(text, length).Finish(),
                 SendClass::kControl);
    }
  }
  return askers.empty() ? -1 : 0;
}

void Server::SendToAll(const std::vector<uint8_t>& frame) {
  std::vector<std::shared_ptr<Link>> links;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [id, peer] : peers_) {
      if (peer.loggedIn) links.push_back(peer.link);
    }
  }
  for (auto& link : links) link->Send(frame, SendClass::kControl);
}

LONG Server::ReportDeviceState(const char* key, LONG channel, LONG state) {
  if (!key) return -1;
  SendToAll(FrameBuilder(kDeviceState).FixedText(key, PELK_KEY_SIZE).I32(channel).I32(state).Finish());
  return 0;
}

LONG Server::NotifyUpdateDeviceList() {
  SendToAll(FrameBuilder(kDeviceListChanged).Finish());
  return 0;
}

LONG Server::ReportAlarmInfo(const char* key, LONG channel, const RelayAlarmRecord* alarm) {
  if (!key || !alarm) return -1;
  SendToAll(FrameBuilder(kAlarm).FixedText(key, PELK_KEY_SIZE).I32(channel).Record(*alarm).Finish());
  return 0;
}

size_t Server::LoggedInPeers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  size_t count = 0;
  for (const auto& [id, peer] : peers_) count += peer.loggedIn ? 1 : 0;
  return count;
}

size_t Server::OpenVideos() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return videos_.size();
}

}  // namespace pelk
