// Drawing images onto a painter: unscaled, stretched, reduced, clipped and blended.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "ui/raster_image.h"

namespace {

QImage Canvas(int w, int h, QColor colour = Qt::white) {
  QImage canvas(w, h, QImage::Format_RGB32);
  canvas.fill(colour);
  return canvas;
}

// A 24-bit image from rows given top row first, one grey level per pixel.
void MakeGrey(CRasterImage& image, const std::vector<std::vector<int>>& rows) {
  const long h = static_cast<long>(rows.size());
  const long w = static_cast<long>(rows[0].size());
  ASSERT_TRUE(image.Create(w, h, 24, 0));
  for (long r = 0; r < h; ++r) {
    for (long x = 0; x < w; ++x) {
      BYTE v = static_cast<BYTE>(rows[r][x]);
      image.SetPixelColor(x, h - 1 - r, RGBQUAD{v, v, v, 0});
    }
  }
}

int Grey(const QImage& canvas, int x, int y) { return qRed(canvas.pixel(x, y)); }

TEST(RasterDraw, OpaquePalettedImageAtItsOwnSize) {
  CRasterImage image;
  ASSERT_TRUE(image.Create(3, 2, 8, 0));
  image.SetPaletteColor(1, RGB(200, 10, 20));
  image.SetPaletteColor(2, RGB(5, 6, 7));
  image.DrawRectangle(0, 0, 2, 1, 1, true);
  image.SetPixelIndex(2, 0, 2);  // bottom right
  QImage canvas = Canvas(8, 8);
  {
    QPainter p(&canvas);
    EXPECT_TRUE(image.Draw(&p, 4, 5, -1, -1));
  }
  EXPECT_EQ(canvas.pixel(4, 5), qRgb(200, 10, 20));
  EXPECT_EQ(canvas.pixel(6, 6), qRgb(5, 6, 7));
  EXPECT_EQ(canvas.pixel(3, 5), qRgb(255, 255, 255));
  EXPECT_EQ(canvas.pixel(4, 7), qRgb(255, 255, 255));
}

TEST(RasterDraw, RefusalsAndInvisibleDestinations) {
  CRasterImage image;
  MakeGrey(image, {{0, 0}, {0, 0}});
  QImage canvas = Canvas(8, 8);
  const QImage before = canvas;
  CRasterImage empty;
  {
    QPainter p(&canvas);
    EXPECT_FALSE(image.Draw(&p, 0, 0, 0, 5));
    EXPECT_FALSE(image.Draw(&p, 0, 0, 5, 0));
    EXPECT_FALSE(image.Draw(nullptr, 0, 0, 5, 5));
    EXPECT_FALSE(empty.Draw(&p, 0, 0, 5, 5));
    p.setClipRect(0, 0, 4, 4);
    EXPECT_TRUE(image.Draw(&p, 5, 5, 3, 3));
  }
  EXPECT_EQ(canvas, before);
}

TEST(RasterDraw, ClippedDrawMatchesTheWholeDrawInsideTheClip) {
  CRasterImage image;
  MakeGrey(image, {{0, 50, 100}, {150, 200, 250}, {30, 60, 90}});
  QImage whole = Canvas(12, 12);
  QImage part = Canvas(12, 12);
  {
    QPainter p(&whole);
    ASSERT_TRUE(image.Draw(&p, 1, 1, 10, 7));
  }
  {
    QPainter p(&part);
    p.setClipRect(3, 2, 4, 3);
    ASSERT_TRUE(image.Draw(&p, 1, 1, 10, 7));
  }
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      bool inside = x >= 3 && x < 7 && y >= 2 && y < 5;
      EXPECT_EQ(part.pixel(x, y), inside ? whole.pixel(x, y) : qRgb(255, 255, 255)) << x << "," << y;
    }
  }
}

TEST(RasterDraw, BilinearStretching) {
  CRasterImage pair;
  MakeGrey(pair, {{0, 255}});
  QImage row = Canvas(4, 1);
  {
    QPainter p(&row);
    ASSERT_TRUE(pair.Draw(&p, 0, 0, 4, 1));
  }
  EXPECT_EQ(Grey(row, 0, 0), 0);
  EXPECT_EQ(Grey(row, 1, 0), 0);
  EXPECT_EQ(Grey(row, 2, 0), 127);
  EXPECT_EQ(Grey(row, 3, 0), 255);

  CRasterImage board;
  MakeGrey(board, {{255, 0}, {0, 255}});
  QImage square = Canvas(4, 4);
  {
    QPainter p(&square);
    ASSERT_TRUE(board.Draw(&p, 0, 0, 4, 4));
  }
  EXPECT_EQ(Grey(square, 2, 1), 127);  // third column, third row from the bottom

  // 0.3 of the way from black to white: fixed-point weights for 24-bit
  // images, float weights for paletted ones.
  CRasterImage grey;
  MakeGrey(grey, {{0, 255}, {0, 255}});
  EXPECT_EQ(grey.SamplePoint(0.3f, 0.0f).rgbRed, 75);
  CRasterImage paletted;
  ASSERT_TRUE(paletted.Create(2, 2, 8, 0));
  paletted.SetPaletteColor(1, RGB(255, 255, 255));
  paletted.SetPixelIndex(1, 0, 1);
  paletted.SetPixelIndex(1, 1, 1);
  EXPECT_EQ(paletted.SamplePoint(0.3f, 0.0f).rgbRed, 76);
}

TEST(RasterDraw, ReducedPicturesKeepTheirColourUpToTheEdges) {
  // Area averaging: a uniform picture stays uniform, also at the left column
  // and bottom row of a picture drawn at less than half its size.
  for (int size : {4, 6, 7, 10}) {
    SCOPED_TRACE(size);
    CRasterImage image;
    MakeGrey(image, std::vector<std::vector<int>>(size, std::vector<int>(size, 200)));
    QImage canvas = Canvas(2, 2, Qt::black);
    {
      QPainter p(&canvas);
      ASSERT_TRUE(image.Draw(&p, 0, 0, 2, 2));
    }
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 2; ++x) EXPECT_EQ(Grey(canvas, x, y), 200) << x << "," << y;
    }
  }
}

TEST(RasterDraw, AlphaBlendsOverTheBackground) {
  CRasterImage image;
  MakeGrey(image, {{255, 255}, {255, 255}});
  ASSERT_TRUE(image.AlphaCreate());
  for (long y = 0; y < 2; ++y) {
    for (long x = 0; x < 2; ++x) image.AlphaSet(x, y, 128);
  }
  image.AlphaSet(1, 1, 0);  // top right: fully transparent
  QImage canvas = Canvas(2, 2);
  canvas.setPixel(1, 0, qRgb(10, 20, 30));
  {
    QPainter p(&canvas);
    ASSERT_TRUE(image.Draw(&p, 0, 0, -1, -1));
  }
  EXPECT_EQ(canvas.pixel(0, 0), qRgb(254, 254, 254));
  EXPECT_EQ(canvas.pixel(1, 0), qRgb(10, 20, 30));
}

TEST(RasterDraw, TransparentIndexLeavesTheBackground) {
  CRasterImage image;
  ASSERT_TRUE(image.Create(4, 4, 8, RASTER_FORMAT_GIF));
  image.SetPaletteColor(1, RGB(255, 0, 0));
  image.SetPaletteColor(2, RGB(0, 0, 255));
  image.DrawRectangle(0, 0, 3, 3, 1, true);
  image.DrawRectangle(0, 0, 1, 3, 2, true);  // left half: the transparent index
  image.SetTransparentIndex(2);
  for (int size : {4, 8, 2}) {
    SCOPED_TRACE(size);
    QImage canvas = Canvas(size, size, Qt::green);
    {
      QPainter p(&canvas);
      ASSERT_TRUE(image.Draw(&p, 0, 0, size, size));
    }
    // Left half: the background. Right half, away from the border where the
    // smoothing mixes in the left half's colour: the picture.
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size / 2; ++x) EXPECT_EQ(canvas.pixel(x, y), qRgb(0, 255, 0)) << x << "," << y;
      for (int x = size / 2 + size / 8; x < size && size >= 4; ++x) {
        EXPECT_EQ(canvas.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
      }
    }
  }
}

TEST(RasterDraw, DrawTransparentStretchesASourceRectangle) {
  CRasterImage image;
  MakeGrey(image, {{10, 20, 30}, {40, 50, 60}});
  image.SetTransparentIndex(0);
  image.SetTransparentColor(RGBQUAD{20, 20, 20, 0});
  QImage canvas = Canvas(6, 4);
  {
    QPainter p(&canvas);
    // Column 1, both rows (srcY counts from the bottom), into 2 x 4.
    ASSERT_TRUE(image.DrawTransparent(&p, 1, 0, 2, 4, 1, 0, 1, 2));
    EXPECT_FALSE(image.DrawTransparent(&p, 1, 0, 0, 4, 1, 0, 1, 2));
    EXPECT_FALSE(image.DrawTransparent(&p, 1, 0, 2, 4, 1, 0, 1, 0));
  }
  // Every pixel goes out as it is, the transparent colour included.
  EXPECT_EQ(Grey(canvas, 1, 0), 20);
  EXPECT_EQ(Grey(canvas, 2, 1), 20);
  EXPECT_EQ(Grey(canvas, 1, 3), 50);
  EXPECT_EQ(Grey(canvas, 0, 0), 255);
  EXPECT_EQ(Grey(canvas, 3, 0), 255);

  image.Enable(false);
  QPainter p(&canvas);
  EXPECT_FALSE(image.DrawTransparent(&p, 0, 0, 2, 2, 0, 0, 1, 1));
}

TEST(RasterDraw, DrawToRectUsesTheRectangle) {
  CRasterImage image;
  MakeGrey(image, {{90}});
  QImage canvas = Canvas(5, 5);
  {
    QPainter p(&canvas);
    RECT rc;
    rc.left = 1;
    rc.top = 2;
    rc.right = 4;
    rc.bottom = 4;
    ASSERT_TRUE(image.DrawToRect(&p, rc));
  }
  EXPECT_EQ(Grey(canvas, 1, 2), 90);
  EXPECT_EQ(Grey(canvas, 3, 3), 90);
  EXPECT_EQ(Grey(canvas, 4, 3), 255);
  EXPECT_EQ(Grey(canvas, 1, 1), 255);
}

}  // namespace

namespace {

// A window that paints its background and then an image over all of it, as
// the device list panel does with its background picture.
class PictureWindow : public QWidget {
 public:
  explicit PictureWindow(CRasterImage& image) : image_(image) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::green);
    RECT rc;
    rc.right = width();
    rc.bottom = height();
    image_.DrawToRect(&p, rc);
  }

 private:
  CRasterImage& image_;
};

TEST(RasterDraw, OntoAWindowTheTransparentIndexShowsTheWindow) {
  CRasterImage image;
  ASSERT_TRUE(image.Create(4, 4, 8, RASTER_FORMAT_GIF));
  image.SetPaletteColor(1, RGB(255, 0, 0));
  image.DrawRectangle(0, 0, 3, 3, 1, true);
  image.DrawRectangle(0, 0, 1, 3, 0, true);  // left half: the transparent index
  image.SetTransparentIndex(0);
  PictureWindow window(image);
  window.resize(40, 20);
  const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shot.pixel(5, 10), qRgb(0, 255, 0));
  EXPECT_EQ(shot.pixel(35, 10), qRgb(255, 0, 0));
}

}  // namespace
