// Turns decoded pictures into RGB32 images of the size they are shown at, and
// the shared handle that keeps a decoded picture alive after its decoder moved on.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <memory>

struct AVFrame;
struct SwsContext;

// A decoded picture (the decoder's own buffers, counted): it stays valid while
// held, also after its decoder closed.
using DecodedPicture = std::shared_ptr<const AVFrame>;

// Moves the picture `frame` refers to into a new DecodedPicture; `frame` is left
// empty. Null when out of memory.
DecodedPicture TakeDecodedPicture(AVFrame* frame);

QSize PictureSize(const AVFrame& picture);

// Where a picture of `picture` size is drawn in `area`: all of it with `fill`,
// else centred at the largest size that keeps its aspect.
QRect ShownRect(const QSize& picture, const QRect& area, bool fill);

// Converts pictures to RGB32 images of any size, scaling with a bilinear filter.
// Keeps the conversion set up for the last sizes and formats: one scaler per
// thread that converts.
class PictureScaler {
 public:
  PictureScaler() = default;
  ~PictureScaler();
  PictureScaler(const PictureScaler&) = delete;
  PictureScaler& operator=(const PictureScaler&) = delete;

  // A null image when the size is empty or the picture cannot be converted.
  QImage Convert(const AVFrame& picture, const QSize& size);

 private:
  bool ScaleToPlanes(const AVFrame& picture, const QSize& size);

  SwsContext* scale_ = nullptr;    // picture -> planes of the shown size
  SwsContext* convert_ = nullptr;  // planes or picture -> RGB32
  // 4:2:0 planes of the shown size, between the two steps.
  uint8_t* planes_[4] = {};
  int planeStrides_[4] = {};
  QSize planesSize_;
  int planesFormat_ = -1;
};
