#include "tessaly/picture_scaler.h"

#include <cstring>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/mem.h>
#include <libswscale/swscale.h>
}

namespace {

// QImage::Format_RGB32 holds 0xffRRGGBB words: the bytes B, G, R, A on this
// (little-endian) machine.
constexpr AVPixelFormat kImageFormat = AV_PIX_FMT_BGRA;

bool IsPlanar420(int format) { return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P; }

void FreeBuffer(void* buffer) { av_free(buffer); }

}  // namespace

DecodedPicture TakeDecodedPicture(AVFrame* frame) {
  AVFrame* taken = av_frame_alloc();
  if (!taken) return nullptr;
  av_frame_move_ref(taken, frame);
  return DecodedPicture(taken, [](const AVFrame* held) {
    AVFrame* owned = const_cast<AVFrame*>(held);
    av_frame_free(&owned);
  });
}

QSize PictureSize(const AVFrame& picture) { return QSize(picture.width, picture.height); }

QRect ShownRect(const QSize& picture, const QRect& area, bool fill) {
  if (fill || picture.isEmpty()) return area;
  QRect shown(QPoint(0, 0), picture.scaled(area.size(), Qt::KeepAspectRatio));
  shown.moveCenter(area.center());
  return shown;
}

PictureScaler::~PictureScaler() {
  sws_freeContext(scale_);
  sws_freeContext(convert_);
  av_freep(&planes_[0]);
}

bool PictureScaler::ScaleToPlanes(const AVFrame& picture, const QSize& size) {
  // The planes are allocated at even sizes: the converter's fast path takes
  // pixel pairs; the extra row and column are never shown.
  const QSize even((size.width() + 1) & ~1, (size.height() + 1) & ~1);
  if (even != planesSize_ || picture.format != planesFormat_) {
    av_freep(&planes_[0]);
    planesSize_ = QSize();
    const auto format = static_cast<AVPixelFormat>(picture.format);
    const int bytes = av_image_alloc(planes_, planeStrides_, even.width(), even.height(), format, 64);
    if (bytes < 0) return false;
    std::memset(planes_[0], 0, static_cast<size_t>(bytes));
    planesSize_ = even;
    planesFormat_ = picture.format;
  }
  scale_ = sws_getCachedContext(scale_, picture.width, picture.height,
                                static_cast<AVPixelFormat>(picture.format), size.width(), size.height(),
                                static_cast<AVPixelFormat>(picture.format), SWS_BILINEAR, nullptr, nullptr,
                                nullptr);
  return scale_ && sws_scale(scale_, picture.data, picture.linesize, 0, picture.height, planes_,
                             planeStrides_) > 0;
}

QImage PictureScaler::Convert(const AVFrame& picture, const QSize& size) {
  if (size.isEmpty() || size.width() > 16384 || size.height() > 16384 || picture.width < 1 ||
      picture.height < 1 || picture.format < 0) {
    return {};
  }
  const uint8_t* const* source = picture.data;
  const int* sourceStrides = picture.linesize;
  QSize from(picture.width, picture.height);
  QSize to = size;
  if (size != from && IsPlanar420(picture.format)) {
    // Scaling the planes first and converting them at the shown size costs a
    // fraction of scaling straight into RGB.
    if (!ScaleToPlanes(picture, size)) return {};
    source = planes_;
    sourceStrides = planeStrides_;
    from = to = planesSize_;
  }
  // The converter writes whole groups of 16 pixels, also past the end of a
  // shorter row: rows are padded to that, and the buffer ends with one group more.
  const int bytesPerLine = FFALIGN(to.width(), 16) * 4;
  auto* buffer = static_cast<uchar*>(av_malloc(size_t(bytesPerLine) * size_t(to.height() + 1)));
  if (!buffer) return {};
  QImage image(buffer, size.width(), size.height(), bytesPerLine, QImage::Format_RGB32, &FreeBuffer, buffer);
  if (image.isNull()) {
    av_free(buffer);
    return {};
  }
  convert_ = sws_getCachedContext(convert_, from.width(), from.height(),
                                  static_cast<AVPixelFormat>(picture.format), to.width(), to.height(),
                                  kImageFormat, SWS_BILINEAR, nullptr, nullptr, nullptr);
  uint8_t* target[4] = {buffer, nullptr, nullptr, nullptr};
  int targetStrides[4] = {bytesPerLine, 0, 0, 0};
  if (!convert_ || sws_scale(convert_, source, sourceStrides, 0, from.height(), target, targetStrides) <= 0) {
    return {};
  }
  return image;
}
