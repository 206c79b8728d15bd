// Hand-made record files in the recorder's layout: a valid AVI whose header is
// padded with JUNK so that the "movi" code stands at 5668 (video only) or 9892
// (video and audio), chunks without pad bytes, and an "idx1" index whose key
// flag is 0x10. Every field the reader looks at can be set or spoiled.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FixtureChunk {
  std::string code;               // four characters: "00dc", "01wb", ...
  std::vector<uint8_t> payload;
  uint32_t flags = 0;             // index flags (0x10 = key frame)
  bool indexed = true;            // listed in idx1
};

class RecFileFixture {
 public:
  explicit RecFileFixture(int streams = 2) : streams(streams) {}

  // Header fields.
  int streams;                        // stream count field (1 or 2 lay out the header)
  std::string videoHandler = "H264";  // "XVID" for MPEG-4
  uint32_t frameRate = 25;
  uint32_t width = 352;
  uint32_t height = 288;
  uint32_t maxBytesPerSec = 125000;
  uint32_t audioHandler = 1;          // 1 = G.711
  uint16_t audioChannels = 1;
  uint32_t audioSampleRate = 8000;

  // Layout overrides.
  uint32_t moviPos = 0;                // 0: the fixed position; else the "movi" code stands here
  std::optional<uint32_t> riffSize;    // default: file length - 8
  std::optional<uint32_t> hdrlSize;    // default: up to the movi list
  std::optional<uint32_t> moviSize;    // default: the chunks' bytes + 4
  std::optional<uint32_t> indexSize;   // default: 16 x indexed chunks
  bool writeIndex = true;
  std::string indexCode = "idx1";

  std::vector<FixtureChunk> chunks;

  void AddVideo(std::vector<uint8_t> payload, bool key);
  void AddAudio(std::vector<uint8_t> payload);

  std::string Build() const;
  void Write(const std::string& nativePath) const;

  uint32_t MoviPos() const;             // position of the "movi" code
  uint32_t ChunkPos(size_t i) const;    // position of chunk i's header
  uint32_t DataEnd() const;             // position of the index ("idx1")
};

// An H.264 frame of `size` bytes (at least 8): a key frame starts with a
// sequence parameter set NAL (type 7), another with a slice NAL (type 1) that
// IsH264KeyFrame does not take for a key picture. `fill` marks the bytes.
std::vector<uint8_t> H264Frame(bool key, size_t size, uint8_t fill);

// `size` bytes of one value.
std::vector<uint8_t> Bytes(size_t size, uint8_t fill);
