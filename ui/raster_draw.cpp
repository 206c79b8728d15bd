// Putting an image onto a painter: the plain and stretched copies of
// DrawTransparent, and Draw, which scales with smoothing and blends images
// with a transparent index or an alpha plane over what the painter shows.
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/raster_image.h"

namespace {

// The painter's clip box in its own coordinates: the device, cut down to the
// system clip (a widget's update region) and to the painter's own clip.
QRect ClipBox(QPainter* p) {
  QPaintEngine* engine = p->paintEngine();
  QPaintDevice* device = engine && engine->paintDevice() ? engine->paintDevice() : p->device();
  QRect box(0, 0, device->width(), device->height());
  if (engine && !engine->systemClip().isEmpty()) box &= engine->systemClip().boundingRect();
  box = p->deviceTransform().inverted().mapRect(box);
  if (p->hasClipping()) box &= p->clipBoundingRect().toAlignedRect();
  return box;
}

// The picture under `area` as the painter's device shows it, when that device
// can be read (an image, or a widget whose backing store is an image, with no
// more than a translation in between); else a null image.
QImage ReadBackground(QPainter* p, const QRect& area) {
  QPaintEngine* engine = p->paintEngine();
  if (!engine || !engine->paintDevice()) return QImage();
  if (engine->paintDevice()->devType() != QInternal::Image) return QImage();
  if (p->deviceTransform().type() > QTransform::TxTranslate) return QImage();
  const QImage* target = static_cast<const QImage*>(engine->paintDevice());
  QRect onDevice = p->deviceTransform().mapRect(area);
  return target->copy(onDevice).convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QImage CRasterImage::ToQImage(long srcX, long srcY, long srcW, long srcH) const {
  QImage out(static_cast<int>(srcW), static_cast<int>(srcH), QImage::Format_RGB32);
  if (out.isNull()) return out;
  out.fill(Qt::black);
  for (long r = 0; r < srcH; ++r) {
    long y = srcY + srcH - 1 - r;  // stored rows count from the bottom
    if (y < 0 || y >= head_.biHeight) continue;
    QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(static_cast<int>(r)));
    long x0 = std::max(0L, srcX);
    long x1 = std::min(static_cast<long>(head_.biWidth), srcX + srcW);
    for (long x = x0; x < x1; ++x) {
      RGBQUAD c = GetPixelColor(x, y, false);
      line[x - srcX] = qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
  }
  return out;
}

bool CRasterImage::DrawTransparent(QPainter* hdc, long x, long y, long cx, long cy, long srcX,
                                   long srcY, long srcW, long srcH) {
  if (!dib_ || !hdc || !hdc->isActive() || cx == 0 || cy == 0 || !enabled_ || srcW == 0 ||
      srcH == 0) {
    return false;
  }
  if (srcW < 0) srcW = head_.biWidth;
  if (cx < 0) cx = head_.biWidth;
  if (cy < 0) cy = head_.biHeight;
  if (srcH < 0) srcH = head_.biHeight;
  hdc->save();
  QRect dest(static_cast<int>(x), static_cast<int>(y), static_cast<int>(cx), static_cast<int>(cy));
  if (ClipBox(hdc).intersects(dest)) {
    // Nearest-pixel stretching; every pixel goes out as it is, the
    // transparent colour included.
    hdc->setRenderHint(QPainter::SmoothPixmapTransform, false);
    hdc->drawImage(dest, ToQImage(srcX, srcY, srcW, srcH));
  }
  hdc->restore();
  return true;
}

bool CRasterImage::DrawToRect(QPainter* hdc, const RECT& rect, RECT* clipRect, bool smooth,
                              bool flipY) {
  return Draw(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, clipRect,
              smooth, flipY);
}

// flipY is accepted for the callers' sake; the program never draws an image
// upside down, and the picture always goes out upright.
bool CRasterImage::Draw(QPainter* hdc, long x, long y, long cx, long cy, RECT* clipRect,
                        bool smooth, bool /*flipY*/) {
  if (!dib_ || !hdc || cx == 0 || cy == 0) return false;
  if (!hdc->isActive()) return false;
  const long width = head_.biWidth;
  const long height = head_.biHeight;
  if (cx < 0) cx = width;
  if (cy < 0) cy = height;
  const bool hasTrans = transIndex_ >= 0;
  const bool hasAlpha = !alpha_.empty();
  hdc->save();

  QRect clip = ClipBox(hdc);
  if (clipRect) {
    clip &= QRect(QPoint(clipRect->left, clipRect->top), QPoint(clipRect->right - 1, clipRect->bottom - 1));
  }
  const long clipL = clip.left();
  const long clipT = clip.top();
  const long clipR = clip.left() + clip.width();
  const long clipB = clip.top() + clip.height();
  const long left = std::min(clipR, std::max(clipL, x));
  const long right = std::max(clipL, std::min(clipR, x + cx));
  const long top = std::min(clipB, std::max(clipT, y));
  const long bottom = std::max(clipT, std::min(clipB, y + cy));
  const long W = right - left;
  const long H = bottom - top;
  const float fx = static_cast<float>(width) / static_cast<float>(cx);
  const float fy = static_cast<float>(height) / static_cast<float>(cy);
  const bool unscaled = cx == width && cy == height;

  if (!hasTrans && !hasAlpha && unscaled) {
    hdc->drawImage(QPoint(static_cast<int>(x), static_cast<int>(y)), ToQImage(0, 0, width, height));
    hdc->restore();
    return true;
  }
  if (W <= 0 || H <= 0) {
    hdc->restore();
    return true;
  }

  // The work bitmap covers the visible part only. Its row k counts from the
  // bottom of the visible rectangle; QImage rows count from the top.
  QImage work;
  bool exactBlend = false;
  if (hasTrans || hasAlpha) {
    work = ReadBackground(hdc, QRect(static_cast<int>(left), static_cast<int>(top),
                                     static_cast<int>(W), static_cast<int>(H)));
    exactBlend = !work.isNull();
    if (!exactBlend) {
      // A device that cannot be read back: blend through the painter instead.
      work = QImage(static_cast<int>(W), static_cast<int>(H), QImage::Format_ARGB32);
      if (!work.isNull()) work.fill(Qt::transparent);
    }
  } else {
    work = QImage(static_cast<int>(W), static_cast<int>(H), QImage::Format_RGB32);
  }
  if (work.isNull()) {
    hdc->restore();
    return true;
  }

  for (long k = 0; k < H; ++k) {
    QRgb* line = reinterpret_cast<QRgb*>(work.scanLine(static_cast<int>(H - 1 - k)));
    for (long i = 0; i < W; ++i) {
      long sx, sy;
      RGBQUAD c;
      if (unscaled) {
        sx = (left - x) + i;
        sy = (height - bottom + y) + k;
        c = GetPixelColor(sx, sy, false);
      } else {
        float sxf = static_cast<float>(left - x + i) * fx;
        float syf = static_cast<float>(height) - static_cast<float>(bottom - y - k) * fy;
        sx = std::clamp(static_cast<long>(std::floor(static_cast<double>(sxf))), 0L, width - 1);
        sy = std::clamp(static_cast<long>(std::floor(static_cast<double>(syf))), 0L, height - 1);
        if (!smooth) {
          c = GetPixelColor(sx, sy, false);
        } else if (fx > 1 && fy > 1) {
          c = SampleArea(sxf - 0.5f, syf - 0.5f, fx, fy);
        } else {
          c = SamplePoint(sxf - 0.5f, syf - 0.5f);
        }
      }
      if (!hasTrans && !hasAlpha) {
        line[i] = qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
        continue;
      }
      int a = hasAlpha ? AlphaGet(sx, sy) : 255;
      if (hasTrans) {
        if (head_.biClrUsed) {
          if (GetPixelIndex(sx, sy) == transIndex_) continue;
        } else {
          if (c == GetTransparentColor()) continue;
        }
      }
      if (a == 0) continue;
      if (!exactBlend) {
        line[i] = qRgba(c.rgbRed, c.rgbGreen, c.rgbBlue, a);
      } else if (a == 255) {
        line[i] = qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
      } else {
        QRgb bg = line[i];
        line[i] = qRgb((c.rgbRed * a + qRed(bg) * (255 - a)) >> 8,
                       (c.rgbGreen * a + qGreen(bg) * (255 - a)) >> 8,
                       (c.rgbBlue * a + qBlue(bg) * (255 - a)) >> 8);
      }
    }
  }
  if (exactBlend) hdc->setCompositionMode(QPainter::CompositionMode_Source);
  hdc->drawImage(QPoint(static_cast<int>(left), static_cast<int>(top)), work);
  hdc->restore();
  return true;
}
