// The slider of the playback tool bar: channel, background and thumb cut from
// the strip picture "bar.bmp" of the program's "Images" folder.
#pragma once

#include <QSlider>

#include "platform/win_types.h"
#include "ui/raster_image.h"

class CSkinSlider : public QSlider {
  Q_OBJECT
 public:
  explicit CSkinSlider(QWidget* parent = nullptr);

  // Shows or hides the thumb; a change repaints at once.
  void ShowThumb(BOOL show);
  bool IsThumbShown() const { return showThumb_; }
  const CRasterImage& Picture() const { return image_; }

  // The slider's channel and thumb rectangles in client coordinates.
  QRect ChannelRect() const;
  QRect ThumbRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CRasterImage image_;
  bool showThumb_ = true;
};
