// Converting decoded pictures to the images the player draws.
#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tessaly/picture_scaler.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

namespace {

struct FrameDeleter {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;

// A picture whose left half is white and right half black, in a YUV format
// with 8-bit samples (planar or with interleaved chroma).
Frame HalfWhitePicture(AVPixelFormat format, int width, int height) {
  Frame frame(av_frame_alloc());
  frame->format = format;
  frame->width = width;
  frame->height = height;
  if (av_frame_get_buffer(frame.get(), 0) < 0) return nullptr;
  const bool fullRange = format == AV_PIX_FMT_YUVJ420P;
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      frame->data[0][y * frame->linesize[0] + x] =
          x < width / 2 ? (fullRange ? 255 : 235) : (fullRange ? 0 : 16);
    }
  }
  const int chromaHeight = -((-height) >> desc->log2_chroma_h);
  for (int plane = 1; plane < 3 && frame->data[plane]; ++plane) {
    for (int y = 0; y < chromaHeight; ++y) {
      std::memset(frame->data[plane] + y * frame->linesize[plane], 128, frame->linesize[plane]);
    }
  }
  return frame;
}

TEST(PictureScalerTest, ConvertsToAnySizeKeepingThePicture) {
  struct Case {
    AVPixelFormat format;
    QSize size;
  };
  // Even and odd sizes down and up, the picture's own size (also odd), one
  // pixel, and formats beside the usual 4:2:0.
  const std::vector<Case> cases = {
      {AV_PIX_FMT_YUV420P, {640, 360}},  {AV_PIX_FMT_YUV420P, {476, 266}},  {AV_PIX_FMT_YUV420P, {233, 131}},
      {AV_PIX_FMT_YUV420P, {1917, 1079}}, {AV_PIX_FMT_YUV420P, {1, 1}},     {AV_PIX_FMT_YUVJ420P, {236, 132}},
      {AV_PIX_FMT_YUVJ420P, {640, 360}}, {AV_PIX_FMT_YUV422P, {301, 170}}, {AV_PIX_FMT_NV12, {300, 169}},
  };
  PictureScaler scaler;  // one scaler for all: its set-up follows each change
  for (const Case& c : cases) {
    const std::string name = std::string(av_get_pix_fmt_name(c.format)) + " to " +
                             std::to_string(c.size.width()) + "x" + std::to_string(c.size.height());
    Frame picture = HalfWhitePicture(c.format, 640, 360);
    ASSERT_TRUE(picture) << name;
    const QImage image = scaler.Convert(*picture, c.size);
    ASSERT_FALSE(image.isNull()) << name;
    EXPECT_EQ(image.size(), c.size) << name;
    EXPECT_EQ(image.format(), QImage::Format_RGB32) << name;
    if (c.size.width() < 4) continue;
    const int y = c.size.height() / 2;
    const QRgb left = image.pixel(c.size.width() / 4, y);
    const QRgb right = image.pixel(c.size.width() * 3 / 4, y);
    EXPECT_GT(qGray(left), 240) << name;
    EXPECT_LT(qGray(right), 15) << name;
    EXPECT_EQ(qAlpha(left), 255) << name;
    // The last row and column are the picture's too.
    EXPECT_LT(qGray(image.pixel(c.size.width() - 1, c.size.height() - 1)), 15) << name;
    EXPECT_GT(qGray(image.pixel(0, c.size.height() - 1)), 240) << name;
  }
  // An odd picture at its own size.
  Frame odd = HalfWhitePicture(AV_PIX_FMT_YUV420P, 321, 181);
  const QImage same = scaler.Convert(*odd, QSize(321, 181));
  ASSERT_EQ(same.size(), QSize(321, 181));
  EXPECT_GT(qGray(same.pixel(10, 180)), 240);
  EXPECT_LT(qGray(same.pixel(320, 180)), 15);
  // Nothing to convert to.
  EXPECT_TRUE(scaler.Convert(*odd, QSize(0, 10)).isNull());
  EXPECT_TRUE(scaler.Convert(*odd, QSize()).isNull());
}

TEST(PictureScalerTest, ShownRectFillsOrKeepsTheAspectCentred) {
  struct Case {
    QSize picture;
    QRect area;
    bool fill;
    QRect shown;
  };
  const std::vector<Case> cases = {
      {{640, 360}, {0, 0, 400, 300}, false, {0, 37, 400, 225}},
      {{640, 360}, {0, 0, 400, 300}, true, {0, 0, 400, 300}},
      {{640, 360}, {0, 0, 640, 360}, false, {0, 0, 640, 360}},
      {{360, 640}, {10, 20, 400, 300}, false, {126, 20, 168, 300}},
      {{640, 360}, {0, 0, 236, 131}, false, {2, 0, 232, 131}},
      {{}, {0, 0, 400, 300}, false, {0, 0, 400, 300}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShownRect(c.picture, c.area, c.fill), c.shown)
        << c.picture.width() << "x" << c.picture.height() << (c.fill ? " filled" : "");
  }
}

TEST(PictureScalerTest, ADecodedPictureOutlivesTheFrameItCameFrom) {
  Frame source = HalfWhitePicture(AV_PIX_FMT_YUV420P, 64, 36);
  const uint8_t* pixels = source->data[0];
  DecodedPicture picture = TakeDecodedPicture(source.get());
  ASSERT_TRUE(picture);
  EXPECT_EQ(source->data[0], nullptr);  // the reference moved
  source.reset();
  EXPECT_EQ(picture->data[0], pixels);
  EXPECT_EQ(PictureSize(*picture), QSize(64, 36));
  PictureScaler scaler;
  EXPECT_GT(qGray(scaler.Convert(*picture, QSize(64, 36)).pixel(5, 5)), 240);
}

}  // namespace
