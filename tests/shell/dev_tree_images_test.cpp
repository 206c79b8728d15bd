// The device trees' images: a picture per state, each telling its state apart.
#include "shell/dev_tree_images.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "core/dev_state_image.h"
#include "platform/paths.h"

namespace {

QImage Image(const QIcon& icon) { return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32); }

TEST(DevTreeImages, EveryStateHasAPictureOfItsOwn) {
  const std::vector<QIcon> images = MakeDevTreeImages();
  ASSERT_EQ(images.size(), static_cast<size_t>(kDevTreeImageCount));
  const int states[] = {kImgMultiChannel, kImgGroup, kImgOffline, kImgOnline, kImgOnlineRecording,
                        kImgOnlineWatched, kImgOnlineWatchedRecording, kImgAlarm};
  for (int a : states) {
    const QImage image = Image(images[static_cast<size_t>(a)]);
    ASSERT_EQ(image.size(), QSize(16, 16)) << a;
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) drawn += qAlpha(image.pixel(x, y)) > 128;
    EXPECT_GT(drawn, 30) << "image " << a << " is nearly empty";
    for (int b : states) {
      if (b > a) EXPECT_NE(image, Image(images[static_cast<size_t>(b)])) << a << " and " << b << " look alike";
    }
  }
}

TEST(DevTreeImages, MissingPicturesLeaveBlankImagesOfTheSameSize) {
  paths::SetProgramFolder("/nonexistent/");
  const std::vector<QIcon> images = MakeDevTreeImages();
  paths::SetProgramFolder("");
  ASSERT_EQ(images.size(), static_cast<size_t>(kDevTreeImageCount));
  for (const QIcon& icon : images) {
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(qAlpha(Image(icon).pixel(8, 8)), 0);
  }
}

}  // namespace
