#include "maker/gimbro/talk/talk_audio_hub.h"

#include <QTimer>

#include "maker/gimbro/gimbro_log.h"

namespace talkaudio {

Hub::Hub() = default;

Hub::~Hub() = default;

void Hub::Subscribe(const void* key, const Format& format, Send send) {
  Unsubscribe(key);
  auto it = captures_.find(format);
  if (it == captures_.end()) {
    std::string error;
    auto capture = std::make_unique<Capture>();
    capture->encoder = MakeEncoder(format, &error);
    if (!capture->encoder) {
      qCWarning(lcGimbro, "talk audio: %s; nothing is sent", error.c_str());
      return;
    }
    capture->source = MakeSource();
    it = captures_.emplace(format, std::move(capture)).first;
    it->second->listeners[key] = std::move(send);
    it->second->source->Start(format.sampleRate, format.channels,
                              [this, format](const int16_t* samples, size_t frames) { Deliver(format, samples, frames); });
    return;
  }
  it->second->listeners[key] = std::move(send);
}

void Hub::Unsubscribe(const void* key) {
  for (auto it = captures_.begin(); it != captures_.end(); ++it) {
    if (it->second->listeners.erase(key) == 0) continue;
    if (it->second->listeners.empty()) Retire(it);
    return;
  }
}

void Hub::Retire(std::map<Format, std::unique_ptr<Capture>>::iterator it) {
  retired_.push_back(std::move(it->second));
  captures_.erase(it);
  QTimer::singleShot(0, &context_, [this]() { retired_.clear(); });
}

void Hub::Deliver(const Format& format, const int16_t* samples, size_t frames) {
  auto it = captures_.find(format);
  if (it == captures_.end()) return;
  std::vector<std::string> packets;
  it->second->encoder->Encode(samples, frames, &packets);
  if (packets.empty()) return;
  std::vector<const void*> keys;
  for (const auto& [key, send] : it->second->listeners) keys.push_back(key);
  // A listener may leave (or the capture end) while it is being sent to.
  for (const void* key : keys) {
    for (const std::string& packet : packets) {
      auto capture = captures_.find(format);
      if (capture == captures_.end()) return;
      auto listener = capture->second->listeners.find(key);
      if (listener == capture->second->listeners.end()) break;
      const Send send = listener->second;
      send(format, packet);
    }
  }
}

}  // namespace talkaudio
