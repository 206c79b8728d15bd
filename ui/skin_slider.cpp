#include "ui/skin_slider.h"

#include <QPainter>
#include <QStyleOptionSlider>

#include "platform/paths.h"

namespace {

// Columns of the strip picture.
constexpr long kChannelSideColumn = 0;
constexpr long kBackgroundColumn = 13;
constexpr long kThumbColumn = 23;
constexpr long kThumbColumns = 9;

}  // namespace

CSkinSlider::CSkinSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  const std::string path = paths::ProgramFolder() + "Images\\bar.bmp";
  image_.Load(path.c_str(), RASTER_FORMAT_BMP);
}

QRect CSkinSlider::ChannelRect() const {
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
}

QRect CSkinSlider::ThumbRect() const {
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
}

void CSkinSlider::ShowThumb(BOOL show) {
  bool value = show != FALSE;
  if (value == showThumb_) return;
  showThumb_ = value;
  repaint();
}

void CSkinSlider::paintEvent(QPaintEvent* event) {
  if (!image_.IsValid()) {
    QSlider::paintEvent(event);
    return;
  }
  QPainter painter(this);
  const long picHeight = image_.GetHeight();
  const QRect channel = ChannelRect();
  image_.DrawTransparent(&painter, 0, 0, width(), height(), kBackgroundColumn, 0, 1, picHeight);
  image_.DrawTransparent(&painter, 0, 0, channel.left(), height(), kChannelSideColumn, 0, 1,
                         picHeight);
  const long channelRight = channel.left() + channel.width();
  image_.DrawTransparent(&painter, channelRight, 0, width() - channelRight, height(),
                         kChannelSideColumn, 0, 1, picHeight);
  if (showThumb_) {
    const QRect thumb = ThumbRect();
    image_.DrawTransparent(&painter, thumb.left(), thumb.top(), thumb.width(), thumb.height(),
                           kThumbColumn, 0, kThumbColumns, picHeight);
  }
}
