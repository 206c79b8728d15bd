// The fixed layout of the program's record files: a RIFF "AVI " file whose
// header has a fixed size, so that the record-file reader finds everything at
// fixed offsets without walking the lists.
//
//   one stream (video)                    two streams (video and audio)
//   0     "RIFF", size, "AVI "            the same
//   12    "LIST" hdrl: avih (stream count at 56, width 64, height 68)
//   88    "LIST" strl of the video: strh (handler at 112, rate at 132), strf, JUNK
//   4336  JUNK up to the movi list        "LIST" strl of the audio: strh (handler
//                                         at 4360: 1 G.711, 0xFF AAC), strf with
//                                         WAVEFORMATEX (channels at 4422, sample
//                                         rate at 4424), JUNK; then JUNK up to 9884
//   5660  "LIST", size at 5664            9884 "LIST", size at 9888
//   5668  "movi"                          9892 "movi"
//   5672  first chunk                     9896 first chunk
//
// After "movi" the chunks follow one another without pad bytes: "00dc" video,
// "01wb" audio, a u32 payload length, the payload. The index "idx1" follows the
// movi list: 16-byte entries (code, flags 0x10 on key frames and audio, offset
// of the chunk header from the "movi" code, payload length).
//
// The hdrl list size is kept below 9876 and the RIFF size of a one-stream file
// out of 9888..19788, so that the reader's data-start candidates (hdrl size +
// 16, RIFF size + 4) never lie inside its accepted range and the fixed "movi"
// position is always taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace recordfile {

constexpr uint32_t kMoviOneStream = 5668;   // position of the "movi" code
constexpr uint32_t kMoviTwoStreams = 9892;
constexpr uint32_t kHeaderOneStream = 5672;  // = position of the first chunk
constexpr uint32_t kHeaderTwoStreams = 9896;
constexpr uint32_t kIndexKeyFlag = 0x10;

// Header fields patched when a file is finished.
constexpr size_t kAvihMicroSecPerFrame = 32;
constexpr size_t kAvihMaxBytesPerSec = 36;
constexpr size_t kAvihTotalFrames = 48;
constexpr size_t kAvihSuggestedBuffer = 60;
constexpr size_t kVideoStrhRate = 132;
constexpr size_t kVideoStrhLength = 140;
constexpr size_t kVideoStrhSuggestedBuffer = 144;
constexpr size_t kAudioStrhLength = 4388;

// A one-stream file whose length would fall in this range is lengthened with a
// trailing JUNK chunk to kShortFileMinimum bytes (see above).
constexpr uint32_t kShortFileFirst = 9896;
constexpr uint32_t kShortFileLast = 19796;
constexpr uint32_t kShortFileMinimum = 19800;

enum class VideoKind { kH264, kMpeg4 };
enum class AudioKind { kNone, kAlaw, kMulaw, kAac };

// What a file's header describes.
struct Media {
  VideoKind video = VideoKind::kH264;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t frameRate = 25;  // whole frames per second, at least 1
  AudioKind audio = AudioKind::kNone;
  uint16_t channels = 1;
  uint32_t sampleRate = 8000;
  std::vector<uint8_t> audioConfig;  // AAC AudioSpecificConfig, at most 32 bytes
};

inline bool TwoStreams(const Media& media) { return media.audio != AudioKind::kNone; }
inline uint32_t MoviPosition(const Media& media) { return TwoStreams(media) ? kMoviTwoStreams : kMoviOneStream; }
inline uint32_t HeaderSize(const Media& media) { return TwoStreams(media) ? kHeaderTwoStreams : kHeaderOneStream; }

// The whole fixed header of an empty file (sizes as for no chunk yet).
std::vector<uint8_t> BuildHeader(const Media& media);

inline void PutLe16(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
}
inline void PutLe32(uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace recordfile
