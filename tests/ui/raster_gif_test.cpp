// GIF decoding against ImageMagick's decode of the same files, and the
// decoder's handling of damaged files.
#include <gtest/gtest.h>

#include <memory>

#include "common/temp_folder.h"
#include "image_magick.h"
#include "platform/file_api.h"
#include "ui/raster_file.h"
#include "ui/raster_gif.h"
#include "ui/raster_image.h"

using magick::Bytes;

namespace {

class GifFiles : public ::testing::Test {
 protected:
  static std::string F(const std::string& name) { return files_(name); }
  static magick::Files files_;
};
const std::string kRose = "rose: -crop 37x23+10+10 +repage ";
magick::Files GifFiles::files_({
    {"g8.gif", kRose + "-colors 256 GIF:"},
    {"g4.gif", kRose + "-colors 12 GIF:"},
    {"g1.gif", "-size 37x23 pattern:checkerboard -type bilevel GIF:"},
    {"inter.gif", kRose + "-colors 100 -interlace GIF GIF:"},
    {"one.gif", "-size 1x1 xc:orange GIF:"},
    {"wide.gif", "-size 301x3 gradient:yellow-navy GIF:"},
    {"trans.gif", "-size 21x11 xc:none -fill blue -draw 'circle 10,5 10,1' GIF:"},
    {"trans4.gif", "-size 21x11 xc:none -fill red -draw 'circle 10,5 10,1' -interlace GIF -colors 5 GIF:"},
    {"anim.gif", "-size 13x7 xc:red xc:lime xc:blue -loop 0 GIF:"},
    {"p.png", "-size 9x5 xc:white PNG:"},
});

// A GIF of one frame with the given colour table, minimum code size and LZW data.
Bytes MakeGif(int w, int h, int tableBits, const std::vector<uint8_t>& lzw, int minCode = 2,
              int transparent = -1) {
  Bytes b;
  b.text("GIF89a").u16(w).u16(h).u8(0x80 | (tableBits - 1)).u8(0).u8(0);
  for (int i = 0; i < (1 << tableBits); ++i) b.u8(i * 40).u8(255 - i * 40).u8(i * 20);
  if (transparent >= 0) b.u8('!').u8(0xF9).u8(4).u8(1).u16(0).u8(transparent).u8(0);
  b.u8(',').u16(0).u16(0).u16(w).u16(h).u8(0).u8(minCode);
  b.u8(static_cast<unsigned>(lzw.size())).raw(lzw).u8(0).u8(';');
  return b;
}

TEST_F(GifFiles, FramesDecodeAsImageMagickDoes) {
  struct Case {
    const char* file;
    WORD bpp;
  } cases[] = {{"g8.gif", 8},  {"g4.gif", 4},   {"g1.gif", 1},      {"inter.gif", 8},
               {"one.gif", 1}, {"wide.gif", 4}, {"trans.gif", 1}, {"trans4.gif", 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    CRasterImage image;
    ASSERT_TRUE(image.Load(F(c.file).c_str(), RASTER_FORMAT_GIF)) << image.GetLastError();
    EXPECT_EQ(image.GetType(), RASTER_FORMAT_GIF);
    EXPECT_EQ(image.GetBpp(), c.bpp);
    EXPECT_EQ(image.GetNumFrames(), 1);
    EXPECT_EQ(magick::CompareWithMagick(image, F(c.file)), "");
  }
  CRasterImage trans;
  ASSERT_TRUE(trans.Load(F("trans.gif").c_str(), RASTER_FORMAT_GIF));
  EXPECT_GE(trans.GetTransparentIndex(), 0);
}

TEST_F(GifFiles, SeveralFrames) {
  CRasterImage image;
  ASSERT_TRUE(image.Load(F("anim.gif").c_str(), RASTER_FORMAT_UNKNOWN));
  EXPECT_EQ(image.GetNumFrames(), 3);
  EXPECT_EQ(magick::CompareWithMagick(image, F("anim.gif") + "[0]"), "");

  // Later frames on request.
  for (long frame : {1L, 2L}) {
    CRasterIOFile file;
    ASSERT_TRUE(file.Open(F("anim.gif").c_str(), "rb"));
    CRasterGIF gif;
    gif.SetFrame(frame);
    ASSERT_TRUE(gif.Decode(&file));
    EXPECT_EQ(gif.GetLoops(), 0);
    EXPECT_EQ(magick::CompareWithMagick(gif, F("anim.gif") + "[" + std::to_string(frame) + "]"), "");
  }
  CRasterIOFile file;
  ASSERT_TRUE(file.Open(F("anim.gif").c_str(), "rb"));
  CRasterGIF gif;
  gif.SetFrame(3);
  EXPECT_FALSE(gif.Decode(&file));
  EXPECT_EQ(gif.GetNumFrames(), 3);
}

TEST_F(GifFiles, TypeFallBack) {
  CRasterImage asBmp;
  EXPECT_TRUE(asBmp.Load(F("g8.gif").c_str(), RASTER_FORMAT_BMP));
  EXPECT_EQ(asBmp.GetType(), RASTER_FORMAT_GIF);
  CRasterImage png;
  EXPECT_FALSE(png.Load(F("p.png").c_str(), RASTER_FORMAT_GIF));
  EXPECT_FALSE(png.IsValid());
}

TEST_F(GifFiles, TransparentPaletteIsFilledWithWhiteUpToItsOwnSize) {
  // Clear, 1, end with 3-bit codes (a 1 x 1 picture of index 1), a 4-entry
  // table and index 2 transparent: a 4-bit image whose entries 4..15 are white.
  const std::vector<uint8_t> lzw = {0x4C, 0x01};
  ASSERT_TRUE(MakeGif(1, 1, 2, lzw, 2, 2).WriteTo(F("t.gif")));
  CRasterImage image;
  ASSERT_TRUE(image.Load(F("t.gif").c_str(), RASTER_FORMAT_GIF));
  EXPECT_EQ(image.GetBpp(), 4);
  EXPECT_EQ(image.GetPaletteSize(), 16u);
  EXPECT_EQ(image.GetTransparentIndex(), 2);
  EXPECT_EQ(image.GetPixelIndex(0, 0), 1);
  EXPECT_EQ(image.GetPaletteColor(15), (RGBQUAD{255, 255, 255, 0}));
}

TEST_F(GifFiles, DamagedFilesAreRefusedOrCutShort) {
  std::string g8;
  ASSERT_TRUE(fileapi::ReadWhole(F("g8.gif"), g8));
  Bytes truncated;
  truncated.data.assign(g8.begin(), g8.begin() + static_cast<long>(g8.size() / 2));
  Bytes wrongMagic;
  wrongMagic.data.assign(g8.begin(), g8.end());
  wrongMagic.data[3] = '7';
  // Index 3 in a 2-colour (1-bit) picture: no pixel of it can hold the index.
  // Codes: clear 4, 3, end 5 at 3 bits.
  Bytes pastPalette = MakeGif(1, 1, 1, {0x5C, 0x01});
  // A screen and frame of 20000 x 20000 pixels.
  Bytes huge;
  huge.text("GIF89a").u16(20000).u16(20000).u8(0x87).u8(0).u8(0);
  for (int i = 0; i < 256; ++i) huge.u8(i).u8(i).u8(i);
  huge.u8(',').u16(0).u16(0).u16(20000).u16(20000).u8(0).u8(8).u8(2).u8(0x00).u8(0x01).u8(0).u8(';');
  // A frame larger than its logical screen is skipped: nothing to read.
  Bytes outside = MakeGif(2, 2, 1, {0x4C, 0x01});
  outside.data[6] = 1;  // screen width 1
  // Minimum code size 12 cannot be read with 12-bit codes.
  Bytes codeSize = MakeGif(1, 1, 1, {0x4C, 0x01}, 12);

  struct Case {
    const char* name;
    Bytes bytes;
    const char* error;  // nullptr: no particular text
  } cases[] = {
      {"truncated", truncated, nullptr},  {"wrong magic", wrongMagic, nullptr},
      {"past palette", pastPalette, nullptr}, {"memory limit", huge, "RASTER_MAX_MEMORY exceeded"},
      {"outside screen", outside, nullptr}, {"code size", codeSize, nullptr},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(c.bytes.WriteTo(F("bad.gif")));
    CRasterImage image;
    EXPECT_FALSE(image.Load(F("bad.gif").c_str(), RASTER_FORMAT_GIF));
    EXPECT_FALSE(image.IsValid());
    if (c.error) {
      EXPECT_STREQ(image.GetLastError(), c.error);
    }
    EXPECT_FALSE(image.Load(F("bad.gif").c_str(), RASTER_FORMAT_UNKNOWN));
  }
}

TEST_F(GifFiles, CorruptCodesEndThePictureEarly) {
  // A 3 x 1 picture: clear, 1, then code 7 while the next free code is 6.
  // Codes at 3 bits: 4, 1, 7 -> bits 001 100 111 (LSB first).
  Bytes b = MakeGif(3, 1, 2, {0xCC, 0x01});
  ASSERT_TRUE(b.WriteTo(F("corrupt.gif")));
  CRasterImage image;
  ASSERT_TRUE(image.Load(F("corrupt.gif").c_str(), RASTER_FORMAT_GIF));
  EXPECT_EQ(image.GetPixelIndex(0, 0), 1);
  EXPECT_EQ(image.GetPixelIndex(1, 0), 0);
  EXPECT_EQ(image.GetPixelIndex(2, 0), 0);
}

}  // namespace
