#include "alarm_map_wall/alarm/sound/wav_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/file_api.h"

namespace {

uint32_t U32(const char* p) {
  return static_cast<uint32_t>(static_cast<unsigned char>(p[0])) |
         static_cast<uint32_t>(static_cast<unsigned char>(p[1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(p[2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(p[3])) << 24;
}
uint16_t U16(const char* p) {
  return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
}

bool Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

}  // namespace

bool ParseWav(const std::string& bytes, WavSound& out, std::string* error) {
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
    return Fail(error, "not a RIFF WAVE file");
  }
  WavSound sound;
  bool haveFormat = false;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const char* chunk = bytes.data() + at;
    const uint64_t size = U32(chunk + 4);
    const size_t body = at + 8;
    if (size > bytes.size() - body) {
      // A data chunk cut short (a file still being written) keeps what is there.
      if (std::memcmp(chunk, "data", 4) != 0) return Fail(error, "a chunk runs past the end of the file");
    }
    const size_t length = static_cast<size_t>(std::min<uint64_t>(size, bytes.size() - body));
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < 16) return Fail(error, "the format chunk is too short");
      const char* f = bytes.data() + body;
      if (U16(f) != 1) return Fail(error, "not PCM");
      sound.channels = U16(f + 2);
      sound.sampleRate = static_cast<int>(U32(f + 4));
      sound.bitsPerSample = U16(f + 14);
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      sound.pcm.assign(bytes, body, length);
    }
    at = body + length + (length & 1);  // chunks are padded to even sizes
  }
  if (!haveFormat) return Fail(error, "no format chunk");
  if (sound.channels < 1 || sound.channels > 8 || sound.sampleRate < 1000 || sound.sampleRate > 384000 ||
      (sound.bitsPerSample != 8 && sound.bitsPerSample != 16)) {
    return Fail(error, "an unsupported sample format");
  }
  const size_t frame = static_cast<size_t>(sound.channels) * (sound.bitsPerSample / 8);
  sound.pcm.resize(sound.pcm.size() - sound.pcm.size() % frame);
  if (sound.pcm.empty()) return Fail(error, "no samples");
  out = std::move(sound);
  return true;
}

bool ReadWav(const std::string& path, WavSound& out, std::string* error) {
  std::string bytes;
  if (!fileapi::ReadWhole(path, bytes)) return Fail(error, "the file cannot be read");
  return ParseWav(bytes, out, error);
}
