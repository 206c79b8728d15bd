// ImageMagick as the reference peer of the image tests: makes picture files
// and decodes them into raw RGBA for comparison with our decoders.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "ui/raster_image.h"

namespace magick {

// Runs `convert <args>`; true when it succeeded.
bool Convert(const std::string& args);

// Picture files in a temporary folder, each made by ImageMagick from its
// recipe (the arguments of `convert`, ending with the output format such as
// "BMP3:", that come before the output file) the first time a
// test asks for it, so that a test pays only for the files it reads.
class Files {
 public:
  explicit Files(std::map<std::string, std::string> recipes) : recipes_(std::move(recipes)) {}
  // Path of `name`; made from its recipe when it has one and does not exist yet.
  std::string operator()(const std::string& name);

 private:
  std::unique_ptr<TempFolder> dir_ = std::make_unique<TempFolder>();
  std::map<std::string, std::string> recipes_;
};

// ImageMagick's own decode of `file` (e.g. "a.gif[1]") as 8-bit RGBA rows,
// top row first; empty on failure.
std::vector<uint8_t> DecodeRgba(const std::string& file);

// Compares every pixel of `image` with ImageMagick's decode. `channelMask`
// keeps the bits of each channel that the file's precision holds (blue, green,
// red). Pixels ImageMagick shows as fully transparent must carry the image's
// transparent index. Returns an empty text when all match, else the first
// difference.
std::string CompareWithMagick(const CRasterImage& image, const std::string& file,
                              const uint8_t channelMask[3] = nullptr);

// Little-endian writer for hand-made files.
struct Bytes {
  std::vector<uint8_t> data;
  Bytes& u8(unsigned v);
  Bytes& u16(unsigned v);
  Bytes& u32(uint32_t v);
  Bytes& raw(const std::vector<uint8_t>& v);
  Bytes& text(const char* s);
  void Patch32(size_t offset, uint32_t v);  // overwrites a field already written
  bool WriteTo(const std::string& path) const;
};

// A BMP file header and 40-byte info header; the pixel offset is right after
// the header and `paletteEntries` 4-byte entries, which are also the colours
// used unless `clrUsed` says otherwise.
Bytes BmpHeader(int32_t width, int32_t height, unsigned bitCount, unsigned compression,
                unsigned paletteEntries, uint32_t clrUsed = 0);

}  // namespace magick
