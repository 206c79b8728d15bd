// The image core: creation limits, palette, pixels, drawing into the image,
// copying and rescaling.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <set>
#include <utility>

#include "ui/raster_image.h"

namespace {

TEST(RasterImage, CreateRoundsTheDepthAndPadsRows) {
  CRasterImage image(RASTER_FORMAT_GIF);
  EXPECT_FALSE(image.IsValid());
  EXPECT_EQ(image.GetTransparentIndex(), -1);
  EXPECT_EQ(image.GetXDPI(), 96);
  EXPECT_EQ(image.GetBits(), nullptr);

  ASSERT_NE(image.Create(10, 10, 7, RASTER_FORMAT_GIF), nullptr);
  EXPECT_EQ(image.GetBpp(), 8);
  EXPECT_EQ(image.GetPaletteSize(), 256u);
  EXPECT_EQ(image.GetEffWidth(), 12u);
  EXPECT_EQ(image.GetBits(9), image.GetBits() + 9 * 12);
  EXPECT_EQ(image.GetBits(10), nullptr);

  ASSERT_NE(image.Create(3, 1, 1, 0), nullptr);
  EXPECT_EQ(image.GetEffWidth(), 4u);
  EXPECT_EQ(image.GetPaletteSize(), 2u);
  ASSERT_NE(image.Create(5, 2, 16, 0), nullptr);
  EXPECT_EQ(image.GetBpp(), 24);
  EXPECT_EQ(image.GetPaletteSize(), 0u);
  EXPECT_EQ(image.GetEffWidth(), 16u);
}

TEST(RasterImage, CreateRefusals) {
  CRasterImage image;
  EXPECT_EQ(image.Create(0, 5, 8, 0), nullptr);
  EXPECT_STREQ(image.GetLastError(), "CRasterImage::Create : width and height must be greater than zero");
  EXPECT_EQ(image.Create(20000, 20000, 8, 0), nullptr);
  EXPECT_STREQ(image.GetLastError(), "RASTER_MAX_MEMORY exceeded");
  EXPECT_EQ(image.Create(0xFFFFFFFFu, 0xFFFFFFFFu, 24, 0), nullptr);
  EXPECT_STREQ(image.GetLastError(), "RASTER_MAX_MEMORY exceeded");
  EXPECT_FALSE(image.IsValid());
}

TEST(RasterImage, PixelIndicesOfEveryDepth) {
  for (DWORD bpp : {1u, 4u, 8u}) {
    SCOPED_TRACE(bpp);
    CRasterImage image;
    ASSERT_TRUE(image.Create(11, 3, bpp, 0));
    const BYTE top = static_cast<BYTE>((1u << bpp) - 1);
    for (long x = 0; x < 11; ++x) image.SetPixelIndex(x, 1, static_cast<BYTE>(x % (top + 1)));
    image.SetPixelIndex(11, 1, top);  // outside: ignored
    for (long x = 0; x < 11; ++x) EXPECT_EQ(image.GetPixelIndex(x, 1), x % (top + 1));
    // Neighbouring rows keep their bits.
    for (long x = 0; x < 11; ++x) EXPECT_EQ(image.GetPixelIndex(x, 0), 0);
  }
  CRasterImage one;
  ASSERT_TRUE(one.Create(9, 1, 1, 0));
  one.SetPixelIndex(0, 0, 1);
  one.SetPixelIndex(8, 0, 1);
  EXPECT_EQ(one.GetBits()[0], 0x80);  // most significant bit first
  EXPECT_EQ(one.GetBits()[1], 0x80);
  CRasterImage four;
  ASSERT_TRUE(four.Create(2, 1, 4, 0));
  four.SetPixelIndex(0, 0, 0xA);
  four.SetPixelIndex(1, 0, 0xFB);  // only the low nibble fits
  EXPECT_EQ(four.GetBits()[0], 0xAB);
}

TEST(RasterImage, PaletteTransparencyAndNearestColour) {
  CRasterImage image;
  ASSERT_TRUE(image.Create(4, 4, 8, 0));
  image.SetPaletteColor(3, RGB(10, 20, 30));
  EXPECT_EQ(image.GetPaletteColor(3), (RGBQUAD{30, 20, 10, 0}));
  image.SetPaletteColor(7, RGB(10, 20, 30));
  EXPECT_EQ(image.GetNearestIndex(RGBQUAD{30, 20, 10, 0}), 3);  // the lower of two equal entries
  image.SetPaletteColor(3, RGB(0, 0, 0));                       // invalidates the cache
  EXPECT_EQ(image.GetNearestIndex(RGBQUAD{30, 20, 10, 0}), 7);
  EXPECT_EQ(image.GetNearestIndex(RGBQUAD{28, 21, 12, 0}), 7);

  image.SetTransparentIndex(300);
  EXPECT_EQ(image.GetTransparentIndex(), 0);
  image.SetTransparentIndex(-1);
  EXPECT_EQ(image.GetTransparentIndex(), -1);
  image.SetTransparentIndex(7);
  EXPECT_EQ(image.GetTransparentColor(), (RGBQUAD{30, 20, 10, 0}));
  // Outside the image: the transparent colour.
  EXPECT_EQ(image.GetPixelColor(-1, 0), (RGBQUAD{30, 20, 10, 0}));
}

TEST(RasterImage, RectanglesCountRowsFromTheTop) {
  CRasterImage image;
  ASSERT_TRUE(image.Create(100, 50, 8, 0));
  EXPECT_TRUE(image.DrawRectangle(-5, -5, 1000, 1000, 7, true));
  for (long y = 0; y < 50; ++y) {
    for (long x = 0; x < 100; ++x) ASSERT_EQ(image.GetPixelIndex(x, y), 7);
  }
  ASSERT_TRUE(image.Create(6, 5, 8, 0));
  EXPECT_TRUE(image.DrawRectangle(4, 3, 1, 0, 9, false));  // reversed corners
  const char* expected[5] = {".9999.", ".9..9.", ".9..9.", ".9999.", "......"};  // top row first
  for (long r = 0; r < 5; ++r) {
    for (long x = 0; x < 6; ++x) {
      EXPECT_EQ(image.GetPixelIndex(x, 4 - r), expected[r][x] == '9' ? 9 : 0) << x << "," << r;
    }
  }
  CRasterImage small;
  ASSERT_TRUE(small.Create(4, 4, 4, 0));
  EXPECT_FALSE(small.DrawRectangle(0, 0, 3, 3, 1, true));
}

TEST(RasterImage, LinesCountRowsAsHeightMinusY) {
  auto points = [](long x1, long x2, long y1, long y2) {
    CRasterImage image;
    image.Create(5, 4, 24, 0);
    image.DrawLine(x1, x2, y1, y2, RGBQUAD{255, 255, 255, 0});
    std::set<std::pair<long, long>> set;  // (x, y counted as height - stored row)
    for (long y = 0; y < 4; ++y) {
      for (long x = 0; x < 5; ++x) {
        if (image.GetPixelColor(x, y).rgbBlue) set.insert({x, 4 - y});
      }
    }
    return set;
  };
  EXPECT_TRUE(points(0, 4, 0, 0).empty());
  EXPECT_EQ(points(0, 4, 1, 1), (std::set<std::pair<long, long>>{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}));
  EXPECT_EQ(points(0, 3, 1, 2), (std::set<std::pair<long, long>>{{0, 1}, {1, 1}, {2, 2}, {3, 2}}));
  EXPECT_EQ(points(3, 0, 2, 1), (std::set<std::pair<long, long>>{{3, 2}, {2, 2}, {1, 1}, {0, 1}}));
  EXPECT_EQ(points(1, 1, 1, 4), (std::set<std::pair<long, long>>{{1, 1}, {1, 2}, {1, 3}, {1, 4}}));

  CRasterImage paletted;
  ASSERT_TRUE(paletted.Create(3, 3, 8, 0));
  paletted.SetPaletteColor(5, RGB(1, 2, 3));
  paletted.DrawLineColor(0, 2, 3, 3, RGB(1, 2, 3));  // bottom row
  EXPECT_EQ(paletted.GetPixelIndex(1, 0), 5);
}

TEST(RasterImage, TextIsDrawnAtFullColourFromTheTop) {
  CRasterImage image;
  ASSERT_TRUE(image.Create(60, 30, 8, RASTER_FORMAT_GIF));
  image.SetPaletteColor(1, RGB(255, 255, 0));
  EXPECT_TRUE(image.DrawString(nullptr, 2, 10, "", RGBQUAD{0, 255, 255, 0}, "Arial", 12, 400, 0, 0));
  for (long y = 0; y < 30; ++y) {
    for (long x = 0; x < 60; ++x) ASSERT_EQ(image.GetPixelIndex(x, y), 0);
  }
  EXPECT_TRUE(image.DrawString(nullptr, 2, 10, "Hi 12", RGBQUAD{0, 255, 255, 0}, "Arial", 14, 400, 0, 0));
  long lit = 0, litAboveY = 0;
  for (long y = 0; y < 30; ++y) {
    for (long x = 0; x < 60; ++x) {
      BYTE index = image.GetPixelIndex(x, y);
      ASSERT_TRUE(index == 0 || index == 1);  // full colour, never a blend
      lit += index;
      if (index && 29 - y < 10) ++litAboveY;
    }
  }
  EXPECT_GT(lit, 10);
  EXPECT_EQ(litAboveY, 0);
  CRasterImage empty;
  EXPECT_TRUE(empty.DrawString(nullptr, 0, 0, "x", RGBQUAD{}, "Arial", 12, 400, 0, 0));
}

TEST(RasterImage, CopyGhostAndTransfer) {
  CRasterImage src;
  ASSERT_TRUE(src.Create(5, 3, 8, RASTER_FORMAT_GIF));
  src.SetPaletteColor(4, RGB(9, 8, 7));
  src.SetPixelIndex(2, 1, 4);
  src.SetTransparentIndex(4);
  ASSERT_TRUE(src.AlphaCreate());
  src.AlphaSet(2, 1, 99);

  CRasterImage copy;
  copy.Copy(src);
  EXPECT_NE(copy.GetBits(), src.GetBits());
  EXPECT_EQ(copy.GetPixelColor(2, 1, false), (RGBQUAD{7, 8, 9, 0}));
  EXPECT_EQ(copy.AlphaGet(2, 1), 99);
  EXPECT_EQ(copy.GetTransparentIndex(), 4);
  EXPECT_EQ(copy.GetType(), RASTER_FORMAT_GIF);

  CRasterImage paletteOnly;
  paletteOnly.Copy(src, false, false, false);
  EXPECT_EQ(paletteOnly.GetPaletteColor(4), (RGBQUAD{7, 8, 9, 0}));
  EXPECT_FALSE(paletteOnly.AlphaIsValid());

  CRasterImage ghost;
  ghost.Ghost(src);
  EXPECT_EQ(ghost.GetBits(), src.GetBits());
  CRasterImage ghostOfGhost;
  ghostOfGhost.Copy(ghost);
  EXPECT_TRUE(ghostOfGhost.IsGhost());
  EXPECT_EQ(ghostOfGhost.GetBits(), src.GetBits());
  EXPECT_FALSE(ghost.Destroy());
  EXPECT_EQ(ghost.Create(2, 2, 8, 0), nullptr);
  EXPECT_TRUE(src.IsValid());

  CRasterImage taker;
  taker.Transfer(copy);
  EXPECT_FALSE(copy.IsValid());
  EXPECT_FALSE(copy.AlphaIsValid());
  EXPECT_EQ(taker.GetPixelIndex(2, 1), 4);
  EXPECT_EQ(taker.AlphaGet(2, 1), 99);
}

TEST(RasterImage, ResampleIsNearestNeighbour) {
  CRasterImage image;
  ASSERT_TRUE(image.Create(4, 2, 8, 0));
  for (BYTE i = 0; i < 4; ++i) image.SetPaletteColor(i, RGB(i * 50, 0, 0));
  for (long x = 0; x < 4; ++x) {
    image.SetPixelIndex(x, 0, static_cast<BYTE>(x));
    image.SetPixelIndex(x, 1, static_cast<BYTE>(3 - x));
  }
  BYTE* before = image.GetBits();
  EXPECT_TRUE(image.Resample(4, 2, 1));
  EXPECT_EQ(image.GetBits(), before);
  EXPECT_FALSE(image.Resample(0, 2, 1));

  ASSERT_TRUE(image.Resample(2, 2, 1));
  EXPECT_EQ(image.GetWidth(), 2u);
  EXPECT_EQ(image.GetPixelIndex(0, 0), 0);
  EXPECT_EQ(image.GetPixelIndex(1, 0), 2);
  EXPECT_EQ(image.GetPixelIndex(1, 1), 1);
  EXPECT_EQ(image.GetProgress(), 50);

  ASSERT_TRUE(image.Resample(4, 6, 1));
  EXPECT_EQ(image.GetPixelIndex(3, 5), 1);
  EXPECT_EQ(image.GetPixelIndex(3, 0), 2);

  EXPECT_FALSE(image.Resample(20000, 20000, 1));
  EXPECT_STREQ(image.GetLastError(), "RASTER_MAX_MEMORY exceeded");
  EXPECT_EQ(image.GetWidth(), 4u);
}

// Pixel (x, rowFromTop) of a w x h image whose index encodes its place.
BYTE PlaceIndex(long x, long rowFromTop, BYTE levels) { return static_cast<BYTE>((x * 7 + rowFromTop * 3) % levels); }

TEST(RasterImage, CropCutsARectangleCountedFromTheTop) {
  struct Case {
    int bpp;
    long left, top, right, bottom;
    bool ok;
    long outW, outH, firstX, firstRow;  // the result's size and the source pixel of its top left
  };
  const Case cases[] = {
      {8, 2, 1, 6, 4, true, 4, 3, 2, 1},      // inside
      {8, -5, -2, 3, 2, true, 3, 2, 0, 0},    // cut at the top left
      {8, 7, 3, 40, 40, true, 3, 2, 7, 3},    // cut at the bottom right
      {8, 4, 2, 4, 5, false, 0, 0, 0, 0},     // no width
      {8, 11, 0, 20, 5, false, 0, 0, 0, 0},   // right of the image
      {4, 1, 0, 6, 5, true, 5, 5, 1, 0},      // half bytes: pixel by pixel
      {1, 3, 1, 9, 2, true, 6, 1, 3, 1},      // bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bpp << " bpp " << c.left << "," << c.top << " " << c.right << ","
                                    << c.bottom);
    const BYTE levels = c.bpp == 8 ? 200 : c.bpp == 4 ? 16 : 2;
    CRasterImage image;
    ASSERT_TRUE(image.Create(10, 5, static_cast<DWORD>(c.bpp), RASTER_FORMAT_BMP));
    image.SetPaletteColor(1, RGB(0, 220, 0));
    image.SetTransparentIndex(1);
    for (long r = 0; r < 5; ++r) {
      for (long x = 0; x < 10; ++x) image.SetPixelIndex(x, 4 - r, PlaceIndex(x, r, levels));
    }
    CRasterImage out;
    EXPECT_EQ(image.Crop(c.left, c.top, c.right, c.bottom, &out), c.ok);
    EXPECT_EQ(image.GetWidth(), 10u);  // the source stays
    if (!c.ok) {
      EXPECT_FALSE(out.IsValid());
      continue;
    }
    ASSERT_EQ(out.GetWidth(), static_cast<DWORD>(c.outW));
    ASSERT_EQ(out.GetHeight(), static_cast<DWORD>(c.outH));
    EXPECT_EQ(out.GetBpp(), c.bpp);
    EXPECT_EQ(out.GetTransparentIndex(), 1);
    EXPECT_EQ(out.GetPaletteColor(1), image.GetPaletteColor(1));
    for (long r = 0; r < c.outH; ++r) {
      for (long x = 0; x < c.outW; ++x) {
        ASSERT_EQ(out.GetPixelIndex(x, c.outH - 1 - r), PlaceIndex(c.firstX + x, c.firstRow + r, levels))
            << x << "," << r;
      }
    }
  }
}

TEST(RasterImage, CropInPlaceKeepsColoursAndAlpha) {
  CRasterImage image;
  ASSERT_TRUE(image.Create(6, 4, 24, 0));
  image.SetPixelColor(4, 1, RGBQUAD{10, 20, 30, 0});  // stored row 1 = third row from the top
  ASSERT_TRUE(image.AlphaCreate());
  image.AlphaSet(4, 1, 77);
  ASSERT_TRUE(image.Crop(3, 1, 6, 3));
  ASSERT_EQ(image.GetWidth(), 3u);
  ASSERT_EQ(image.GetHeight(), 2u);
  EXPECT_EQ(image.GetPixelColor(1, 0, false), (RGBQUAD{10, 20, 30, 0}));
  EXPECT_EQ(image.AlphaGet(1, 0), 77);
  EXPECT_EQ(image.AlphaGet(0, 1), 255);

  CRasterImage empty;
  EXPECT_FALSE(empty.Crop(0, 0, 1, 1));
}

}  // namespace
