// The skinned slider painting from the program's strip picture "bar.bmp".
#include <gtest/gtest.h>

#include <QImage>
#include <QSlider>

#include "common/temp_folder.h"
#include "platform/paths.h"
#include "ui/skin_slider.h"

namespace {

QRgb PictureColour(const CRasterImage& picture, long column, long rowFromTop) {
  RGBQUAD c = picture.GetPixelColor(column, picture.GetHeight() - 1 - rowFromTop, false);
  return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

// A slider of a fixed size showing its value at the middle.
template <typename Slider>
void Prepare(Slider& slider) {
  slider.setRange(0, 100);
  slider.setValue(50);
  slider.resize(200, 28);
}

TEST(SkinSlider, PaintsFromTheStripPicture) {
  paths::SetProgramFolder("");  // the program folder, where the build put "Images"
  CSkinSlider slider;
  ASSERT_TRUE(slider.Picture().IsValid()) << "Images/bar.bmp is missing in the program folder";
  Prepare(slider);
  const CRasterImage& picture = slider.Picture();
  const QRect channel = slider.ChannelRect();
  const QRect thumb = slider.ThumbRect();
  ASSERT_GT(thumb.width(), 0);
  const int midRow = slider.height() / 2;
  const long picMid = picture.GetHeight() / 2;

  QImage shot = slider.grab().toImage().convertToFormat(QImage::Format_RGB32);
  // Inside the channel away from the thumb: column 13, stretched.
  const int channelX = channel.left() + 3;
  ASSERT_LT(channelX, thumb.left());
  EXPECT_EQ(shot.pixel(channelX, 0), PictureColour(picture, 13, 0));
  EXPECT_EQ(shot.pixel(channelX, midRow), PictureColour(picture, 13, picMid));
  // Beside the channel: column 0.
  if (channel.left() > 0) {
    EXPECT_EQ(shot.pixel(0, midRow), PictureColour(picture, 0, picMid));
  }
  if (channel.right() + 1 < slider.width()) {
    EXPECT_EQ(shot.pixel(slider.width() - 1, midRow), PictureColour(picture, 0, picMid));
  }
  // The thumb: columns 23 to 31; its middle is the middle of column 27.
  const QPoint thumbMid = thumb.center();
  EXPECT_EQ(shot.pixel(thumbMid), PictureColour(picture, 27, picMid));

  // Hidden thumb: the background shows where it was.
  slider.ShowThumb(FALSE);
  EXPECT_FALSE(slider.IsThumbShown());
  shot = slider.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shot.pixel(thumbMid), PictureColour(picture, 13, picMid));
  slider.ShowThumb(TRUE);
  EXPECT_TRUE(slider.IsThumbShown());
}

TEST(SkinSlider, WithoutThePicturePaintsAsAPlainSlider) {
  TempFolder folder;
  paths::SetProgramFolder(folder.Path());
  CSkinSlider skinned;
  QSlider plain(Qt::Horizontal);
  paths::SetProgramFolder("");
  EXPECT_FALSE(skinned.Picture().IsValid());
  Prepare(skinned);
  Prepare(plain);
  EXPECT_EQ(skinned.grab().toImage(), plain.grab().toImage());
}

}  // namespace
