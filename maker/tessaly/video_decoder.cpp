#include "tessaly/video_decoder.h"

#include <cstring>

#include "streva/media_blocks.h"
#include "tessaly/codec_context.h"

extern "C" {
#include <libavcodec/avcodec.h>
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
}

bool VideoDecoder::Decode(const uint8_t* data, size_t length, DecodedPicture* picture) {
  if (!context_ || !data || length == 0 || length > (1u << 30)) return false;
  if (!codeccontext::SendPacket(context_, packet_, data, length)) return false;
  bool got = false;
  while (avcodec_receive_frame(context_, frame_) == 0) {
    if (frame_->width > 0 && frame_->height > 0 && frame_->width <= 8192 && frame_->height <= 8192) {
      if (DecodedPicture taken = TakeDecodedPicture(frame_)) {
        *picture = std::move(taken);
        got = true;
      }
    }
    av_frame_unref(frame_);
  }
  return got;
}
