// BMP decoding against ImageMagick's decode of the same files, the decoder's
// refusals, and its bounds on RLE data and header sizes.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "common/temp_folder.h"
#include "platform/file_api.h"
#include "image_magick.h"
#include "ui/raster_bmp.h"
#include "ui/raster_file.h"
#include "ui/raster_image.h"

using magick::Bytes;

namespace {

// Odd sizes, so that every row has padding; a crop of the built-in rose
// picture gives many colours.
const std::string kGrad = "-size 37x23 gradient:red-blue ";
const std::string kRose = "rose: -crop 37x23+10+10 +repage ";

class BmpFiles : public ::testing::Test {
 protected:
  static std::string F(const std::string& name) { return files_(name); }
  static magick::Files files_;
};
magick::Files BmpFiles::files_({
    {"b1.bmp", "-size 37x23 pattern:checkerboard -type bilevel BMP3:"},
    {"b4.bmp", kGrad + "-colors 16 -type palette BMP3:"},
    {"b8.bmp", kRose + "-colors 200 -type palette BMP3:"},
    {"r8.bmp", kRose + "-colors 200 -type palette -compress RLE BMP3:"},
    {"core4.bmp", kGrad + "-colors 16 -type palette BMP2:"},
    {"b24.bmp", kRose + "-type truecolor BMP3:"},
    {"v5_24.bmp", kRose + "-type truecolor BMP:"},
    {"v5_32.bmp", kRose + "-alpha set -channel A -evaluate set 50% +channel BMP:"},
    {"b555.bmp", kRose + "-define bmp:subtype=RGB555 BMP:"},
    {"b565.bmp", kRose + "-define bmp:subtype=RGB565 BMP:"},
    {"p.png", "-size 9x5 xc:white PNG:"},
    // Files with the 12-byte core header that are shorter than the 40-byte header.
    {"tiny_core1.bmp", "-size 2x2 pattern:checkerboard -type bilevel BMP2:"},
    {"tiny_core24.bmp", "-size 3x1 xc:orange -type truecolor BMP2:"},
});

TEST_F(BmpFiles, EveryDepthDecodesAsImageMagickDoes) {
  struct Case {
    const char* file;
    WORD bpp;
  } cases[] = {{"b1.bmp", 1},  {"b4.bmp", 4},    {"b8.bmp", 8},    {"r8.bmp", 8},
               {"core4.bmp", 4}, {"b24.bmp", 24}, {"v5_24.bmp", 24}, {"v5_32.bmp", 24}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    CRasterImage image;
    ASSERT_TRUE(image.Load(F(c.file).c_str(), RASTER_FORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), c.bpp);
    EXPECT_EQ(image.GetWidth(), 37u);
    EXPECT_EQ(image.GetHeight(), 23u);
    EXPECT_EQ(image.GetType(), RASTER_FORMAT_BMP);
    EXPECT_EQ(magick::CompareWithMagick(image, F(c.file)), "");
  }
}

TEST_F(BmpFiles, SixteenBitFilesKeepTheTopBitsOfEachChannel) {
  // ImageMagick widens 5 bits to the full 0..255 range; this decoder shifts
  // them into the top bits (0x7FFF gives 248), so the low bits are left out of
  // the comparison.
  const uint8_t mask555[3] = {0xF8, 0xF8, 0xF8};
  const uint8_t mask565[3] = {0xF8, 0xFC, 0xF8};
  CRasterImage a, b;
  ASSERT_TRUE(a.Load(F("b555.bmp").c_str(), RASTER_FORMAT_BMP)) << a.GetLastError();
  ASSERT_TRUE(b.Load(F("b565.bmp").c_str(), RASTER_FORMAT_BMP)) << b.GetLastError();
  EXPECT_EQ(magick::CompareWithMagick(a, F("b555.bmp"), mask555), "");
  EXPECT_EQ(magick::CompareWithMagick(b, F("b565.bmp"), mask565), "");
}

TEST_F(BmpFiles, PlainSixteenBitPixelIsFiveFiveFive) {
  Bytes b = magick::BmpHeader(2, 1, 16, BI_RGB, 0);
  b.u16(0x7FFF).u16(0x001F);
  ASSERT_TRUE(b.WriteTo(F("w.bmp")));
  CRasterImage image;
  ASSERT_TRUE(image.Load(F("w.bmp").c_str(), RASTER_FORMAT_BMP)) << image.GetLastError();
  EXPECT_EQ(image.GetPixelColor(0, 0), (RGBQUAD{248, 248, 248, 0}));
  EXPECT_EQ(image.GetPixelColor(1, 0), (RGBQUAD{248, 0, 0, 0}));
}

TEST_F(BmpFiles, CoreHeaderLoadsWithTheColoursOfItsFullForm) {
  ASSERT_TRUE(magick::Convert("'" + F("core4.bmp") + "' -type palette BMP3:'" + F("full4.bmp") + "'"));
  CRasterImage core, full;
  ASSERT_TRUE(core.Load(F("core4.bmp").c_str(), RASTER_FORMAT_BMP));
  ASSERT_TRUE(full.Load(F("full4.bmp").c_str(), RASTER_FORMAT_BMP));
  for (long y = 0; y < 23; ++y) {
    for (long x = 0; x < 37; ++x) ASSERT_EQ(core.GetPixelColor(x, y), full.GetPixelColor(x, y));
  }
}

TEST_F(BmpFiles, CoreHeaderFilesShorterThanTheFullHeaderLoad) {
  struct Case {
    const char* file;
    WORD bpp;
    DWORD width, height;
  } cases[] = {{"tiny_core1.bmp", 1, 2, 2}, {"tiny_core24.bmp", 24, 3, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_LT(fileapi::Size(F(c.file)), 14 + 40);
    CRasterImage image;
    ASSERT_TRUE(image.Load(F(c.file).c_str(), RASTER_FORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), c.bpp);
    EXPECT_EQ(image.GetWidth(), c.width);
    EXPECT_EQ(image.GetHeight(), c.height);
    EXPECT_EQ(magick::CompareWithMagick(image, F(c.file)), "");
  }
}

TEST_F(BmpFiles, TopDownFileShowsTheSamePicture) {
  // A 24-bit file turned into its top-down form: negative height, rows reversed.
  std::string bottomUp;
  ASSERT_TRUE(fileapi::ReadWhole(F("b24.bmp"), bottomUp));
  const size_t rowBytes = ((37 * 24 + 31) / 32) * 4;
  std::string topDown = bottomUp.substr(0, 54);
  int32_t negative = -23;
  std::memcpy(&topDown[22], &negative, 4);
  for (int r = 22; r >= 0; --r) topDown += bottomUp.substr(54 + r * rowBytes, rowBytes);
  Bytes td;
  td.data.assign(topDown.begin(), topDown.end());
  ASSERT_TRUE(td.WriteTo(F("td.bmp")));

  CRasterImage image;
  ASSERT_TRUE(image.Load(F("td.bmp").c_str(), RASTER_FORMAT_BMP)) << image.GetLastError();
  EXPECT_EQ(image.GetHeight(), 23u);
  EXPECT_EQ(magick::CompareWithMagick(image, F("b24.bmp")), "");
}

TEST_F(BmpFiles, ThirtyTwoBitAlphaPlane) {
  // Uncompressed 32-bit: the fourth byte becomes the alpha plane, unless it is
  // 0 everywhere, when the picture is opaque.
  for (uint8_t alpha : {uint8_t{0}, uint8_t{128}}) {
    Bytes b = magick::BmpHeader(3, 2, 32, BI_RGB, 0);
    for (int i = 0; i < 6; ++i) b.u8(10 * i).u8(100).u8(200).u8(alpha);
    ASSERT_TRUE(b.WriteTo(F("a32.bmp")));
    CRasterImage image;
    ASSERT_TRUE(image.Load(F("a32.bmp").c_str(), RASTER_FORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), 24);
    ASSERT_TRUE(image.AlphaIsValid());
    EXPECT_EQ(image.AlphaGet(2, 1), alpha == 0 ? 255 : 128);
    EXPECT_EQ(image.GetPixelColor(2, 1, false), (RGBQUAD{50, 100, 200, 0}));
  }
}

TEST_F(BmpFiles, RleDataOutsideThePixelBlockIsDroppedAndDecodingGoesOn) {
  // RLE8 of a 4 x 2 image: a run far longer than the block, a delta far past
  // it, a literal string past it, then a last row written normally.
  Bytes b = magick::BmpHeader(4, 2, 8, BI_RLE8, 4);
  for (int i = 0; i < 4; ++i) b.u8(i * 60).u8(i * 60).u8(i * 60).u8(0);
  b.u8(3).u8(1);                                     // row 0: 1 1 1
  b.u8(0).u8(0);                                     // end of line
  b.u8(0).u8(2).u8(200).u8(200);                     // delta far outside
  b.u8(255).u8(3);                                   // run past the block
  b.u8(0).u8(5).u8(2).u8(2).u8(2).u8(2).u8(2).u8(0); // literal past the block
  b.u8(0).u8(1);                                     // end of bitmap
  ASSERT_TRUE(b.WriteTo(F("rle8.bmp")));
  CRasterImage image;
  ASSERT_TRUE(image.Load(F("rle8.bmp").c_str(), RASTER_FORMAT_BMP)) << image.GetLastError();
  EXPECT_EQ(image.GetPixelIndex(0, 0), 1);
  EXPECT_EQ(image.GetPixelIndex(2, 0), 1);
  EXPECT_EQ(image.GetPixelIndex(3, 0), 0);
  EXPECT_EQ(image.GetPixelIndex(0, 1), 0);

  // RLE4 of a 5 x 2 image: a run, a literal with its padding, a next row,
  // then runs and a delta that fall outside.
  Bytes r4 = magick::BmpHeader(5, 2, 4, BI_RLE4, 16);
  for (int i = 0; i < 16; ++i) r4.u8(i * 16).u8(i * 16).u8(i * 16).u8(0);
  r4.u8(3).u8(0x12);                  // 1 2 1
  r4.u8(0).u8(4).u8(0x34).u8(0x56);   // literal 3 4 5 6 (two bytes, no padding)
  r4.u8(0).u8(0);                      // end of line
  r4.u8(5).u8(0xAB);                   // A B A B A
  Bytes valid = r4;
  valid.u8(0).u8(1);
  valid.Patch32(2, static_cast<uint32_t>(valid.data.size()));  // ImageMagick checks the file size
  ASSERT_TRUE(valid.WriteTo(F("rle4.bmp")));
  r4.u8(0).u8(2).u8(100).u8(0);        // delta past the row's end
  r4.u8(200).u8(0xFF);                 // a long run past the block
  r4.u8(0).u8(3).u8(0x77).u8(0x70);    // a literal past the block
  r4.u8(0).u8(1);
  ASSERT_TRUE(r4.WriteTo(F("rle4-over.bmp")));

  CRasterImage four;
  ASSERT_TRUE(four.Load(F("rle4.bmp").c_str(), RASTER_FORMAT_BMP)) << four.GetLastError();
  EXPECT_EQ(magick::CompareWithMagick(four, F("rle4.bmp")), "");
  CRasterImage over;
  ASSERT_TRUE(over.Load(F("rle4-over.bmp").c_str(), RASTER_FORMAT_BMP)) << over.GetLastError();
  const int row0[5] = {1, 2, 1, 3, 4};
  const int row1[5] = {10, 11, 10, 11, 10};
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(over.GetPixelIndex(x, 0), row0[x]) << x;
    EXPECT_EQ(over.GetPixelIndex(x, 1), row1[x]) << x;
  }
}

TEST_F(BmpFiles, RefusedFilesGiveTheirErrorText) {
  struct Case {
    const char* name;
    Bytes bytes;
    DWORD type;
    const char* error;
  };
  std::string b24;
  ASSERT_TRUE(fileapi::ReadWhole(F("b24.bmp"), b24));
  Bytes truncatedPixels;
  truncatedPixels.data.assign(b24.begin(), b24.begin() + 54 + 100);
  Bytes truncatedInfo;
  truncatedInfo.data.assign(b24.begin(), b24.begin() + 30);
  Bytes huge = magick::BmpHeader(20000, 20000, 8, BI_RGB, 0);
  Bytes hugeWidth = magick::BmpHeader(-7, 3, 24, BI_RGB, 0);
  Bytes longPalette = magick::BmpHeader(2, 2, 8, BI_RGB, 0, 1000);
  Bytes rle24 = magick::BmpHeader(2, 2, 24, BI_RLE8, 0);
  Bytes rle4in8 = magick::BmpHeader(2, 2, 8, BI_RLE4, 2);
  rle4in8.u32(0).u32(0xFFFFFF).u8(0).u8(1);
  Bytes oddBits = magick::BmpHeader(2, 2, 7, BI_RGB, 0);
  Bytes wrongMagic;
  wrongMagic.text("XY").raw(std::vector<uint8_t>(60, 0x11));
  Case cases[] = {
      {"only BM", Bytes().text("BM"), RASTER_FORMAT_BMP, "Not a BMP"},
      {"short info", truncatedInfo, RASTER_FORMAT_BMP, "Error reading BMP info"},
      {"short pixels", truncatedPixels, RASTER_FORMAT_BMP, "BMP pixel data is truncated"},
      {"memory limit", huge, RASTER_FORMAT_BMP, "RASTER_MAX_MEMORY exceeded"},
      {"negative width", hugeWidth, RASTER_FORMAT_BMP, "RASTER_MAX_MEMORY exceeded"},
      {"palette past 256", longPalette, RASTER_FORMAT_BMP, "Error reading BMP info"},
      {"rle 24-bit", rle24, RASTER_FORMAT_BMP, "unknown compression"},
      {"rle4 8-bit", rle4in8, RASTER_FORMAT_BMP, "compression type not supported"},
      {"7 bits", oddBits, RASTER_FORMAT_BMP, "Error reading BMP info"},
      {"wrong magic", wrongMagic, RASTER_FORMAT_BMP, "Error reading BMP info"},
      {"wrong magic, any type", wrongMagic, RASTER_FORMAT_UNKNOWN, "Decode: Unknown or wrong format"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.bytes.WriteTo(F("bad.bmp")));
    CRasterImage image;
    ASSERT_TRUE(image.Create(3, 3, 8, RASTER_FORMAT_GIF));
    EXPECT_FALSE(image.Load(F("bad.bmp").c_str(), c.type));
    EXPECT_STREQ(image.GetLastError(), c.error);
    // A failed load leaves the image as it was.
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 3u);
    EXPECT_EQ(image.GetType(), RASTER_FORMAT_GIF);
  }
}

TEST_F(BmpFiles, TypeFallBack) {
  CRasterImage asGif;
  EXPECT_TRUE(asGif.Load(F("b8.bmp").c_str(), RASTER_FORMAT_GIF));
  EXPECT_EQ(asGif.GetType(), RASTER_FORMAT_BMP);
  CRasterImage asAny;
  EXPECT_TRUE(asAny.Load(F("b8.bmp").c_str(), RASTER_FORMAT_UNKNOWN));

  // A PNG: no decoder takes it, whatever the type asked for.
  for (DWORD type : {0u, 1u, 4u}) {
    CRasterImage image;
    EXPECT_FALSE(image.Load(F("p.png").c_str(), type));
    EXPECT_FALSE(image.IsValid());
    EXPECT_STREQ(image.GetLastError(),
                 type == 1 ? "Error reading BMP info" : "Decode: Unknown or wrong format");
  }

  CRasterImage missing;
  missing.Create(0, 1, 8, 0);  // leaves an error text behind
  const std::string before = missing.GetLastError();
  EXPECT_FALSE(missing.Load(F("none.bmp").c_str(), RASTER_FORMAT_BMP));
  EXPECT_FALSE(missing.Load(F("none.bmp").c_str(), RASTER_FORMAT_UNKNOWN));
  EXPECT_EQ(missing.GetLastError(), before);
}

TEST_F(BmpFiles, DecodeFromAStreamAtAnOffset) {
  // Decoding starts where the stream stands, and a failed decode puts the
  // stream back there.
  std::string bmp;
  ASSERT_TRUE(fileapi::ReadWhole(F("b8.bmp"), bmp));
  Bytes b;
  b.text("prefix");
  b.data.insert(b.data.end(), bmp.begin(), bmp.end());
  ASSERT_TRUE(b.WriteTo(F("offset.bin")));
  FILE* fp = std::fopen(F("offset.bin").c_str(), "rb");
  ASSERT_NE(fp, nullptr);
  std::fseek(fp, 6, SEEK_SET);
  CRasterImage image;
  EXPECT_FALSE(image.Decode(fp, RASTER_FORMAT_GIF));
  EXPECT_EQ(std::ftell(fp), 6);
  EXPECT_TRUE(image.Decode(fp, RASTER_FORMAT_BMP));
  std::fclose(fp);
  EXPECT_EQ(magick::CompareWithMagick(image, F("b8.bmp")), "");

  EXPECT_FALSE(image.Decode(static_cast<CRasterFile*>(nullptr), 0));
  EXPECT_STREQ(image.GetLastError(), "null file handler");
}

}  // namespace
