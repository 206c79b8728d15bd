// The parameter blocks and frame headers that feed a player: Base64 text to
// bytes, the blocks' fields (layouts in morvik.h) and the stream player's
// decoder blocks made from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "streva/streva_ctrl.h"

namespace morvikmedia {

struct VideoFormat {
  std::string codec;  // "H264" or "MP4V"
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t frameRate = 0;  // 0 when the block does not say
  std::vector<uint8_t> header;  // codec header bytes (parameter sets)
};

struct AudioFormat {
  std::string codec;  // "G711" or "AAC"
  uint32_t sampleRate = 0;
  uint32_t bitsPerSample = 0;
  uint32_t channels = 0;
  bool muLaw = false;  // G.711 mu-law rather than A-law
};

// The bytes of a Base64 parameter text (blanks and line breaks skipped), at
// most `size` of them; false for a null or undecodable text or size < 1.
bool DecodeParamText(const char* text, long size, std::vector<uint8_t>* block);

// The fields of a video / audio block of `size` bytes. False when the block is
// too short for its fixed fields (276 bytes) or its codec name is empty. The
// codec header length is cut to the bytes that the block holds.
bool ReadVideoParam(const uint8_t* block, size_t size, VideoFormat* out);
bool ReadAudioParam(const uint8_t* block, size_t size, AudioFormat* out);

// The stream player's decoder blocks; false for a codec it has no decoder for.
bool ToDecoderBlock(const VideoFormat& format, VideoParamBlock* block);
bool ToDecoderBlock(const AudioFormat& format, AudioParamBlock* block);

// The frame's time in the piece (milliseconds) from a 16-byte frame header, or
// -1 when there is no header or its time is not a finite number >= 0.
double FrameTimeMs(const uint8_t* header, long headerLength);

}  // namespace morvikmedia
