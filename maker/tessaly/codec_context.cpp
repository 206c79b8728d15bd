#include "tessaly/codec_context.h"

#include <cstring>

namespace codeccontext {

AVCodecContext* Create(AVCodecID codecId, const uint8_t* extra, size_t extraSize) {
  const AVCodec* codec = avcodec_find_decoder(codecId);
  if (!codec) return nullptr;
  AVCodecContext* context = avcodec_alloc_context3(codec);
  if (!context) return nullptr;
  if (extraSize > 0) {
    context->extradata = static_cast<uint8_t*>(av_mallocz(extraSize + AV_INPUT_BUFFER_PADDING_SIZE));
    if (context->extradata) {
      std::memcpy(context->extradata, extra, extraSize);
      context->extradata_size = static_cast<int>(extraSize);
    }
  }
  return context;
}

bool SendPacket(AVCodecContext* context, AVPacket* packet, const uint8_t* data, size_t length) {
  if (av_new_packet(packet, static_cast<int>(length)) < 0) return false;
  std::memcpy(packet->data, data, length);
  const int result = avcodec_send_packet(context, packet);
  av_packet_unref(packet);
  return result >= 0 || result == AVERROR(EAGAIN);
}

}  // namespace codeccontext
