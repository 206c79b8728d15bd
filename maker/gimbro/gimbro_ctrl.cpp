// CGimbroCtrl: checks the callers' arguments, keeps the table of registered
// devices and the broadcast, and queues the frames for the network thread.
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "maker/gimbro/gimbro.h"
#include "maker/gimbro/gimbro_event_hub.h"
#include "maker/gimbro/gimbro_log.h"
#include "maker/gimbro/gimbro_network.h"
#include "maker/gimbro/gimbro_replay.h"
#include "maker/gimbro/gimbro_upload.h"
#include "maker/gimbro/gimbro_wire.h"
#include "platform/codepage.h"

namespace {

std::string Text(LPCSTR text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace

class CGimbroCtrl::Impl {
 public:
  Impl() : network_(&hub_) {}

  GimbroEventHub hub_;
  GimbroNetwork network_;
  std::mutex mutex_;
  bool released_ = false;
  LONG nextId_ = 1;
  std::map<LONG, std::shared_ptr<std::atomic<bool>>> devices_;  // id -> online flag
  struct Broadcast {
    bool started = false;
    LONG codec = 0, sampleRate = 0, bitsPerSample = 0, channels = 0;
    std::set<LONG> devices;
  } broadcast_;

  LONG Add(LPCSTR host, LONG port, LPCSTR login, LPCSTR password) {
    if (host == nullptr || host[0] == '\0' || port < 1 || port > 65535) return GIMBRO_ERR_ARGUMENT;
    std::lock_guard<std::mutex> lock(mutex_);
    if (released_) return GIMBRO_ERR_RELEASED;
    GimbroDeviceParams params;
    params.id = nextId_++;
    params.host = codepage::ToQString(host).trimmed();
    params.port = static_cast<quint16>(port);
    params.login = Text(login);
    params.password = Text(password);
    auto online = std::make_shared<std::atomic<bool>>(false);
    devices_[params.id] = online;
    hub_.Register(params.id);
    const LONG id = params.id;
    network_.AddDevice(std::move(params), online);
    return id;
  }

  // Result for a message to a device: OK when it may be sent now.
  LONG Check(LONG id) {
    if (released_) return GIMBRO_ERR_RELEASED;
    auto it = devices_.find(id);
    if (it == devices_.end()) return GIMBRO_ERR_UNKNOWN_DEVICE;
    return it->second->load() ? GIMBRO_OK : GIMBRO_ERR_OFFLINE;
  }

  LONG SendTo(LONG id, uint16_t type, int32_t a = 0, int32_t b = 0, const std::string& body = {}) {
    std::lock_guard<std::mutex> lock(mutex_);
    const LONG result = Check(id);
    if (result == GIMBRO_OK) network_.Send(id, gimbro_wire::Encode(type, a, b, body));
    return result;
  }

  // A talk or broadcast request that cannot reach its device is answered at
  // once with a refusal, so that whoever waits for the answer is not left waiting.
  void RefuseTalk(LONG id, const char* why) {
    hub_.Post(GimbroEvent::Of(GimbroEvent::kStatus, id, GIMBRO_STATUS_TALK_REFUSED, why));
  }
};

CGimbroCtrl::CGimbroCtrl() : impl_(std::make_unique<Impl>()) {}

CGimbroCtrl::~CGimbroCtrl() { Release(); }

void CGimbroCtrl::Advise(CGimbroEventSink* sink) { impl_->hub_.Advise(sink); }

void CGimbroCtrl::Unadvise(CGimbroEventSink* sink) { impl_->hub_.Unadvise(sink); }

LONG CGimbroCtrl::AddDevice(LPCSTR address, LONG port, LPCSTR loginName, LPCSTR password) {
  return impl_->Add(address, port, loginName, password);
}

LONG CGimbroCtrl::AddDeviceByHost(LPCSTR host, WORD port, LPCSTR loginName, LPCSTR password) {
  return impl_->Add(host, port, loginName, password);
}

LONG CGimbroCtrl::RemoveDevice(LONG gimbroId) {
  std::lock_guard<std::mutex> lock(impl_->mutex_);
  if (impl_->released_) return GIMBRO_ERR_RELEASED;
  if (impl_->devices_.erase(gimbroId) == 0) return GIMBRO_ERR_UNKNOWN_DEVICE;
  impl_->broadcast_.devices.erase(gimbroId);
  impl_->hub_.Forget(gimbroId);
  impl_->network_.RemoveDevice(gimbroId);
  gimbro_replay::Forget(&impl_->hub_, gimbroId);
  gimbro_upload::Forget(&impl_->hub_, gimbroId);
  return GIMBRO_OK;
}

LONG CGimbroCtrl::SetTimeSync(LONG gimbroId, LONG enable, LONG difference, LONG interval) {
  std::lock_guard<std::mutex> lock(impl_->mutex_);
  if (impl_->released_) return GIMBRO_ERR_RELEASED;
  if (impl_->devices_.count(gimbroId) == 0) return GIMBRO_ERR_UNKNOWN_DEVICE;
  if (enable != 0 && (difference < 0 || interval < 1)) return GIMBRO_ERR_ARGUMENT;
  impl_->network_.SetTimeSync(gimbroId, enable != 0, difference, interval);
  return GIMBRO_OK;
}

LONG CGimbroCtrl::PtzCommand(LONG gimbroId, LPCSTR command) {
  const std::string text = Text(command);
  if (text.empty() || text.size() > gimbro_wire::kMaxBody) return GIMBRO_ERR_ARGUMENT;
  return impl_->SendTo(gimbroId, gimbro_wire::kPtz, 0, 0, text);
}

LONG CGimbroCtrl::Talk(LONG gimbroId, LONG start) {
  const LONG result = impl_->SendTo(gimbroId, gimbro_wire::kTalk, start != 0 ? 1 : 0);
  if (result == GIMBRO_ERR_OFFLINE && start != 0) impl_->RefuseTalk(gimbroId, "the device is offline");
  return result;
}

LONG CGimbroCtrl::WriteAUXStringEx(LONG gimbroId, LPCSTR messageType, LONG code, LONG status, LPCSTR body) {
  std::string payload = Text(messageType);
  if (payload.empty()) return GIMBRO_ERR_ARGUMENT;
  payload.push_back('\0');
  payload += Text(body);
  if (payload.size() > gimbro_wire::kMaxBody) return GIMBRO_ERR_ARGUMENT;
  return impl_->SendTo(gimbroId, gimbro_wire::kAux, code, status, payload);
}

LONG CGimbroCtrl::RequestIFrame(LONG gimbroId, LONG streamKind) {
  return impl_->SendTo(gimbroId, gimbro_wire::kIFrame, streamKind);
}

LONG CGimbroCtrl::StartBroadcast(LONG codec, LONG sampleRate, LONG bitsPerSample, LONG channels) {
  if ((codec != 0 && codec != 1) || sampleRate < 1 || (bitsPerSample != 8 && bitsPerSample != 16) ||
      channels < 1 || channels > 2) {
    return GIMBRO_ERR_ARGUMENT;
  }
  std::lock_guard<std::mutex> lock(impl_->mutex_);
  if (impl_->released_) return GIMBRO_ERR_RELEASED;
  auto& b = impl_->broadcast_;
  b.started = true;
  b.codec = codec;
  b.sampleRate = sampleRate;
  b.bitsPerSample = bitsPerSample;
  b.channels = channels;
  return GIMBRO_OK;
}

LONG CGimbroCtrl::AddBroadcastDevice(LONG gimbroId) {
  std::lock_guard<std::mutex> lock(impl_->mutex_);
  auto& b = impl_->broadcast_;
  LONG result = impl_->Check(gimbroId);
  if (result == GIMBRO_OK && !b.started) result = GIMBRO_ERR_NO_BROADCAST;
  if (result == GIMBRO_ERR_OFFLINE) impl_->RefuseTalk(gimbroId, "the device is offline");
  if (result != GIMBRO_OK) return result;
  std::string format;
  gimbro_wire::AppendU32(format, static_cast<uint32_t>(b.bitsPerSample));
  gimbro_wire::AppendU32(format, static_cast<uint32_t>(b.channels));
  impl_->network_.Send(gimbroId, gimbro_wire::Encode(gimbro_wire::kBroadcast, b.codec, b.sampleRate, format));
  b.devices.insert(gimbroId);
  return GIMBRO_OK;
}

LONG CGimbroCtrl::StopBroadcast() {
  std::lock_guard<std::mutex> lock(impl_->mutex_);
  if (impl_->released_) return GIMBRO_ERR_RELEASED;
  auto& b = impl_->broadcast_;
  for (LONG id : b.devices) {
    if (impl_->Check(id) == GIMBRO_OK) impl_->network_.Send(id, gimbro_wire::Encode(gimbro_wire::kBroadcastStop));
  }
  b.devices.clear();
  b.started = false;
  return GIMBRO_OK;
}

LONG CGimbroCtrl::Release() {
  {
    std::lock_guard<std::mutex> lock(impl_->mutex_);
    if (impl_->released_) return GIMBRO_OK;
    impl_->released_ = true;
    impl_->devices_.clear();
  }
  impl_->hub_.Close();
  impl_->network_.Stop();
  gimbro_replay::ForgetAll(&impl_->hub_);
  gimbro_upload::ForgetAll(&impl_->hub_);
  qCInfo(lcGimbro, "control released");
  return GIMBRO_OK;
}

LONG CGimbroCtrl::SendFrame(LONG gimbroId, uint16_t type, int32_t a, int32_t b, const std::string& body) {
  if (body.size() > gimbro_wire::kMaxBody) return GIMBRO_ERR_ARGUMENT;
  return impl_->SendTo(gimbroId, type, a, b, body);
}

GimbroEventHub* CGimbroCtrl::Hub() { return &impl_->hub_; }
