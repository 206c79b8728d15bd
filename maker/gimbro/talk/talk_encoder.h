// Encoders of the audio that talk and broadcast carry to devices: G.711 mu-law
// in packets of 20 ms, and AAC through libavcodec, each frame of 1024 samples
// with an ADTS header (so that the device, or any player, can read the stream
// as it comes). Input is interleaved 16-bit PCM of the format's rate and channels.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace talkaudio {

struct Format {
  enum Codec { kG711 = 0, kAac = 1 };
  int codec = kG711;
  int sampleRate = 8000;
  int channels = 1;
  bool operator<(const Format& o) const {
    return codec != o.codec ? codec < o.codec : sampleRate != o.sampleRate ? sampleRate < o.sampleRate : channels < o.channels;
  }
  bool operator==(const Format& o) const { return codec == o.codec && sampleRate == o.sampleRate && channels == o.channels; }
};

class Encoder {
 public:
  virtual ~Encoder() = default;
  // Takes PCM; appends the packets that are complete.
  virtual void Encode(const int16_t* samples, size_t frames, std::vector<std::string>* packets) = 0;
};

// The format a device asks for in its answer to a talk request: the element
// with the attributes AudioCodec ("G711" or "AAC"), Samplerate and Channels.
std::optional<Format> FormatOfTalkAnswer(const std::string& text);

// Null (with the reason in *error) when the format cannot be encoded.
std::unique_ptr<Encoder> MakeEncoder(const Format& format, std::string* error);

}  // namespace talkaudio
