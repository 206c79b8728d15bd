#include "ui/raster_bmp.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "ui/raster_file.h"
#include "ui/raster_le.h"

namespace {

constexpr WORD kBmpMagic = 0x4D42;  // "BM"
// A file that ends before the pixels its header promises is refused rather
// than shown half-empty as if it had loaded.
constexpr const char* kTruncated = "BMP pixel data is truncated";

// Row length in bytes of `bits` per pixel, padded to 4 bytes, in 64 bits so
// that no header value can overflow it.
uint64_t PaddedRow(uint64_t width, uint64_t bits) { return ((width * bits + 31) / 32) * 4; }

// Shifts right by n bits, or left when n is negative.
DWORD ShiftBy(DWORD value, int n) {
  if (n >= 32 || n <= -32) return 0;
  return n >= 0 ? value >> n : value << -n;
}

// Byte of a 32-bit pixel that holds the channel of this mask: the highest set byte.
int MaskByte(DWORD mask) {
  if (mask > 0x00FFFFFF) return 3;
  if (mask > 0x0000FFFF) return 2;
  if (mask > 0x000000FF) return 1;
  return 0;
}

}  // namespace

bool CRasterBMP::Fail(const char* text) {
  SetError(text);
  return false;
}

bool CRasterBMP::ReadBitmapInfo(CRasterFile* file, BITMAPINFOHEADER* h) {
  // The header's size comes first; the header it announces follows. A whole
  // file with the 12-byte core header can be shorter than the 40-byte header.
  BYTE raw[40];
  if (file->Read(raw, 4, 1) != 1) return false;
  *h = BITMAPINFOHEADER{};
  h->biSize = le::U32(raw);
  coreHeader_ = false;
  headerMasks_ = false;
  switch (h->biSize) {
    case 12:
      // The older core header: 16-bit width, height, planes and bit count.
      if (file->Read(raw + 4, 8, 1) != 1) return false;
      h->biWidth = le::U16(raw + 4);
      h->biHeight = le::U16(raw + 6);
      h->biPlanes = le::U16(raw + 8);
      h->biBitCount = le::U16(raw + 10);
      h->biSize = 40;
      coreHeader_ = true;
      break;
    default:
      if (file->Read(raw + 4, sizeof(raw) - 4, 1) != 1) return false;
      h->biWidth = le::S32(raw + 4);
      h->biHeight = le::S32(raw + 8);
      h->biPlanes = le::U16(raw + 12);
      h->biBitCount = le::U16(raw + 14);
      h->biCompression = le::U32(raw + 16);
      h->biSizeImage = le::U32(raw + 20);
      h->biXPelsPerMeter = le::S32(raw + 24);
      h->biYPelsPerMeter = le::S32(raw + 28);
      h->biClrUsed = le::U32(raw + 32);
      h->biClrImportant = le::U32(raw + 36);
      break;
  }
  if (!coreHeader_) {
    uint64_t extra = h->biSize > 40 ? h->biSize - 40 : 0;
    if (h->biSize == 64) {
      if (!file->Seek(24, SEEK_CUR)) return false;
    } else if (h->biSize == 124) {
      // The masks lie in the header right after its first 40 bytes; a file
      // with bit fields keeps them there instead of after the header.
      BYTE more[84];
      if (file->Read(more, sizeof(more), 1) != 1) return false;
      masks_[0] = le::U32(more);
      masks_[1] = le::U32(more + 4);
      masks_[2] = le::U32(more + 8);
      headerMasks_ = true;
    } else if (h->biSize <= 40) {
      if (h->biSize != 40) return false;
    } else {
      uint64_t needed = PaddedRow(static_cast<uint32_t>(h->biWidth), h->biBitCount) *
                        static_cast<uint32_t>(std::abs(static_cast<int64_t>(h->biHeight)));
      if (h->biSizeImage < needed || h->biPlanes != 1 || h->biClrUsed != 0) return false;
      if (h->biCompression == BI_RGB && !file->Seek(static_cast<long>(extra), SEEK_CUR)) {
        return false;
      }
    }
  }
  if (h->biSizeImage == 0) {
    uint64_t row = ((static_cast<uint64_t>(static_cast<uint32_t>(h->biWidth)) * h->biBitCount + 31) / 8) & ~3ull;
    h->biSizeImage = static_cast<DWORD>(row * static_cast<uint32_t>(h->biHeight));
  }
  if (h->biClrUsed == 0 && h->biBitCount <= 8) h->biClrUsed = 1u << h->biBitCount;
  return true;
}

bool CRasterBMP::ReadPalette(CRasterFile* file, const BITMAPINFOHEADER& h) {
  DWORD entries = h.biClrUsed ? h.biClrUsed : (1u << h.biBitCount);
  RGBQUAD* pal = GetPalette();
  size_t entrySize = coreHeader_ ? 3 : 4;
  BYTE raw[4];
  for (DWORD i = 0; i < entries; ++i) {
    if (file->Read(raw, entrySize, 1) != 1) return false;
    pal[i].rgbBlue = raw[0];
    pal[i].rgbGreen = raw[1];
    pal[i].rgbRed = raw[2];
    pal[i].rgbReserved = 0;
  }
  return true;
}

bool CRasterBMP::ReadMasks(CRasterFile* file, const BITMAPINFOHEADER& h, DWORD masks[3]) {
  if (h.biCompression == BI_RGB) return true;
  if (h.biCompression != BI_BITFIELDS) return Fail("unknown compression");
  if (headerMasks_) {
    std::copy(masks_, masks_ + 3, masks);
    return true;
  }
  BYTE raw[12];
  if (file->Read(raw, sizeof(raw), 1) != 1) return Fail(kTruncated);
  masks[0] = le::U32(raw);
  masks[1] = le::U32(raw + 4);
  masks[2] = le::U32(raw + 8);
  return true;
}

bool CRasterBMP::SeekPixels(CRasterFile* file) {
  return offBits_ == 0 || file->Seek(start_ + static_cast<long>(offBits_), SEEK_SET);
}

bool CRasterBMP::ReadBlock(CRasterFile* file, void* buffer, size_t size) {
  return SeekPixels(file) && file->Read(buffer, size, 1) == 1;
}

// Whether the stream holds as many bytes as the uncompressed pixels need,
// checked before the pixel block is made, so that a short file claiming a huge
// picture is refused without allocating it. Counted from the current position
// or the pixel offset, whichever is nearer, so that it never refuses a whole
// file.
bool CRasterBMP::PixelDataPresent(CRasterFile* file, const BITMAPINFOHEADER& h) {
  const bool rle = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
  if (rle) return true;
  const uint64_t width = static_cast<uint32_t>(h.biWidth);
  const uint64_t height = static_cast<uint32_t>(h.biHeight);
  // Sizes that Create refuses keep Create's own error text.
  const double depth = h.biBitCount > 8 ? 24.0 : h.biBitCount;
  if (width == 0 || height == 0 || double(width) * double(height) * depth / 8.0 >= RASTER_MAX_MEMORY) {
    return true;
  }
  uint64_t needed = PaddedRow(width, h.biBitCount) * height;
  if (h.biBitCount == 32) needed = width * 4 * height;
  const long size = file->Size();
  const long here = file->Tell();
  if (size < 0 || here < 0) return true;
  long from = here;
  if (offBits_ != 0) from = std::min(from, start_ + static_cast<long>(offBits_));
  return static_cast<uint64_t>(std::max(0L, size - from)) >= needed;
}

bool CRasterBMP::Decode(CRasterFile* file) {
  if (!file) return Fail("null file handler");
  start_ = file->Tell();
  BYTE fileHeader[14];
  if (file->Read(fileHeader, sizeof(fileHeader), 1) != 1) return Fail("Not a BMP");
  offBits_ = le::U32(fileHeader + 10);
  if (le::U16(fileHeader) != kBmpMagic) {
    // No file header: the info header starts the data.
    offBits_ = 0;
    if (!file->Seek(start_, SEEK_SET)) return Fail("Not a BMP");
  }

  BITMAPINFOHEADER h;
  if (!ReadBitmapInfo(file, &h)) return Fail("Error reading BMP info");
  WORD bpp = h.biBitCount;
  // Only these bit counts have a pixel layout. A palette longer than the bit
  // count allows would run past the image's palette, and the most negative
  // height has no positive counterpart: such headers are refused.
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    return Fail("Error reading BMP info");
  }
  if (bpp <= 8 && h.biClrUsed > (1u << bpp)) return Fail("Error reading BMP info");
  if (h.biHeight == INT32_MIN) return Fail("Error reading BMP info");
  bool topDown = h.biHeight < 0;
  if (topDown) h.biHeight = -h.biHeight;

  if (!PixelDataPresent(file, h)) return Fail(kTruncated);

  if (!Create(static_cast<DWORD>(h.biWidth), static_cast<DWORD>(h.biHeight), bpp,
              RASTER_FORMAT_BMP)) {
    return false;
  }
  SetXDPI(static_cast<long>(h.biXPelsPerMeter * 254.0 / 10000.0 + 0.5));
  SetYDPI(static_cast<long>(h.biYPelsPerMeter * 254.0 / 10000.0 + 0.5));
  if (GetCancel()) return Fail("Cancelled");

  if (bpp <= 8 && !ReadPalette(file, h)) return Fail("Error reading BMP info");

  size_t blockSize = static_cast<size_t>(GetEffWidth()) * GetHeight();
  bool ok = true;
  switch (bpp) {
    case 1:
    case 4:
    case 8:
      if (h.biCompression == BI_RGB) {
        if (!ReadBlock(file, GetBits(), blockSize)) return Fail(kTruncated);
      } else if (bpp == 8 && h.biCompression == BI_RLE8) {
        if (!SeekPixels(file)) return Fail(kTruncated);
        DecodeRle8(file);
      } else if (bpp == 4 && h.biCompression == BI_RLE4) {
        if (!SeekPixels(file)) return Fail(kTruncated);
        DecodeRle4(file);
      } else {
        return Fail("compression type not supported");
      }
      break;
    case 16:
      ok = Read16(file, h);
      break;
    case 24:
      if (h.biCompression != BI_RGB) return Fail("unknown compression");
      if (!ReadBlock(file, GetBits(), blockSize)) return Fail(kTruncated);
      break;
    default:
      ok = Read32(file, h);
      break;
  }
  if (!ok) return false;
  if (topDown) FlipVertically();
  return true;
}

bool CRasterBMP::Read16(CRasterFile* file, const BITMAPINFOHEADER& h) {
  DWORD masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (!ReadMasks(file, h, masks)) return false;
  DWORD width = GetWidth();
  DWORD height = GetHeight();
  size_t rowIn = ((width + 1) / 2) * 4;
  BYTE* bits = GetBits();
  if (!ReadBlock(file, bits, rowIn * height)) return Fail(kTruncated);

  int nR = std::popcount(masks[0] & 0xFFFF);
  int nG = std::popcount(masks[1] & 0xFFFF);
  int nB = std::popcount(masks[2] & 0xFFFF);
  // Widen in place from the last pixel backwards: every 24-bit pixel lies at
  // or after the 16-bit pixel it comes from.
  size_t rowOut = GetEffWidth();
  for (size_t y = height; y-- > 0;) {
    for (size_t x = width; x-- > 0;) {
      const BYTE* in = bits + y * rowIn + x * 2;
      DWORD w = le::U16(in);
      BYTE* out = bits + y * rowOut + x * 3;
      out[0] = static_cast<BYTE>(ShiftBy(w & masks[2], -(8 - nR)));
      out[1] = static_cast<BYTE>(ShiftBy(w & masks[1], nR + nG - 8));
      out[2] = static_cast<BYTE>(ShiftBy(w & masks[0], nR + nG + nB - 8));
    }
  }
  return true;
}

bool CRasterBMP::Read32(CRasterFile* file, const BITMAPINFOHEADER& h) {
  DWORD masks[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  if (!ReadMasks(file, h, masks)) return false;
  DWORD width = GetWidth();
  DWORD height = GetHeight();
  size_t count = static_cast<size_t>(width) * height;
  std::vector<BYTE> buffer;
  try {
    buffer.resize(count * 4);
  } catch (const std::bad_alloc&) {
    return Fail("can't allocate memory");
  }
  if (!ReadBlock(file, buffer.data(), buffer.size())) return Fail(kTruncated);

  if (h.biCompression == BI_RGB) {
    AlphaCreate();
    BYTE* alpha = AlphaGetPointer();
    bool anyAlpha = false;
    for (size_t i = 0; i < count; ++i) {
      alpha[i] = buffer[i * 4 + 3];
      anyAlpha = anyAlpha || alpha[i] != 0;
    }
    // A file that leaves the fourth byte 0 everywhere is an opaque picture.
    if (!anyAlpha) std::fill(alpha, alpha + count, BYTE{255});
  }
  int rByte = MaskByte(masks[0]);
  int gByte = MaskByte(masks[1]);
  int bByte = MaskByte(masks[2]);
  for (DWORD y = 0; y < height; ++y) {
    BYTE* out = GetBits(y);
    const BYTE* in = buffer.data() + static_cast<size_t>(y) * width * 4;
    for (DWORD x = 0; x < width; ++x, in += 4, out += 3) {
      out[0] = in[bByte];
      out[1] = in[gByte];
      out[2] = in[rByte];
    }
  }
  return true;
}

// RLE8: runs and literal strings of bytes, filled from the bottom row up.
// Whatever would land past the pixel block is dropped; the decode goes on.
void CRasterBMP::DecodeRle8(CRasterFile* file) {
  BYTE* bits = GetBits();
  const uint64_t size = static_cast<uint64_t>(GetEffWidth()) * GetHeight();
  const uint64_t eff = GetEffWidth();
  uint64_t x = 0;
  uint64_t row = 0;
  auto put = [&](BYTE value) {
    uint64_t pos = row * eff + x;
    if (pos < size) bits[pos] = value;
    ++x;
  };
  BYTE pair[2];
  while (file->Read(pair, 2, 1) == 1) {
    if (pair[0] > 0) {
      for (int i = 0; i < pair[0]; ++i) put(pair[1]);
      continue;
    }
    if (pair[1] == 0) {
      ++row;
      x = 0;
    } else if (pair[1] == 1) {
      break;
    } else if (pair[1] == 2) {
      BYTE delta[2];
      if (file->Read(delta, 2, 1) != 1) break;
      x += delta[0];
      row += delta[1];
    } else {
      BYTE literal[256];
      size_t n = pair[1];
      size_t got = file->Read(literal, 1, n + (n & 1));
      for (size_t i = 0; i < std::min(n, got); ++i) put(literal[i]);
      if (got < n + (n & 1)) break;
    }
  }
}

// RLE4: as RLE8 with pixels of half a byte, the first of a byte in its high half.
void CRasterBMP::DecodeRle4(CRasterFile* file) {
  BYTE* bits = GetBits();
  const uint64_t size = static_cast<uint64_t>(GetEffWidth()) * GetHeight();
  const uint64_t eff = GetEffWidth();
  uint64_t bx = 0;
  uint64_t row = 0;
  bool high = true;
  auto put = [&](BYTE nibble) {
    uint64_t pos = row * eff + bx;
    if (high) {
      if (pos < size) bits[pos] = static_cast<BYTE>(nibble << 4);
    } else {
      if (pos < size) bits[pos] |= nibble & 0x0F;
      ++bx;
    }
    high = !high;
  };
  BYTE pair[2];
  while (file->Read(pair, 2, 1) == 1) {
    if (pair[0] > 0) {
      for (int i = 0; i < pair[0]; ++i) put((i & 1) ? (pair[1] & 0x0F) : (pair[1] >> 4));
      continue;
    }
    if (pair[1] == 0) {
      ++row;
      bx = 0;
      high = true;
    } else if (pair[1] == 1) {
      break;
    } else if (pair[1] == 2) {
      BYTE delta[2];
      if (file->Read(delta, 2, 1) != 1) break;
      bx += delta[0] / 2;
      row += delta[1];
    } else {
      size_t n = pair[1];
      size_t bytes = (n + 1) / 2;
      BYTE literal[128];
      size_t got = file->Read(literal, 1, bytes);
      for (size_t i = 0; i < std::min(n, got * 2); ++i) {
        put((i & 1) ? (literal[i / 2] & 0x0F) : (literal[i / 2] >> 4));
      }
      if (got < bytes) break;
      if (bytes & 1) {
        BYTE pad;
        if (file->Read(&pad, 1, 1) != 1) break;
      }
    }
  }
}

void CRasterBMP::FlipVertically() {
  DWORD height = GetHeight();
  DWORD eff = GetEffWidth();
  std::vector<BYTE> tmp(eff);
  for (DWORD y = 0; y < height / 2; ++y) {
    BYTE* a = GetBits(y);
    BYTE* b = GetBits(height - 1 - y);
    std::memcpy(tmp.data(), a, eff);
    std::memcpy(a, b, eff);
    std::memcpy(b, tmp.data(), eff);
  }
  BYTE* alpha = AlphaGetPointer();
  if (alpha) {
    DWORD width = GetWidth();
    for (DWORD y = 0; y < height / 2; ++y) {
      std::swap_ranges(alpha + static_cast<size_t>(y) * width, alpha + static_cast<size_t>(y + 1) * width,
                       alpha + static_cast<size_t>(height - 1 - y) * width);
    }
  }
}
