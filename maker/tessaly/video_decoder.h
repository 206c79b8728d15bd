// Decodes one video stream (H.264 or MPEG-4 frames as the pull client hands
// them) into RGB pictures.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>

#include "streva/streva_ctrl.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

class VideoDecoder {
 public:
  VideoDecoder() = default;
  ~VideoDecoder();
  VideoDecoder(const VideoDecoder&) = delete;
  VideoDecoder& operator=(const VideoDecoder&) = delete;

  bool Open(const VideoParamBlock& block);
  void Close();
  bool IsOpen() const { return context_ != nullptr; }
  // true when a picture came out; it is put into *picture (RGB32).
  bool Decode(const uint8_t* data, size_t length, QImage* picture);

 private:
  AVCodecContext* context_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scaler_ = nullptr;
};
