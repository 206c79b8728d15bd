#include "tessaly/video_decoder.h"

#include <cstring>

#include "streva/media_blocks.h"
#include "tessaly/codec_context.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

VideoDecoder::~VideoDecoder() { Close(); }

bool VideoDecoder::Open(const VideoParamBlock& block) {
  Close();
  context_ = codeccontext::Create(mediablocks::VideoCodecId(block), block.byExtra, block.dwExtraSize);
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (!context_ || !frame_ || !packet_) return Close(), false;
  context_->thread_count = 1;  // one stream per pump thread already
  if (avcodec_open2(context_, context_->codec, nullptr) < 0) return Close(), false;
  return true;
}

void VideoDecoder::Close() {
  avcodec_free_context(&context_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  sws_freeContext(scaler_);
  scaler_ = nullptr;
}

bool VideoDecoder::Decode(const uint8_t* data, size_t length, QImage* picture) {
  if (!context_ || !data || length == 0 || length > (1u << 30)) return false;
  if (!codeccontext::SendPacket(context_, packet_, data, length)) return false;
  bool got = false;
  while (avcodec_receive_frame(context_, frame_) == 0) {
    if (frame_->width > 0 && frame_->height > 0 && frame_->width <= 8192 && frame_->height <= 8192) {
      scaler_ = sws_getCachedContext(scaler_, frame_->width, frame_->height,
                                     static_cast<AVPixelFormat>(frame_->format), frame_->width,
                                     frame_->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr,
                                     nullptr);
      if (scaler_) {
        QImage image(frame_->width, frame_->height, QImage::Format_RGB32);
        uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
        int dstStride[4] = {static_cast<int>(image.bytesPerLine()), 0, 0, 0};
        sws_scale(scaler_, frame_->data, frame_->linesize, 0, frame_->height, dst, dstStride);
        *picture = std::move(image);
        got = true;
      }
    }
    av_frame_unref(frame_);
  }
  return got;
}
