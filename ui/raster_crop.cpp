// Cutting a rectangle out of an image: whole pixel lines are copied for images
// of whole bytes per pixel, pixel by pixel for 1 and 4 bits per pixel.
#include <algorithm>
#include <cstring>

#include "ui/raster_image.h"

bool CRasterImage::Crop(long left, long top, long right, long bottom, CRasterImage* target) {
  if (!dib_) return false;
  const long w = head_.biWidth;
  const long h = head_.biHeight;
  left = std::clamp(left, 0L, w);
  right = std::clamp(right, 0L, w);
  top = std::clamp(top, 0L, h);
  bottom = std::clamp(bottom, 0L, h);
  if (right <= left || bottom <= top) return false;
  const long outW = right - left;
  const long outH = bottom - top;

  CRasterImage out(type_);
  out.CopyDescription(*this);
  if (!out.Create(static_cast<DWORD>(outW), static_cast<DWORD>(outH), head_.biBitCount, type_)) {
    SetError(out.GetLastError());
    return false;
  }
  out.CopyDescription(*this);
  if (head_.biClrUsed) std::memcpy(out.GetPalette(), GetPalette(), head_.biClrUsed * sizeof(RGBQUAD));

  // Stored rows run bottom-up: the top row of the part is stored row h - 1 - top.
  const long firstStored = h - bottom;
  const WORD bpp = head_.biBitCount;
  for (long j = 0; j < outH; ++j) {
    const long srcRow = firstStored + j;
    if (bpp >= 8) {
      const size_t bytes = static_cast<size_t>(bpp / 8);
      std::memcpy(out.bits_ + static_cast<size_t>(j) * out.effWidth_,
                  bits_ + static_cast<size_t>(srcRow) * effWidth_ + static_cast<size_t>(left) * bytes,
                  static_cast<size_t>(outW) * bytes);
    } else {
      for (long i = 0; i < outW; ++i) out.SetPixelIndex(i, j, GetPixelIndex(left + i, srcRow));
    }
  }
  if (!alpha_.empty() && out.AlphaCreate()) {
    for (long j = 0; j < outH; ++j) {
      for (long i = 0; i < outW; ++i) out.AlphaSet(i, j, AlphaGet(left + i, firstStored + j));
    }
  }
  if (target) {
    target->Transfer(out);
  } else {
    Transfer(out);
  }
  return true;
}
