// The media parameter blocks and frame headers of streva_ctrl.h, to and from
// FFmpeg's codec parameters. Shared by the pull client, the player and the recorder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "streva/streva_ctrl.h"

extern "C" {
#include <libavcodec/codec_par.h>
}

namespace mediablocks {

// Fills the block from a source stream's parameters; false (block zeroed) when
// the codec is not one the blocks carry. frameRate may be {0, 0} when unknown.
bool FillVideo(const AVCodecParameters* par, AVRational frameRate, AVRational timeBase,
               VideoParamBlock* block);
bool FillAudio(const AVCodecParameters* par, AudioParamBlock* block);

// The FFmpeg codec of a block; AV_CODEC_ID_NONE for an unfilled or unknown one.
AVCodecID VideoCodecId(const VideoParamBlock& block);
AVCodecID AudioCodecId(const AudioParamBlock& block);

// Copies a caller's block of `size` bytes; false when it is too short or not filled.
bool ReadVideoBlock(const void* data, long size, VideoParamBlock* block);
bool ReadAudioBlock(const void* data, long size, AudioParamBlock* block);

// Whether a frame starts a picture that decodes on its own (H.264 IDR or SPS,
// MPEG-4 I-VOP). Other codecs: false.
bool IsKeyFrame(AVCodecID codec, const uint8_t* data, size_t length);

// The MPEG-4 part 2 stream headers that open a frame (VOS, VO, VOL and what
// stands between them): their length up to the first group-of-VOP or VOP
// start code, when a VOL start code (00 00 01 20..2F) comes before it; else 0.
size_t Mpeg4HeaderLength(const uint8_t* data, size_t length);

// Frames per second of the block; 25 when unknown.
double FrameRate(const VideoParamBlock& block);

}  // namespace mediablocks
