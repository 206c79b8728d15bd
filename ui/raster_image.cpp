// Core of the raster image: the pixel block, palette, pixel access, drawing of
// rectangles and lines, copying and rescaling.
#include "ui/raster_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

void CRasterImage::FreeDeleter::operator()(BYTE* p) const { std::free(p); }

CRasterImage::CRasterImage(DWORD imageType) : type_(imageType) {}

CRasterImage::~CRasterImage() {
  frames_.clear();
  layers_.clear();
  Destroy();
}

void CRasterImage::Reset() {
  ownDib_.reset();
  dib_ = nullptr;
  bits_ = nullptr;
  ghostOf_ = nullptr;
  head_ = BITMAPINFOHEADER{};
  effWidth_ = 0;
  alpha_.clear();
  selection_.clear();
  frames_.clear();
  layers_.clear();
  cacheValid_ = false;
}

bool CRasterImage::Destroy() {
  if (ghostOf_) return false;
  Reset();
  return true;
}

void CRasterImage::UpdateHeaderPointers() {
  if (!dib_) {
    bits_ = nullptr;
    return;
  }
  bits_ = dib_ + sizeof(BITMAPINFOHEADER) + head_.biClrUsed * sizeof(RGBQUAD);
}

BYTE* CRasterImage::Create(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD imageType) {
  if (!Destroy()) return nullptr;
  if (width == 0 || height == 0) {
    SetError("CRasterImage::Create : width and height must be greater than zero");
    return nullptr;
  }
  DWORD bpp = bitsPerPixel <= 1 ? 1 : bitsPerPixel <= 4 ? 4 : bitsPerPixel <= 8 ? 8 : 24;
  if (static_cast<double>(width) * static_cast<double>(height) * bpp / 8.0 >= RASTER_MAX_MEMORY) {
    SetError("RASTER_MAX_MEMORY exceeded");
    return nullptr;
  }
  DWORD paletteSize = bpp == 1 ? 2 : bpp == 4 ? 16 : bpp == 8 ? 256 : 0;
  // The memory check above keeps every one of these well inside 32 bits.
  DWORD effWidth = static_cast<DWORD>(((static_cast<uint64_t>(width) * bpp + 31) / 8) & ~3ull);
  DWORD imageSize = effWidth * height;

  size_t total = sizeof(BITMAPINFOHEADER) + paletteSize * sizeof(RGBQUAD) + imageSize;
  // Cleared memory: a file that holds fewer pixels than its header promises
  // shows black there, never what the heap held before.
  BYTE* block = static_cast<BYTE*>(std::calloc(total, 1));
  if (!block) {
    SetError("CRasterImage::Create can't allocate memory");
    return nullptr;
  }
  ownDib_.reset(block);
  dib_ = block;
  head_ = BITMAPINFOHEADER{};
  head_.biSize = sizeof(BITMAPINFOHEADER);
  head_.biWidth = static_cast<LONG>(width);
  head_.biHeight = static_cast<LONG>(height);
  head_.biPlanes = 1;
  head_.biBitCount = static_cast<WORD>(bpp);
  head_.biCompression = BI_RGB;
  head_.biSizeImage = imageSize;
  head_.biClrUsed = paletteSize;
  std::memcpy(dib_, &head_, sizeof(head_));
  effWidth_ = effWidth;
  type_ = imageType;
  alpha_.clear();
  cacheValid_ = false;
  UpdateHeaderPointers();
  return bits_;
}

RGBQUAD* CRasterImage::GetPalette() const {
  if (!dib_ || head_.biClrUsed == 0) return nullptr;
  return reinterpret_cast<RGBQUAD*>(dib_ + sizeof(BITMAPINFOHEADER));
}

BYTE* CRasterImage::GetBits(DWORD row) const {
  if (!dib_) return nullptr;
  if (row == 0) return bits_;
  if (row < GetHeight()) return bits_ + static_cast<size_t>(row) * effWidth_;
  return nullptr;
}

void CRasterImage::CopyDescription(const CRasterImage& from) {
  lastError_ = from.lastError_;
  transIndex_ = from.transIndex_;
  transColor_ = from.transColor_;
  xDpi_ = from.xDpi_;
  yDpi_ = from.yDpi_;
  enabled_ = from.enabled_;
  cancel_ = from.cancel_;
  numFrames_ = from.numFrames_;
}

void CRasterImage::Ghost(const CRasterImage& owner) {
  if (!IsGhost()) Destroy();
  Reset();
  const CRasterImage& root = owner.ghostOf_ ? *owner.ghostOf_ : owner;
  CopyDescription(owner);
  head_ = owner.head_;
  effWidth_ = owner.effWidth_;
  type_ = owner.type_;
  dib_ = owner.dib_;
  ghostOf_ = &root;
  UpdateHeaderPointers();
}

void CRasterImage::Transfer(CRasterImage& from) {
  Reset();
  CopyDescription(from);
  type_ = from.type_;
  head_ = from.head_;
  effWidth_ = from.effWidth_;
  ownDib_ = std::move(from.ownDib_);
  dib_ = from.dib_;
  ghostOf_ = from.ghostOf_;
  alpha_ = std::move(from.alpha_);
  selection_ = std::move(from.selection_);
  frames_ = std::move(from.frames_);
  layers_ = std::move(from.layers_);
  UpdateHeaderPointers();
  from.Reset();
}

void CRasterImage::Copy(const CRasterImage& src, bool copyPixels, bool copySelection,
                        bool copyAlpha) {
  if (&src == this) return;
  if (src.IsGhost()) {
    Ghost(src);
    return;
  }
  CopyDescription(src);
  if (!Create(src.GetWidth(), src.GetHeight(), src.GetBpp(), src.GetType())) return;
  CopyDescription(src);
  if (copyPixels && src.dib_) {
    size_t total = sizeof(BITMAPINFOHEADER) + head_.biClrUsed * sizeof(RGBQUAD) + head_.biSizeImage;
    std::memcpy(dib_, src.dib_, total);
  } else if (src.dib_ && head_.biClrUsed) {
    std::memcpy(GetPalette(), src.GetPalette(),
                std::min<DWORD>(head_.biClrUsed, 256) * sizeof(RGBQUAD));
  }
  if (copySelection && !src.selection_.empty()) selection_ = src.selection_;
  if (copyAlpha && !src.alpha_.empty()) alpha_ = src.alpha_;
}

// --- palette and transparency ---

void CRasterImage::SetPaletteColor(BYTE index, COLORREF colour) {
  RGBQUAD q;
  q.rgbBlue = GetBValue(colour);
  q.rgbGreen = GetGValue(colour);
  q.rgbRed = GetRValue(colour);
  SetPaletteColor(index, q);
}

void CRasterImage::SetPaletteColor(BYTE index, RGBQUAD colour) {
  RGBQUAD* pal = GetPalette();
  if (!pal || index >= head_.biClrUsed) return;
  colour.rgbReserved = 0;
  pal[index] = colour;
  cacheValid_ = false;
}

RGBQUAD CRasterImage::GetPaletteColor(BYTE index) const {
  RGBQUAD* pal = GetPalette();
  if (!pal || index >= head_.biClrUsed) return RGBQUAD{};
  return pal[index];
}

void CRasterImage::SetTransparentIndex(long index) {
  if (index < 0) {
    transIndex_ = -1;
    return;
  }
  transIndex_ = index < static_cast<long>(head_.biClrUsed) ? index : 0;
}

RGBQUAD CRasterImage::GetTransparentColor() const {
  if (head_.biBitCount < 24 && transIndex_ >= 0) {
    return GetPaletteColor(static_cast<BYTE>(transIndex_));
  }
  return transColor_;
}

BYTE CRasterImage::GetNearestIndex(RGBQUAD c) {
  RGBQUAD* pal = GetPalette();
  if (!pal) return 0;
  if (cacheValid_ && cacheColour_.rgbBlue == c.rgbBlue && cacheColour_.rgbGreen == c.rgbGreen &&
      cacheColour_.rgbRed == c.rgbRed) {
    return cacheIndex_;
  }
  long best = 200000;
  int bestIndex = 0;
  for (DWORD i = 0; i < head_.biClrUsed; ++i) {
    long db = pal[i].rgbBlue - c.rgbBlue;
    long dg = pal[i].rgbGreen - c.rgbGreen;
    long dr = pal[i].rgbRed - c.rgbRed;
    long d = db * db + dg * dg + dr * dr;
    if (d == 0) {
      bestIndex = static_cast<int>(i);
      break;
    }
    if (d < best) {
      best = d;
      bestIndex = static_cast<int>(i);
    }
  }
  cacheValid_ = true;
  cacheColour_ = c;
  cacheIndex_ = static_cast<BYTE>(bestIndex);
  return cacheIndex_;
}

// --- pixels ---

bool CRasterImage::IsInside(long x, long y) const {
  return dib_ && x >= 0 && y >= 0 && x < head_.biWidth && y < head_.biHeight;
}

BYTE CRasterImage::GetPixelIndex(long x, long y) const {
  if (!IsInside(x, y)) return 0;
  const BYTE* row = bits_ + static_cast<size_t>(y) * effWidth_;
  switch (head_.biBitCount) {
    case 8:
      return row[x];
    case 4: {
      BYTE b = row[x >> 1];
      return (x & 1) ? (b & 0x0F) : (b >> 4);
    }
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    default:
      return 0;
  }
}

void CRasterImage::SetPixelIndex(long x, long y, BYTE index) {
  if (!IsInside(x, y)) return;
  BYTE* row = bits_ + static_cast<size_t>(y) * effWidth_;
  switch (head_.biBitCount) {
    case 8:
      row[x] = index;
      break;
    case 4: {
      BYTE& b = row[x >> 1];
      index &= 0x0F;
      b = (x & 1) ? static_cast<BYTE>((b & 0xF0) | index) : static_cast<BYTE>((b & 0x0F) | (index << 4));
      break;
    }
    case 1: {
      BYTE& b = row[x >> 3];
      BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
      b = (index & 1) ? static_cast<BYTE>(b | mask) : static_cast<BYTE>(b & ~mask);
      break;
    }
    default:
      break;
  }
}

RGBQUAD CRasterImage::GetPixelColor(long x, long y, bool getAlpha) const {
  if (!dib_) return RGBQUAD{};
  if (!IsInside(x, y)) {
    if (transIndex_ >= 0) return GetTransparentColor();
    x = 0;
    y = 0;
  }
  RGBQUAD c;
  if (head_.biClrUsed) {
    c = GetPaletteColor(GetPixelIndex(x, y));
  } else {
    const BYTE* p = bits_ + static_cast<size_t>(y) * effWidth_ + x * 3;
    c.rgbBlue = p[0];
    c.rgbGreen = p[1];
    c.rgbRed = p[2];
    c.rgbReserved = 0;
  }
  if (getAlpha && !alpha_.empty()) c.rgbReserved = AlphaGet(x, y);
  return c;
}

void CRasterImage::SetPixelColor(long x, long y, RGBQUAD c, bool setAlpha) {
  if (!IsInside(x, y)) return;
  if (head_.biClrUsed) {
    SetPixelIndex(x, y, GetNearestIndex(c));
  } else {
    BYTE* p = bits_ + static_cast<size_t>(y) * effWidth_ + x * 3;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
  }
  if (setAlpha && !alpha_.empty()) AlphaSet(x, y, c.rgbReserved);
}

// --- alpha plane ---

bool CRasterImage::AlphaCreate() {
  if (!dib_) return false;
  if (alpha_.empty()) {
    alpha_.assign(static_cast<size_t>(GetWidth()) * GetHeight(), 255);
  }
  return true;
}

BYTE CRasterImage::AlphaGet(long x, long y) const {
  if (alpha_.empty() || !IsInside(x, y)) return 0;
  return alpha_[static_cast<size_t>(y) * GetWidth() + x];
}

void CRasterImage::AlphaSet(long x, long y, BYTE value) {
  if (alpha_.empty() || !IsInside(x, y)) return;
  alpha_[static_cast<size_t>(y) * GetWidth() + x] = value;
}

// --- drawing into the image ---

bool CRasterImage::DrawRectangle(long left, long top, long right, long bottom, DWORD pixelValue,
                                 bool fill) {
  if (!dib_ || head_.biBitCount < 8) return false;
  long w = head_.biWidth;
  long h = head_.biHeight;
  left = std::clamp(left, 0L, w - 1);
  right = std::clamp(right, 0L, w - 1);
  top = std::clamp(top, 0L, h - 1);
  bottom = std::clamp(bottom, 0L, h - 1);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);

  // 8-bit images take the low byte as the index; 24-bit images take the value
  // as a COLORREF.
  auto put = [&](long x, long rowFromTop) {
    BYTE* row = bits_ + static_cast<size_t>(h - 1 - rowFromTop) * effWidth_;
    if (head_.biBitCount == 8) {
      row[x] = static_cast<BYTE>(pixelValue & 0xFF);
    } else {
      row[x * 3] = GetBValue(pixelValue);
      row[x * 3 + 1] = GetGValue(pixelValue);
      row[x * 3 + 2] = GetRValue(pixelValue);
    }
  };
  for (long r = top; r <= bottom; ++r) {
    if (fill || r == top || r == bottom) {
      for (long x = left; x <= right; ++x) put(x, r);
    } else {
      put(left, r);
      put(right, r);
    }
  }
  return true;
}

void CRasterImage::DrawLine(long x1, long x2, long y1, long y2, RGBQUAD colour, bool setAlpha) {
  if (!dib_) return;
  long h = head_.biHeight;
  long dx = std::labs(x2 - x1);
  long dy = std::labs(y2 - y1);
  long sx = x2 >= x1 ? 1 : -1;
  long sy = y2 >= y1 ? 1 : -1;
  long x = x1;
  long y = y1;
  bool xLonger = dx >= dy;
  long longer = xLonger ? dx : dy;
  long shorter = xLonger ? dy : dx;
  long acc = longer / 2;
  for (long i = 0; i <= longer; ++i) {
    SetPixelColor(x, h - y, colour, setAlpha);
    acc += shorter;
    if (acc >= longer && longer > 0) {
      acc -= longer;
      if (xLonger) y += sy; else x += sx;
    }
    if (xLonger) x += sx; else y += sy;
  }
}

void CRasterImage::DrawLineColor(long x1, long x2, long y1, long y2, COLORREF colour) {
  RGBQUAD q;
  q.rgbBlue = GetBValue(colour);
  q.rgbGreen = GetGValue(colour);
  q.rgbRed = GetRValue(colour);
  DrawLine(x1, x2, y1, y2, q, false);
}

// --- rescaling ---

bool CRasterImage::Resample(long newWidth, long newHeight, int /*mode*/, CRasterImage* target) {
  if (newWidth <= 0 || newHeight <= 0) return false;
  if (!dib_) return false;
  if (newWidth == head_.biWidth && newHeight == head_.biHeight) {
    if (target) target->Copy(*this);
    return true;
  }
  CRasterImage out(type_);
  out.CopyDescription(*this);
  if (!out.Create(newWidth, newHeight, head_.biBitCount, type_)) {
    SetError(out.GetLastError());
    return false;
  }
  if (head_.biClrUsed) std::memcpy(out.GetPalette(), GetPalette(), head_.biClrUsed * sizeof(RGBQUAD));
  if (!alpha_.empty()) out.AlphaCreate();

  float xScale = static_cast<float>(head_.biWidth) / static_cast<float>(newWidth);
  float yScale = static_cast<float>(head_.biHeight) / static_cast<float>(newHeight);
  for (long j = 0; j < newHeight; ++j) {
    progress_ = static_cast<BYTE>(j * 100 / newHeight);
    if (cancel_) return false;
    long sy = std::min(static_cast<long>(j * yScale), static_cast<long>(head_.biHeight) - 1);
    for (long i = 0; i < newWidth; ++i) {
      long sx = std::min(static_cast<long>(i * xScale), static_cast<long>(head_.biWidth) - 1);
      out.SetPixelColor(i, j, GetPixelColor(sx, sy, false), false);
      if (!alpha_.empty()) out.AlphaSet(i, j, AlphaGet(sx, sy));
    }
  }
  if (target) {
    target->Transfer(out);
  } else {
    Transfer(out);
  }
  return true;
}
