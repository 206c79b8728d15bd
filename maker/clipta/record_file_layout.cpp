#include "clipta/record_file_layout.h"

#include <algorithm>
#include <cstring>

namespace recordfile {
namespace {

constexpr uint32_t kVideoStrlEnd = 4336;
constexpr uint32_t kAudioStrlEnd = 8584;
constexpr uint16_t kWaveAlaw = 6;
constexpr uint16_t kWaveMulaw = 7;
constexpr uint16_t kWaveAac = 0xFF;
constexpr uint32_t kAudioHandlerG711 = 1;
constexpr size_t kMaxAudioConfig = 32;

class HeaderWriter {
 public:
  explicit HeaderWriter(size_t size) : bytes_(size, 0) {}
  void Code(size_t at, const char* code) { std::memcpy(&bytes_[at], code, 4); }
  void U16(size_t at, uint16_t value) { PutLe16(&bytes_[at], value); }
  void U32(size_t at, uint32_t value) { PutLe32(&bytes_[at], value); }
  // A chunk or list head at `at` whose content runs to `end`.
  void Head(size_t at, const char* code, size_t end) {
    Code(at, code);
    U32(at + 4, static_cast<uint32_t>(end - at - 8));
  }
  void Junk(size_t at, size_t end) { Head(at, "JUNK", end); }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// AVIStreamHeader fields from `at` (the strh content).
void StreamHeader(HeaderWriter& w, size_t at, const char* type, uint32_t handler, uint32_t scale,
                  uint32_t rate, uint32_t sampleSize) {
  w.Code(at, type);
  w.U32(at + 4, handler);
  w.U32(at + 20, scale);
  w.U32(at + 24, rate);
  w.U32(at + 40, 0xFFFFFFFFu);  // quality: default
  w.U32(at + 44, sampleSize);
}

}  // namespace

std::vector<uint8_t> BuildHeader(const Media& media) {
  const bool two = TwoStreams(media);
  const uint32_t moviList = MoviPosition(media) - 8;
  const uint32_t hdrlEnd = two ? kAudioStrlEnd : kVideoStrlEnd;
  const uint32_t rate = media.frameRate ? media.frameRate : 1;
  HeaderWriter w(HeaderSize(media));

  w.Head(0, "RIFF", HeaderSize(media));
  w.Code(8, "AVI ");
  w.Head(12, "LIST", hdrlEnd);
  w.Code(20, "hdrl");

  w.Head(24, "avih", 88);
  w.U32(kAvihMicroSecPerFrame, 1000000 / rate);
  w.U32(44, 0x10);  // AVIF_HASINDEX
  w.U32(56, two ? 2 : 1);
  w.U32(64, media.width);
  w.U32(68, media.height);

  w.Head(88, "LIST", kVideoStrlEnd);
  w.Code(96, "strl");
  const char* fourcc = media.video == VideoKind::kMpeg4 ? "XVID" : "H264";
  w.Head(100, "strh", 164);
  uint32_t handler = 0;
  std::memcpy(&handler, fourcc, 4);
  StreamHeader(w, 108, "vids", handler, 1, rate, 0);
  w.U16(108 + 52, static_cast<uint16_t>(media.width));  // rcFrame right, bottom
  w.U16(108 + 54, static_cast<uint16_t>(media.height));
  w.Head(164, "strf", 212);
  w.U32(172, 40);  // BITMAPINFOHEADER
  w.U32(176, media.width);
  w.U32(180, media.height);
  w.U16(184, 1);
  w.U16(186, 24);
  w.Code(188, fourcc);
  w.U32(192, media.width * media.height * 3);
  w.Junk(212, kVideoStrlEnd);

  if (two) {
    const bool aac = media.audio == AudioKind::kAac;
    const uint16_t channels = media.channels ? media.channels : 1;
    const size_t configSize = aac ? std::min(media.audioConfig.size(), kMaxAudioConfig) : 0;
    w.Head(kVideoStrlEnd, "LIST", kAudioStrlEnd);
    w.Code(4344, "strl");
    w.Head(4348, "strh", 4412);
    if (aac) {
      StreamHeader(w, 4356, "auds", kWaveAac, 1024, media.sampleRate, 0);
    } else {
      StreamHeader(w, 4356, "auds", kAudioHandlerG711, channels, media.sampleRate * channels, channels);
    }
    const size_t waveEnd = 4420 + 18 + configSize;
    const size_t strfEnd = waveEnd + (waveEnd & 1);
    w.Head(4412, "strf", strfEnd);
    w.U16(4420, aac ? kWaveAac : media.audio == AudioKind::kMulaw ? kWaveMulaw : kWaveAlaw);
    w.U16(4422, channels);
    w.U32(4424, media.sampleRate);
    w.U32(4428, aac ? 2000u * channels : media.sampleRate * channels);  // bytes per second
    w.U16(4432, static_cast<uint16_t>(aac ? 768 * channels : channels));  // block align
    w.U16(4434, aac ? 16 : 8);
    w.U16(4436, static_cast<uint16_t>(configSize));
    if (configSize) std::memcpy(&w.Bytes()[4438], media.audioConfig.data(), configSize);
    w.Junk(strfEnd, kAudioStrlEnd);
  }

  w.Junk(hdrlEnd, moviList);
  w.Head(moviList, "LIST", HeaderSize(media));
  w.Code(moviList + 8, "movi");
  return std::move(w.Bytes());
}

}  // namespace recordfile
