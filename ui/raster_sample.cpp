// Sampling of the image between pixel centres: bilinear at a point, and the
// mean over an area for pictures drawn smaller.
#include <algorithm>
#include <cmath>

#include "ui/raster_image.h"
#include "ui/rect_f.h"

namespace {

// x with its fraction dropped towards zero, minus 1 below zero.
long FloorIndex(float v) {
  long i = static_cast<long>(v);
  return v < 0 ? i - 1 : i;
}

}  // namespace

void CRasterImage::ClampCoordinates(float& x, float& y, int edgeMode) const {
  if (edgeMode != RASTER_EDGE_CLAMP || !dib_) return;
  if (x >= 0 && y >= 0 && x < head_.biWidth && y < head_.biHeight) return;
  x = std::clamp(x, 0.0f, static_cast<float>(head_.biWidth - 1));
  y = std::clamp(y, 0.0f, static_cast<float>(head_.biHeight - 1));
}

void CRasterImage::ClampCoordinates(long& x, long& y, int edgeMode) const {
  if (edgeMode != RASTER_EDGE_CLAMP || !dib_) return;
  x = std::clamp(x, 0L, static_cast<long>(head_.biWidth) - 1);
  y = std::clamp(y, 0L, static_cast<long>(head_.biHeight) - 1);
}

RGBQUAD CRasterImage::GetPixelColorClamped(long x, long y, int edgeMode,
                                           const RGBQUAD* fillColour) const {
  if (!IsInside(x, y)) {
    if (edgeMode == RASTER_EDGE_CLAMP) {
      ClampCoordinates(x, y, edgeMode);
    } else if (fillColour) {
      return *fillColour;
    }
  }
  return GetPixelColor(x, y, true);
}

void CRasterImage::AccumulateColor(const RGBQUAD& c, float weight, float& red, float& green,
                                   float& blue, float& alpha) {
  red += c.rgbRed * weight;
  green += c.rgbGreen * weight;
  blue += c.rgbBlue * weight;
  alpha += c.rgbReserved * weight;
}

RGBQUAD CRasterImage::SamplePoint(float x, float y, int /*method*/, int edgeMode,
                                  const RGBQUAD* fillColour) {
  if (!dib_) return RGBQUAD{};
  const long w = head_.biWidth;
  const long h = head_.biHeight;
  long xi = FloorIndex(x);
  long yi = FloorIndex(y);
  if (xi < -1 || xi >= w || yi < -1 || yi >= h) {
    ClampCoordinates(x, y, edgeMode);
    xi = FloorIndex(x);
    yi = FloorIndex(y);
  }

  if (head_.biBitCount == 24 && xi >= 0 && xi + 1 < w && yi >= 0 && yi + 1 < h) {
    // Integer weights with 8 fractional bits, read straight from the rows.
    long kx = static_cast<long>((x - xi) * 256);
    long ky = static_cast<long>((y - yi) * 256);
    long kxy = (kx * ky) >> 8;
    long w00 = 256 - kx - ky + kxy;
    long w10 = kx - kxy;
    long w01 = ky - kxy;
    long w11 = kxy;
    const BYTE* p0 = bits_ + static_cast<size_t>(yi) * effWidth_ + xi * 3;
    const BYTE* p1 = p0 + effWidth_;
    RGBQUAD c;
    c.rgbBlue = static_cast<BYTE>((p0[0] * w00 + p0[3] * w10 + p1[0] * w01 + p1[3] * w11) >> 8);
    c.rgbGreen = static_cast<BYTE>((p0[1] * w00 + p0[4] * w10 + p1[1] * w01 + p1[4] * w11) >> 8);
    c.rgbRed = static_cast<BYTE>((p0[2] * w00 + p0[5] * w10 + p1[2] * w01 + p1[5] * w11) >> 8);
    if (!alpha_.empty()) {
      const BYTE* a0 = alpha_.data() + static_cast<size_t>(yi) * w + xi;
      const BYTE* a1 = a0 + w;
      c.rgbReserved = static_cast<BYTE>((a0[0] * w00 + a0[1] * w10 + a1[0] * w01 + a1[1] * w11) >> 8);
    }
    return c;
  }

  float tx = x - xi;
  float ty = y - yi;
  float txy = tx * ty;
  float w11 = txy;
  float w10 = tx - txy;
  float w01 = ty - txy;
  float w00 = 1 - tx - (ty - txy);
  RGBQUAD c00 = GetPixelColorClamped(xi, yi, edgeMode, fillColour);
  RGBQUAD c10 = GetPixelColorClamped(xi + 1, yi, edgeMode, fillColour);
  RGBQUAD c01 = GetPixelColorClamped(xi, yi + 1, edgeMode, fillColour);
  RGBQUAD c11 = GetPixelColorClamped(xi + 1, yi + 1, edgeMode, fillColour);
  auto mix = [&](BYTE RGBQUAD::*channel) {
    double v = static_cast<double>(c00.*channel) * w00 + static_cast<double>(c10.*channel) * w10 +
               static_cast<double>(c01.*channel) * w01 + static_cast<double>(c11.*channel) * w11;
    return static_cast<BYTE>(static_cast<long>(v) & 0xFF);
  };
  RGBQUAD c;
  c.rgbBlue = mix(&RGBQUAD::rgbBlue);
  c.rgbGreen = mix(&RGBQUAD::rgbGreen);
  c.rgbRed = mix(&RGBQUAD::rgbRed);
  c.rgbReserved = mix(&RGBQUAD::rgbReserved);
  return c;
}

RGBQUAD CRasterImage::SampleArea(float xc, float yc, float w, float h, int /*method*/,
                                 int edgeMode, const RGBQUAD* fillColour) {
  if (!dib_) return RGBQUAD{};
  CRectF area(xc - w / 2, yc - h / 2, xc + w / 2, yc + h / 2);
  // Whole-pixel bounds: the pixel whose unit square holds each edge. Rounding
  // down (not towards zero) keeps the part of the area left of or below pixel
  // 0 in the sum, so that a picture drawn at less than half its size does not
  // come out dark at its left column and bottom row.
  long xs = static_cast<long>(std::floor(static_cast<double>(area.left + 0.5f)));
  long ys = static_cast<long>(std::floor(static_cast<double>(area.bottom + 0.5f)));
  long xe = static_cast<long>(std::floor(static_cast<double>(area.right + 0.5f)));
  long ye = static_cast<long>(std::floor(static_cast<double>(area.top + 0.5f)));

  CRectF r1 = area.Intersect(CRectF(xs - 0.5f, ys - 0.5f, xs + 0.5f, ys + 0.5f));
  CRectF r2 = area.Intersect(CRectF(xe - 0.5f, ye - 0.5f, xe + 0.5f, ye + 0.5f));
  float wL = r1.Width();
  float hB = r1.Height();
  float wR = r2.Width();
  float hT = r2.Height();

  float red = 0, green = 0, blue = 0, alpha = 0;
  auto add = [&](long px, long py, float weight) {
    AccumulateColor(GetPixelColorClamped(px, py, edgeMode, fillColour), weight, red, green, blue,
                    alpha);
  };
  add(xs, ys, wL * hB);
  add(xe, ys, wR * hB);
  add(xs, ye, wL * hT);
  add(xe, ye, wR * hT);
  for (long i = xs + 1; i < xe; ++i) {
    add(i, ys, hB);
    add(i, ye, hT);
  }
  for (long j = ys + 1; j < ye; ++j) {
    add(xs, j, wL);
    add(xe, j, wR);
  }
  for (long j = ys + 1; j < ye; ++j) {
    for (long i = xs + 1; i < xe; ++i) add(i, j, 1.0f);
  }

  float areaSize = area.Area();
  auto finish = [&](float sum) {
    float v = areaSize > 0 ? sum / areaSize : 0.0f;
    return static_cast<BYTE>(std::clamp(v, 0.0f, 255.0f));
  };
  RGBQUAD c;
  c.rgbRed = finish(red);
  c.rgbGreen = finish(green);
  c.rgbBlue = finish(blue);
  c.rgbReserved = finish(alpha);
  return c;
}
