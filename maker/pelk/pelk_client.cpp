#include "pelk/pelk_client.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "pelk/pelk_auth.h"
#include "pelk/pelk_engine.h"
#include "pelk/pelk_inner.h"
#include "pelk/pelk_log.h"
#include "pelk/pelk_wire.h"

namespace pelk {

namespace {

using Clock = std::chrono::steady_clock;

// The login's exchange on a socket that has no threads yet. On the UI thread
// every wait runs the UI gate's jobs, so a user check of this same process's
// server is answered while the login waits.
class LoginIo {
 public:
  LoginIo(int fd, UiGate& gate, Clock::time_point deadline) : fd_(fd), gate_(gate), deadline_(deadline) {}

  bool Wait(short events) {
    const bool ui = UiGate::OnUiThread();
    while (Clock::now() < deadline_) {
      if (ui) gate_.Drain();
      pollfd poller{fd_, events, 0};
      const int ready = poll(&poller, 1, ui ? 20 : 200);
      if (ready > 0) return (poller.revents & (POLLERR | POLLNVAL)) == 0 || (poller.revents & events);
      if (ready < 0 && errno != EINTR) return false;
    }
    return false;
  }

  bool WriteAll(const std::vector<uint8_t>& frame) {
    size_t done = 0;
    while (done < frame.size()) {
      const ssize_t sent = send(fd_, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
      if (sent > 0) {
        done += static_cast<size_t>(sent);
      } else if (sent < 0 && (errno == EAGAIN || errno == EINTR)) {
        if (!Wait(POLLOUT)) return false;
      } else {
        return false;
      }
    }
    return true;
  }

  bool ReadExactly(uint8_t* out, size_t length) {
    size_t done = 0;
    while (done < length) {
      const ssize_t got = recv(fd_, out + done, length - done, 0);
      if (got > 0) {
        done += static_cast<size_t>(got);
      } else if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        if (!Wait(POLLIN)) return false;
      } else {
        return false;
      }
    }
    return true;
  }

  bool ReadFrame(uint16_t expected, std::vector<uint8_t>* payload) {
    uint8_t bytes[kHeaderSize];
    if (!ReadExactly(bytes, sizeof bytes)) return false;
    FrameHeader header;
    if (ParseHeader(bytes, kMaxLoginPayload, &header) != HeaderCheck::kOk || header.type != expected) return false;
    payload->resize(header.length);
    return ReadExactly(payload->data(), header.length);
  }

 private:
  int fd_;
  UiGate& gate_;
  Clock::time_point deadline_;
};

bool HasCodecName(const BYTE* block) { return block[0] != 0; }

}  // namespace

DWORD ServingSpeed(LONG requesterSpeed) {
  if (requesterSpeed >= 2 && requesterSpeed <= 6) return static_cast<DWORD>(requesterSpeed + 5);   // slow
  if (requesterSpeed >= 7 && requesterSpeed <= 11) return static_cast<DWORD>(requesterSpeed - 5);  // fast
  return 1;  // normal
}

LONG Client::Login(const char* ipAddr, LONG port, const char* userName, const char* password) {
  in_addr address{};
  if (!ipAddr || inet_pton(AF_INET, ipAddr, &address) != 1 || port <= 0 || port > 65535) return 0;
  const std::string user = userName ? std::string(userName).substr(0, kMaxUserName) : std::string();
  const auto start = Clock::now();
  int fd = -1;
  {
    // Connect waits on the new socket: the helper needs it first.
    const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe < 0) return 0;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr = address;
    target.sin_port = htons(static_cast<uint16_t>(port));
    LoginIo io(probe, engine_.Gate(), start + std::chrono::milliseconds(engine_.Options().connectTimeoutMs));
    int error = 0;
    socklen_t length = sizeof error;
    const bool started =
        connect(probe, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0 || errno == EINPROGRESS;
    if (!started || !io.Wait(POLLOUT) || getsockopt(probe, SOL_SOCKET, SO_ERROR, &error, &length) != 0 ||
        error != 0) {
      qCWarning(lcPelk) << "relay login: cannot connect to" << ipAddr << "port" << port;
      ::close(probe);
      return 0;
    }
    fd = probe;
  }
  LoginIo io(fd, engine_.Gate(), start + std::chrono::milliseconds(engine_.Options().loginTimeoutMs));
  const Nonce clientNonce = MakeNonce();
  std::vector<uint8_t> payload;
  uint32_t status = kWelcomeRefused;
  uint32_t handle = 0;
  bool exchanged = io.WriteAll(FrameBuilder(kHello)
                                   .Bytes(clientNonce.data(), clientNonce.size())
                                   .U32(static_cast<uint32_t>(user.size()))
                                   .Bytes(user.data(), user.size())
                                   .Finish()) &&
                   io.ReadFrame(kChallenge, &payload) && payload.size() == kNonceSize;
  if (exchanged) {
    Nonce serverNonce{};
    std::memcpy(serverNonce.data(), payload.data(), serverNonce.size());
    const Proof proof = MakeProof(password, serverNonce, clientNonce, user);
    exchanged = io.WriteAll(FrameBuilder(kProof).Bytes(proof.data(), proof.size()).Finish()) &&
                io.ReadFrame(kWelcome, &payload) && payload.size() == 8;
  }
  if (exchanged) {
    PayloadReader reader(payload.data(), payload.size());
    status = reader.U32();
    handle = reader.U32();
  }
  if (!exchanged || status != kWelcomeAccepted) {
    qCWarning(lcPelk) << "relay login of" << user.c_str() << "at" << ipAddr << "port" << port
                      << (exchanged ? "refused, status" : "failed: no answer") << status;
    ::close(fd);
    return 0;
  }
  const uint32_t id = engine_.NextWord();
  auto link = std::make_shared<Link>(fd, id, engine_.Options().timing, engine_.Options().limits, true);
  engine_.LinkStarted();
  {
    // Started under the lock: a logout that finds the link reaps it, and the
    // reaper's join must not meet a link whose threads are still being made.
    std::lock_guard<std::mutex> lock(mutex_);
    logins_[static_cast<LONG>(id)].link = link;
    link->Start(this);
  }
  qCInfo(lcPelk) << "relay login of" << user.c_str() << "at" << ipAddr << "port" << port << "as handle" << id
                 << "(peer word" << handle << ")";
  return static_cast<LONG>(id);
}

LONG Client::LogOut(LONG login) {
  std::shared_ptr<Link> link;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = logins_.find(login);
    if (found == logins_.end()) return -1;
    link = found->second.link;
    logins_.erase(found);
  }
  link->Close("logged out");
  link->WaitDispatchIdle();
  engine_.Reap(std::move(link));
  return 0;
}

void Client::LogOutAll() {
  std::vector<LONG> handles;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [handle, state] : logins_) handles.push_back(handle);
  }
  for (LONG handle : handles) LogOut(handle);
}

LONG Client::IsInnerIp(LONG login) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = logins_.find(login);
  if (found == logins_.end()) return 0;
  const Link& link = *found->second.link;
  return IsInnerNetwork(link.PeerAddress(), link.LocalAddress(), InterfaceMask(link.LocalAddress())) ? 1 : 0;
}

void Client::AdoptLogin(std::shared_ptr<Link> link) {
  std::lock_guard<std::mutex> lock(mutex_);
  logins_[static_cast<LONG>(link->Id())].link = std::move(link);
}

size_t Client::Logins() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return logins_.size();
}

bool Client::Send(LONG login, std::vector<uint8_t> frame) {
  std::shared_ptr<Link> link;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = logins_.find(login);
    if (found == logins_.end()) return false;
    link = found->second.link;
  }
  return link->Send(std::move(frame), SendClass::kControl);
}

uint32_t Client::AddPending(LONG login, const Pending& pending) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = logins_.find(login);
  if (found == logins_.end()) return 0;
  LoginState& state = found->second;
  if (state.pending.size() >= engine_.Options().maxRequestsPerPeer) state.pending.erase(state.pending.begin());
  uint32_t rid = state.nextRid++;
  if (rid == 0) rid = state.nextRid++;
  state.pending[rid] = pending;
  return rid;
}

LONG Client::SendRecord(LONG login, uint16_t type, const void* record, size_t size) {
  return Send(login, FrameBuilder(type, size).Bytes(record, size).Finish()) ? 0 : -1;
}

LONG Client::InviteDeviceList(LONG login) {
  const uint32_t rid = AddPending(login, Pending{Kind::kDeviceList, {}, 0, 0, {}, false});
  if (rid == 0) return 0;
  return Send(login, FrameBuilder(kDeviceListReq).U32(rid).Finish()) ? 1 : 0;
}

LONG Client::InviteDeviceVideo(LONG login, const char* key, LONG stream, LONG channel) {
  if (!key) return -1;
  RelayRequestRecord record;
  CopyText(record.szDevKey, key);
  record.dwStream = static_cast<DWORD>(stream);
  record.dwChannel = static_cast<DWORD>(channel);
  return SendRecord(login, kVideoReq, &record, sizeof record);
}

LONG Client::InviteCloseDeviceVideo(LONG login, const char* key, LONG stream, LONG channel) {
  if (!key) return -1;
  RelayRequestRecord record;
  CopyText(record.szDevKey, key);
  record.dwStream = static_cast<DWORD>(stream);
  record.dwChannel = static_cast<DWORD>(channel);
  engine_.RealData().Unregister(record.szDevKey, record.dwStream, record.dwChannel);
  return SendRecord(login, kVideoClose, &record, sizeof record);
}

LONG Client::InviteReplaySearch(LONG login, const ReplaySearchRequest& request) {
  const uint32_t rid = AddPending(login, Pending{Kind::kSearch, request.szDevKey, request.dwStreamSel,
                                                 request.dwChannel, {}, false});
  if (rid == 0) return 0;
  ReplaySearchRequest record = request;
  record.dwSearchId = rid;
  return SendRecord(login, kSearchReq, &record, sizeof record) == 0 ? static_cast<LONG>(rid) : 0;
}

LONG Client::InviteReplaySearchByDate(LONG login, const char* key, LONG channel, int year, int month, int day) {
  if (!key) return -1;
  SearchByDateRequest record;
  CopyText(record.szDevKey, key);
  record.dwChannel = static_cast<DWORD>(channel);
  record.dwYear = static_cast<DWORD>(year);
  record.dwMonth = static_cast<DWORD>(month);
  record.dwDay = static_cast<DWORD>(day);
  const uint32_t rid = AddPending(login, Pending{Kind::kSearchDate, record.szDevKey, 0, record.dwChannel, {}, false});
  if (rid == 0) return -1;
  return Send(login, FrameBuilder(kSearchDateReq).U32(rid).Record(record).Finish()) ? 0 : -1;
}

LONG Client::InviteReplayStart(LONG login, const char* key, LONG stream, LONG channel, LONG kind, const char* path) {
  if (!key || !path) return -1;
  RelayFileRequest record;
  CopyText(record.szDevKey, key);
  record.dwStream = static_cast<DWORD>(stream);
  record.dwChannel = static_cast<DWORD>(channel);
  CopyText(record.szPath, path);
  record.dwKind = static_cast<DWORD>(kind);
  const uint32_t rid = AddPending(
      login, Pending{Kind::kReplay, record.szDevKey, record.dwStream, record.dwChannel, record.szPath, false});
  if (rid == 0) return -1;
  return Send(login, FrameBuilder(kReplayStartReq).U32(rid).Record(record).Finish()) ? 0 : -1;
}

LONG Client::InviteDloadStart(LONG login, const char* key, LONG stream, LONG channel, LONG kind, const char* path) {
  if (!key || !path) return 0;
  RelayFileRequest record;
  CopyText(record.szDevKey, key);
  record.dwStream = static_cast<DWORD>(stream);
  record.dwChannel = static_cast<DWORD>(channel);
  CopyText(record.szPath, path);
  record.dwKind = static_cast<DWORD>(kind);
  const uint32_t rid = AddPending(
      login, Pending{Kind::kDownload, record.szDevKey, record.dwStream, record.dwChannel, record.szPath, false});
  if (rid == 0) return 0;
  return Send(login, FrameBuilder(kDownloadStartReq).U32(rid).Record(record).Finish()) ? 1 : 0;
}

LONG Client::InviteReplayStartByDate(LONG login, const ReplayByDateRequest& request) {
  const uint32_t rid =
      AddPending(login, Pending{Kind::kByDate, request.szDevKey, 0, request.dwChannel, {}, false});
  if (rid == 0) return -1;
  return Send(login, FrameBuilder(kByDateStartReq).U32(rid).Record(request).Finish()) ? 0 : -1;
}

LONG Client::ReplayControl(LONG login, DWORD session2, uint32_t what, DWORD value) {
  const bool stop = what == kCtrlCode && value == 5;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = logins_.find(login);
    if (found == logins_.end()) return -1;
    auto session = found->second.sessions.find(session2);
    if (session == found->second.sessions.end() || session->second.kind != Kind::kReplay) return -1;
    if (stop) found->second.sessions.erase(session);
  }
  return Send(login, FrameBuilder(kReplayCtrl).U32(session2).U32(what).U32(value).Finish()) ? 0 : -1;
}

LONG Client::ByDateControl(LONG login, const char* key, LONG channel, uint32_t what, DWORD value) {
  if (!key) return -1;
  const bool stop = what == kCtrlCode && value == 5;
  DWORD word = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = logins_.find(login);
    if (found == logins_.end()) return -1;
    LoginState& state = found->second;
    // The day replay of that key and channel; a caller that names the channel
    // otherwise still reaches the key's only day replay.
    auto match = state.sessions.end();
    int ofKey = 0;
    auto onlyOfKey = state.sessions.end();
    for (auto it = state.sessions.begin(); it != state.sessions.end(); ++it) {
      if (it->second.kind != Kind::kByDate || it->second.key != key) continue;
      ++ofKey;
      onlyOfKey = it;
      if (it->second.channel == static_cast<DWORD>(channel)) match = it;
    }
    if (match == state.sessions.end() && ofKey == 1) match = onlyOfKey;
    if (match == state.sessions.end()) {
      // Stopped before the server opened it: stopped as soon as it opens,
      // so the stop is taken.
      bool taken = false;
      if (stop) {
        for (auto& [rid, pending] : state.pending) {
          if (pending.kind == Kind::kByDate && pending.key == key) pending.stopped = taken = true;
        }
      }
      return taken ? 0 : -1;
    }
    word = match->first;
    if (stop) state.sessions.erase(match);
  }
  return Send(login, FrameBuilder(kByDateCtrl).U32(word).U32(what).U32(value).Finish()) ? 0 : -1;
}

LONG Client::InviteDloadStop(LONG login, const char* key, const char* path) {
  if (!path) return -1;
  DWORD word = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = logins_.find(login);
    if (found == logins_.end()) return -1;
    LoginState& state = found->second;
    for (auto it = state.sessions.begin(); it != state.sessions.end(); ++it) {
      if (it->second.kind == Kind::kDownload && it->second.path == path && (!key || it->second.key == key)) {
        word = it->first;
        state.sessions.erase(it);
        break;
      }
    }
    if (word == 0) {
      // Not opened by the server yet: stopped as soon as it opens, so the
      // stop is taken.
      bool taken = false;
      for (auto& [rid, pending] : state.pending) {
        if (pending.kind == Kind::kDownload && pending.path == path) pending.stopped = taken = true;
      }
      return taken ? 0 : -1;
    }
  }
  return Send(login, FrameBuilder(kDownloadStop).U32(word).Finish()) ? 0 : -1;
}

// ---- frames from the server --------------------------------------------------------

void Client::OnFrame(Link& link, uint16_t type, const uint8_t* payload, size_t length) {
  const LONG login = static_cast<LONG>(link.Id());
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!logins_.count(login)) return;
  }
  Dispatch(login, type, payload, length);
}

void Client::OnClosed(Link& link) {
  const LONG login = static_cast<LONG>(link.Id());
  std::shared_ptr<Link> self;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = logins_.find(login);
    if (found != logins_.end()) {
      self = found->second.link;
      logins_.erase(found);
    }
  }
  // A link logged out by this side was handed to the reaper by LogOut.
  if (!self) return;
  // Not logged out here: the server or the line went away.
  qCWarning(lcPelk) << "relay connection to" << link.PeerText().c_str() << "ended (" << link.CloseReason() << ")";
  engine_.PostPlain(WM_RELAY_SERVER_CLOSED, 0, login);
  engine_.Reap(std::move(self));
}

void Client::Dispatch(LONG login, uint16_t type, const uint8_t* payload, size_t length) {
  PayloadReader reader(payload, length);
  RecordStore& records = engine_.Records();
  switch (type) {
    case kPing:
      return;
    case kDeviceList: {
      const uint32_t rid = reader.U32();
      const uint32_t status = reader.U32();
      const uint32_t count = reader.U32();
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (LoginState* state = Find(login)) state->pending.erase(rid);
      }
      if (!reader.Ok() || count > kMaxListEntries || reader.Remaining() != count * sizeof(RelayDeviceEntry)) {
        qCWarning(lcPelk) << "relay server sent a malformed device list; ignored";
        return;
      }
      if (status != PELK_STATUS_ANSWER) {
        qCWarning(lcPelk) << "relay server refused its device list";
        return;
      }
      auto* record = records.NewRecord<RelayDeviceListRecord>();
      record->pList = records.NewArray<RelayDeviceEntry>(count);
      record->dwCount = count;
      for (uint32_t i = 0; i < count; ++i) {
        RelayDeviceEntry& entry = record->pList[i];
        reader.Record(&entry);
        Terminate(entry.IPAddr);
        Terminate(entry.DevName);
        Terminate(entry.DevSN);
        Terminate(entry.MACAddr);
      }
      engine_.Post(WM_RELAY_DEVICE_LIST, record, login, record->pList);
      return;
    }
    case kVideoAnswer: {
      const uint32_t status = reader.U32();
      RelayVideoAnswer answer;
      if (!reader.Record(&answer)) return;
      Terminate(answer.szDevKey);
      if (status != PELK_STATUS_ANSWER) {
        std::memset(answer.AudioParam, 0, sizeof answer.AudioParam);
        std::memset(answer.VideoParam, 0, sizeof answer.VideoParam);
      }
      auto* record = records.NewRecord<RelayVideoAnswer>();
      *record = answer;
      engine_.Post(WM_RELAY_CHANNEL_NOTIFY, record, login);
      return;
    }
    case kVideoFrame: {
      char key[PELK_KEY_SIZE];
      reader.FixedText(key, sizeof key);
      const DWORD stream = reader.U32();
      const DWORD channel = reader.U32();
      const LONG kind = reader.I32();
      RelayFrameInfo info;
      reader.Record(&info);
      size_t dataLength = 0;
      const uint8_t* data = reader.Rest(&dataLength);
      if (!reader.Ok() || dataLength == 0) return;
      engine_.RealData().Dispatch(login, key, stream, channel, kind, data, static_cast<LONG>(dataLength), &info);
      return;
    }
    case kSessionOpened: {
      const uint32_t rid = reader.U32();
      const DWORD handle = reader.U32();
      const DWORD word = reader.U32();
      if (!reader.Ok()) return;
      bool stopped = false;
      Kind kind = Kind::kReplay;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        LoginState* current = Find(login);
        if (!current) return;
        LoginState& state = *current;
        auto found = state.pending.find(rid);
        if (found == state.pending.end()) return;
        const Pending& pending = found->second;
        kind = pending.kind;
        stopped = pending.stopped;
        if (!stopped) {
          state.sessions[word] =
              Session{pending.kind, rid, pending.key, pending.stream, pending.channel, pending.path, handle, 0};
        }
        state.pending.erase(found);
      }
      if (stopped) {
        const uint16_t stopType = kind == Kind::kDownload ? kDownloadStop : kind == Kind::kByDate ? kByDateCtrl
                                                                                                   : kReplayCtrl;
        FrameBuilder frame(stopType);
        frame.U32(word);
        if (stopType != kDownloadStop) frame.U32(kCtrlCode).U32(5);
        Send(login, frame.Finish());
      }
      return;
    }
    case kSearchResult: {
      const uint32_t searchId = reader.U32();
      const uint32_t status = reader.U32();
      const uint32_t count = reader.U32();
      size_t textLength = 0;
      const uint8_t* text = reader.Rest(&textLength);
      if (!reader.Ok()) return;
      std::string key;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        LoginState* current = Find(login);
        if (!current) return;
        LoginState& state = *current;
        auto found = state.pending.find(searchId);
        if (found == state.pending.end()) return;
        key = found->second.key;
        state.pending.erase(found);
      }
      auto* record = records.NewRecord<RelayReplaySearchResult>();
      CopyText(record->szDevKey, key.c_str());
      record->dwSearchId = searchId;
      record->dwCount = record->dwTotal = status == PELK_STATUS_ANSWER ? count : 0;
      record->dwStatus = status;
      if (status == PELK_STATUS_ANSWER && textLength > 0) {
        record->pText = records.NewText(reinterpret_cast<const char*>(text), strnlen(reinterpret_cast<const char*>(text), textLength));
      }
      engine_.Post(WM_RELAY_REPLAY_SEARCH_RESULT, record, login, record->pText);
      return;
    }
    case kSearchDateResult: {
      const uint32_t rid = reader.U32();
      const uint32_t status = reader.U32();
      RelaySearchByDateResult result;
      result.dwChannel = reader.U32();
      result.dwYear = reader.U32();
      result.dwMonth = reader.U32();
      result.dwDay = reader.U32();
      char map[PELK_DAY_MAP_SIZE];
      reader.Bytes(map, sizeof map);
      std::string key;
      bool known = false;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        LoginState* current = Find(login);
        if (!current) return;
        LoginState& state = *current;
        auto found = state.pending.find(rid);
        if (found != state.pending.end()) {
          key = found->second.key;
          known = true;
          state.pending.erase(found);
        }
      }
      if (!reader.Ok() || !known) return;
      auto* record = records.NewRecord<RelaySearchByDateResult>();
      *record = result;
      CopyText(record->szDevKey, key.c_str());
      if (status == PELK_STATUS_ANSWER) record->pDayMap = records.NewText(map, strnlen(map, sizeof map));
      engine_.Post(WM_RELAY_REPLAY_SEARCH_BY_DATE_RESULT, record, login, record->pDayMap);
      return;
    }
    case kReplayStartResult: {
      const uint32_t rid = reader.U32();
      const uint32_t status = reader.U32();
      const DWORD handle = reader.U32();
      const DWORD word = reader.U32();
      const DWORD seconds = reader.U32();
      RelayReplayStartResult result;
      reader.Bytes(result.AudioParam, sizeof result.AudioParam);
      reader.Bytes(result.VideoParam, sizeof result.VideoParam);
      reader.FixedText(result.szPath, sizeof result.szPath);
      if (!reader.Ok()) return;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        LoginState* current = Find(login);
        if (!current) return;
        LoginState& state = *current;
        auto found = state.sessions.find(word);
        if (found == state.sessions.end() || found->second.rid != rid) return;
        CopyText(result.session.szDevKey, found->second.key.c_str());
        if (status != PELK_STATUS_ANSWER) state.sessions.erase(found);
      }
      result.session.dwSession1 = handle;
      result.session.dwSession2 = word;
      result.dwStatus = status;
      result.dwSeconds = seconds;
      auto* record = records.NewRecord<RelayReplayStartResult>();
      *record = result;
      engine_.Post(WM_RELAY_REPLAY_START_RESULT, record, login);
      return;
    }
    case kReplayData:
    case kByDateData:
    case kDownloadData:
      return OnSessionData(login, type, payload, length);
    case kReplayEnd:
    case kByDateEnd:
    case kDownloadEnd: {
      const DWORD word = reader.U32();
      Session session;
      if (!reader.Ok() || !TakeSession(login, word, &session, true)) return;
      if (type == kReplayEnd && session.kind == Kind::kReplay) {
        auto* record = records.NewRecord<RelayReplayEndRecord>();
        CopyText(record->session.szDevKey, session.key.c_str());
        record->session.dwSession1 = session.handle;
        record->session.dwSession2 = word;
        CopyText(record->szPath, session.path.c_str());
        engine_.Post(WM_RELAY_REPLAY_DATA_NOTIFY, record, login);
      } else if (type == kByDateEnd && session.kind == Kind::kByDate) {
        auto* record = records.NewRecord<RelayByDateEndRecord>();
        CopyText(record->szDevKey, session.key.c_str());
        record->dwChannel = session.channel;
        engine_.Post(WM_RELAY_REPLAY_BY_DATE_NOTIFY, record, login);
      } else if (type == kDownloadEnd && session.kind == Kind::kDownload) {
        auto* record = records.NewRecord<RelayDownloadRecord>();
        CopyText(record->szDevKey, session.key.c_str());
        record->dwStream = session.stream;
        record->dwChannel = session.channel;
        CopyText(record->szPath, session.path.c_str());
        record->dwSizeLow = PelkLow(session.size);
        record->dwSizeHigh = PelkHigh(session.size);
        engine_.Post(WM_RELAY_DOWNLOAD_NOTIFY, record, login);
      }
      return;
    }
    case kDownloadStartResult: {
      const uint32_t rid = reader.U32();
      const uint32_t status = reader.U32();
      const uint64_t size = reader.U64();
      if (!reader.Ok()) return;
      Session session;
      bool found = false;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        LoginState* current = Find(login);
        if (!current) return;
        LoginState& state = *current;
        for (auto it = state.sessions.begin(); it != state.sessions.end(); ++it) {
          if (it->second.kind != Kind::kDownload || it->second.rid != rid) continue;
          it->second.size = size;
          session = it->second;
          found = true;
          if (status != PELK_STATUS_ANSWER) state.sessions.erase(it);
          break;
        }
      }
      if (!found) return;
      auto* record = records.NewRecord<RelayDownloadRecord>();
      CopyText(record->szDevKey, session.key.c_str());
      record->dwStream = session.stream;
      record->dwChannel = session.channel;
      CopyText(record->szPath, session.path.c_str());
      record->dwStatus = status;
      record->dwSizeLow = PelkLow(size);
      record->dwSizeHigh = PelkHigh(size);
      engine_.Post(WM_RELAY_DOWNLOAD_FREE, record, login);
      return;
    }
    case kPresetList: {
      auto* record = records.NewRecord<RelayPresetListAnswer>();
      reader.FixedText(record->szDevKey, sizeof record->szDevKey);
      record->dwChannel = reader.U32();
      size_t textLength = 0;
      const uint8_t* text = reader.Rest(&textLength);
      if (!reader.Ok()) {
        records.Delete(record, PELK_DELETE_RECORD);
        return;
      }
      std::memcpy(record->szText, text, std::min(textLength, sizeof record->szText - 1));
      engine_.Post(WM_RELAY_PRESET_LIST_ANSWER, record, login);
      return;
    }
    case kDeviceState: {
      auto* record = records.NewRecord<RelayDeviceStateRecord>();
      reader.FixedText(record->szDevKey, sizeof record->szDevKey);
      record->dwChannel = reader.U32();
      const LONG state = reader.I32();
      if (!reader.Ok()) {
        records.Delete(record, PELK_DELETE_RECORD);
        return;
      }
      engine_.Post(WM_RELAY_DEVICE_STATE, record, state);
      return;
    }
    case kDeviceListChanged:
      engine_.PostPlain(WM_RELAY_DEVICE_LIST_CHANGED, 0, login);
      return;
    case kAlarm: {
      auto* keyRecord = records.NewRecord<RelayAlarmKeyRecord>();
      auto* alarm = records.NewRecord<RelayAlarmRecord>();
      reader.FixedText(keyRecord->szDevKey, sizeof keyRecord->szDevKey);
      keyRecord->dwChannel = reader.U32();
      reader.Record(alarm);
      if (!reader.Ok() || !engine_.PostPlain(WM_RELAY_ALARM, reinterpret_cast<WPARAM>(keyRecord),
                                             reinterpret_cast<LPARAM>(alarm))) {
        records.Delete(keyRecord, PELK_DELETE_RECORD);
        records.Delete(alarm, PELK_DELETE_RECORD);
      }
      return;
    }
    default:
      qCWarning(lcPelk) << "relay server sent a frame of unknown type" << type << "; skipped";
      return;
  }
}

bool Client::TakeSession(LONG login, DWORD word, Session* out, bool erase) {
  std::lock_guard<std::mutex> lock(mutex_);
  LoginState* state = Find(login);
  if (!state) return false;
  auto found = state->sessions.find(word);
  if (found == state->sessions.end()) return false;
  *out = found->second;
  if (erase) state->sessions.erase(found);
  return true;
}

void Client::OnSessionData(LONG login, uint16_t type, const uint8_t* payload, size_t length) {
  PayloadReader reader(payload, length);
  const DWORD word = reader.U32();
  Session session;
  if (!reader.Ok() || !TakeSession(login, word, &session, false)) return;
  const EngineCallbacks callbacks = engine_.Callbacks();
  if (type == kDownloadData) {
    const uint64_t offset = reader.U64();
    const uint64_t size = reader.U64();
    size_t dataLength = 0;
    const uint8_t* data = reader.Rest(&dataLength);
    if (!reader.Ok() || session.kind != Kind::kDownload || !callbacks.download) return;
    const uint64_t received = offset + dataLength;
    callbacks.download(login, session.key.c_str(), session.stream, session.channel, 1, data,
                       static_cast<LONG>(dataLength), PelkLow(received), PelkHigh(received), PelkLow(size),
                       PelkHigh(size), session.path.c_str(), callbacks.downloadContext);
    return;
  }
  const LONG kind = reader.I32();
  RelayFrameInfo info;
  reader.Record(&info);
  if (type == kReplayData) {
    size_t dataLength = 0;
    const uint8_t* data = reader.Rest(&dataLength);
    if (!reader.Ok() || session.kind != Kind::kReplay || !callbacks.realReplay) return;
    callbacks.realReplay(login, session.key.c_str(), session.handle, word, kind, data, static_cast<LONG>(dataLength),
                         &info, session.path.c_str(), callbacks.realReplayContext);
    return;
  }
  const uint32_t first = reader.U32();
  const LONG seconds = reader.I32();
  const DWORD start = reader.U32();
  BYTE video[PELK_VIDEO_PARAM_SIZE] = {};
  BYTE audio[PELK_AUDIO_PARAM_SIZE] = {};
  if (first) {
    reader.Bytes(video, sizeof video);
    reader.Bytes(audio, sizeof audio);
  }
  size_t dataLength = 0;
  const uint8_t* data = reader.Rest(&dataLength);
  if (!reader.Ok() || session.kind != Kind::kByDate || !callbacks.replayByDate) return;
  callbacks.replayByDate(login, session.key.c_str(), 0, session.channel, kind, data, static_cast<LONG>(dataLength),
                         &info, first && HasCodecName(video) ? video : nullptr,
                         first && HasCodecName(audio) ? audio : nullptr, first ? 1 : 0, seconds, start,
                         callbacks.replayByDateContext);
}

}  // namespace pelk
