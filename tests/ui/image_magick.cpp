#include "image_magick.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace magick {

bool Convert(const std::string& args) {
  return std::system(("convert " + args + " 2>/dev/null").c_str()) == 0;
}

std::string Files::operator()(const std::string& name) {
  const std::string path = dir_->File(name);
  auto it = recipes_.find(name);
  if (it != recipes_.end()) {
    if (!Convert(it->second + "'" + path + "'")) ADD_FAILURE() << "ImageMagick could not make " << name;
    recipes_.erase(it);
  }
  return path;
}

std::vector<uint8_t> DecodeRgba(const std::string& file) {
  std::vector<uint8_t> out;
  FILE* pipe = popen(("convert '" + file + "' -depth 8 rgba:- 2>/dev/null").c_str(), "r");
  if (!pipe) return out;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof(buf), pipe)) > 0) out.insert(out.end(), buf, buf + n);
  if (pclose(pipe) != 0) out.clear();
  return out;
}

std::string CompareWithMagick(const CRasterImage& image, const std::string& file,
                              const uint8_t channelMask[3]) {
  static const uint8_t kAll[3] = {0xFF, 0xFF, 0xFF};
  if (!channelMask) channelMask = kAll;
  const std::vector<uint8_t> ref = DecodeRgba(file);
  const size_t w = image.GetWidth();
  const size_t h = image.GetHeight();
  if (ref.size() != w * h * 4) {
    std::ostringstream s;
    s << "size differs: ImageMagick gives " << ref.size() << " bytes for " << w << "x" << h;
    return s.str();
  }
  for (size_t y = 0; y < h; ++y) {
    for (size_t x = 0; x < w; ++x) {
      const uint8_t* p = &ref[(y * w + x) * 4];
      const long sx = static_cast<long>(x);
      const long sy = static_cast<long>(h - 1 - y);
      const bool transparentIndex = image.GetTransparentIndex() >= 0 && image.GetBpp() < 24 &&
                                    image.GetPixelIndex(sx, sy) == image.GetTransparentIndex();
      if (p[3] == 0 || transparentIndex) {
        if (p[3] == 0 && transparentIndex) continue;
        std::ostringstream s;
        s << "transparency differs at " << x << "," << y;
        return s.str();
      }
      const RGBQUAD c = image.GetPixelColor(sx, sy, false);
      if (c.rgbBlue != (p[2] & channelMask[0]) || c.rgbGreen != (p[1] & channelMask[1]) ||
          c.rgbRed != (p[0] & channelMask[2])) {
        std::ostringstream s;
        s << "pixel " << x << "," << y << " (from the top): ours r" << int(c.rgbRed) << " g"
          << int(c.rgbGreen) << " b" << int(c.rgbBlue) << ", ImageMagick r" << int(p[0]) << " g"
          << int(p[1]) << " b" << int(p[2]);
        return s.str();
      }
    }
  }
  return "";
}

Bytes& Bytes::u8(unsigned v) {
  data.push_back(static_cast<uint8_t>(v));
  return *this;
}
Bytes& Bytes::u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
Bytes& Bytes::u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
Bytes& Bytes::raw(const std::vector<uint8_t>& v) {
  data.insert(data.end(), v.begin(), v.end());
  return *this;
}
Bytes& Bytes::text(const char* s) {
  while (*s) u8(static_cast<uint8_t>(*s++));
  return *this;
}
void Bytes::Patch32(size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) data.at(offset + i) = static_cast<uint8_t>(v >> (8 * i));
}
bool Bytes::WriteTo(const std::string& path) const {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(f);
}

Bytes BmpHeader(int32_t width, int32_t height, unsigned bitCount, unsigned compression,
                unsigned paletteEntries, uint32_t clrUsed) {
  Bytes b;
  b.text("BM").u32(0).u32(0).u32(14 + 40 + paletteEntries * 4);
  b.u32(40).u32(static_cast<uint32_t>(width)).u32(static_cast<uint32_t>(height)).u16(1).u16(bitCount);
  b.u32(compression).u32(0).u32(2835).u32(2835).u32(clrUsed ? clrUsed : paletteEntries).u32(0);
  return b;
}

}  // namespace magick
