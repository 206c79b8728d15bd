#include "morvik/morvik_media.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>

extern "C" {
#include <libavutil/base64.h>
}

namespace morvikmedia {

namespace {

constexpr size_t kFixedFields = 276;    // codec name and the five words
constexpr size_t kHeaderOffset = 276;   // codec header bytes of a video block
constexpr size_t kHeaderCapacity = 256;
constexpr size_t kHeaderLengthOffset = 532;
constexpr size_t kMaxParamText = 64 * 1024;  // far beyond any block's text

uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

std::string CodecName(const uint8_t* block) {
  const char* name = reinterpret_cast<const char*>(block);
  return std::string(name, strnlen(name, 256));
}

bool Is(const std::string& name, const char* codec) { return strcasecmp(name.c_str(), codec) == 0; }

// The MPEG-4 audio sampling frequency index; 15 (explicit) is not used here.
int AacFrequencyIndex(uint32_t rate) {
  static const uint32_t rates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                   22050, 16000, 12000, 11025, 8000,  7350};
  for (int i = 0; i < 13; ++i) {
    if (rates[i] == rate) return i;
  }
  return -1;
}

}  // namespace

bool DecodeParamText(const char* text, long size, std::vector<uint8_t>* block) {
  if (!text || size < 1 || !block) return false;
  std::string clean;
  for (size_t i = 0; text[i] != '\0' && i < kMaxParamText; ++i) {
    const char c = text[i];
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') clean.push_back(c);
  }
  if (clean.empty()) return false;
  std::vector<uint8_t> bytes(clean.size() * 3 / 4 + 3);
  const int decoded = av_base64_decode(bytes.data(), clean.c_str(), static_cast<int>(bytes.size()));
  if (decoded <= 0) return false;
  bytes.resize(std::min(static_cast<size_t>(decoded), static_cast<size_t>(size)));
  *block = std::move(bytes);
  return true;
}

bool ReadVideoParam(const uint8_t* block, size_t size, VideoFormat* out) {
  if (!block || size < kFixedFields || !out) return false;
  VideoFormat format;
  format.codec = CodecName(block);
  if (format.codec.empty()) return false;
  format.width = U32(block + 256);
  format.height = U32(block + 260);
  format.frameRate = U32(block + 268);
  if (size >= kHeaderLengthOffset + 4) {
    const int32_t stated = static_cast<int32_t>(U32(block + kHeaderLengthOffset));
    // The length word comes from whoever made the block: the header is only
    // what the block itself holds.
    const size_t length = stated > 0 ? std::min<size_t>(static_cast<size_t>(stated), kHeaderCapacity) : 0;
    format.header.assign(block + kHeaderOffset, block + kHeaderOffset + length);
  }
  *out = std::move(format);
  return true;
}

bool ReadAudioParam(const uint8_t* block, size_t size, AudioFormat* out) {
  if (!block || size < kFixedFields || !out) return false;
  AudioFormat format;
  format.codec = CodecName(block);
  if (format.codec.empty()) return false;
  // The law of G.711 rides behind the name, where readers of the name alone do not look.
  format.muLaw = format.codec.size() == 4 && block[5] == 'U';
  format.sampleRate = U32(block + 256);
  format.bitsPerSample = U32(block + 260);
  format.channels = U32(block + 264);
  *out = std::move(format);
  return true;
}

bool ToDecoderBlock(const VideoFormat& format, VideoParamBlock* block) {
  std::memset(block, 0, sizeof(*block));
  if (Is(format.codec, "H264")) {
    block->dwCodec = kVideoCodecH264;
  } else if (Is(format.codec, "MP4V")) {
    block->dwCodec = kVideoCodecMpeg4;
  } else {
    return false;
  }
  block->dwValid = 1;
  block->dwWidth = format.width;
  block->dwHeight = format.height;
  block->dwFrameRateNum = format.frameRate ? format.frameRate : 25;
  block->dwFrameRateDen = 1;
  // A header longer than the decoder block's field travels in band: every key
  // frame of a record file starts with it.
  if (!format.header.empty() && format.header.size() <= sizeof(block->byExtra)) {
    std::memcpy(block->byExtra, format.header.data(), format.header.size());
    block->dwExtraSize = static_cast<uint32_t>(format.header.size());
  }
  std::snprintf(block->szText, sizeof(block->szText), "%s %ux%u", format.codec.c_str(), format.width,
                format.height);
  return true;
}

bool ToDecoderBlock(const AudioFormat& format, AudioParamBlock* block) {
  std::memset(block, 0, sizeof(*block));
  const uint32_t channels = format.channels ? format.channels : 1;
  if (format.sampleRate == 0 || channels > 8) return false;
  if (Is(format.codec, "G711")) {
    block->wCodec = format.muLaw ? kAudioCodecPcmu : kAudioCodecPcma;
  } else if (Is(format.codec, "AAC")) {
    const int index = AacFrequencyIndex(format.sampleRate);
    if (index < 0) return false;
    block->wCodec = kAudioCodecAac;
    // AudioSpecificConfig of AAC-LC: object type 2, frequency index, channels.
    const unsigned config = (2u << 11) | (static_cast<unsigned>(index) << 7) | (channels << 3);
    block->byExtra[0] = static_cast<uint8_t>(config >> 8);
    block->byExtra[1] = static_cast<uint8_t>(config);
    block->byExtraSize = 2;
  } else {
    return false;
  }
  block->dwValid = 1;
  block->dwSampleRate = format.sampleRate;
  block->byChannels = static_cast<uint8_t>(channels);
  std::snprintf(block->szText, sizeof(block->szText), "%s %uHz %uch", format.codec.c_str(), format.sampleRate,
                channels);
  return true;
}

double FrameTimeMs(const uint8_t* header, long headerLength) {
  if (!header || headerLength < 16) return -1;
  double ms = 0;
  std::memcpy(&ms, header + 8, sizeof(ms));
  if (!std::isfinite(ms) || ms < 0) return -1;
  return ms;
}

}  // namespace morvikmedia
