// The media description blocks that the record-file reader hands to players and
// to the relay library: one video block and one audio block, fixed layouts.
//
// These are the blocks of the record files' readers. The live stream objects
// carry their own blocks (VideoParamBlock / AudioParamBlock of the stream-pull
// control), whose fields lie elsewhere; the two are never cast into each other.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// 536 bytes.
struct VideoParam {
  char szCodec[256];         //   0 codec name, zero-padded: "H264" or "MP4V"
  uint32_t dwWidth;          // 256
  uint32_t dwHeight;         // 260
  uint32_t dwReserved;       // 264 0
  uint32_t dwFrameRate;      // 268 frames per second
  uint32_t dwBitRate;        // 272 bits per second
  uint8_t byCodecHeader[256];  // 276 first bytes of the stream (parameter sets)
  int32_t nCodecHeaderLen;   // 532
};

// 276 bytes.
struct AudioParam {
  char szCodec[256];         //   0 codec name, zero-padded: "G711" or "AAC"; G.711 is
                             //     A-law unless byte 5 (behind the name's zero) is 'U'
  uint32_t dwSampleRate;     // 256
  uint32_t dwBitsPerSample;  // 260
  uint32_t dwChannels;       // 264
  uint32_t dwFixed;          // 268 always 8
  uint32_t dwBitRate;        // 272 bits per second
};
#pragma pack(pop)

static_assert(sizeof(VideoParam) == 536);
static_assert(offsetof(VideoParam, dwWidth) == 256);
static_assert(offsetof(VideoParam, dwFrameRate) == 268);
static_assert(offsetof(VideoParam, byCodecHeader) == 276);
static_assert(offsetof(VideoParam, nCodecHeaderLen) == 532);
static_assert(sizeof(AudioParam) == 276);
static_assert(offsetof(AudioParam, dwBitRate) == 272);
