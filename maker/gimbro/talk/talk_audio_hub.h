// Captures and encodes the audio of talks and broadcasts, on the control's
// network thread, and hands the packets to the device connections.
//
// Listeners subscribe with a format (codec, rate, channels); one capture and
// one encoder serve every listener of the same format (a broadcast to many
// devices encodes once). A capture starts with its first listener and stops
// with its last.
#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "maker/gimbro/talk/audio_source.h"
#include "maker/gimbro/talk/talk_encoder.h"

namespace talkaudio {

class Hub {
 public:
  using Send = std::function<void(const Format& format, const std::string& packet)>;

  Hub();
  ~Hub();

  // A listener (any address it owns as key) takes the packets of this format;
  // a key that listened already is moved to the new format.
  void Subscribe(const void* key, const Format& format, Send send);
  void Unsubscribe(const void* key);

 private:
  struct Capture {
    std::unique_ptr<Source> source;
    std::unique_ptr<Encoder> encoder;
    std::map<const void*, Send> listeners;
  };

  void Deliver(const Format& format, const int16_t* samples, size_t frames);
  void Retire(std::map<Format, std::unique_ptr<Capture>>::iterator it);

  std::map<Format, std::unique_ptr<Capture>> captures_;
  // Captures that ended, possibly while one of their own calls runs: they go
  // once the thread's event loop comes back.
  std::vector<std::unique_ptr<Capture>> retired_;
  QObject context_;
};

}  // namespace talkaudio
