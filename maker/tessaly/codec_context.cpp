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

}  // namespace codeccontext
