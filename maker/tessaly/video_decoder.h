// Decodes one video stream (H.264 or MPEG-4 frames as the pull client hands
// them) into pictures in the decoder's own format; picture_scaler.h turns them
// into images.
#pragma once

#include <cstddef>
#include <cstdint>

#include "streva/streva_ctrl.h"
#include "tessaly/picture_scaler.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

class VideoDecoder {
 public:
  VideoDecoder() = default;
  ~VideoDecoder();
  VideoDecoder(const VideoDecoder&) = delete;
  VideoDecoder& operator=(const VideoDecoder&) = delete;

  bool Open(const VideoParamBlock& block);
  void Close();
  bool IsOpen() const { return context_ != nullptr; }
  // true when a picture came out; the newest is put into *picture.
  bool Decode(const uint8_t* data, size_t length, DecodedPicture* picture);

 private:
  AVCodecContext* context_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
};
