// Text drawn into an image, and the reading of a Qt bitmap into an image.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <string>

#include "platform/codepage.h"
#include "ui/raster_image.h"

bool CRasterImage::CreateFromBitmap(const QImage& bitmap, bool transparency) {
  if (!Destroy()) return false;
  if (bitmap.isNull()) {
    SetError("GetDIBits failed");
    return false;
  }
  const int w = bitmap.width();
  const int h = bitmap.height();
  bool withAlpha = false;
  if (transparency && bitmap.hasAlphaChannel() && bitmap.depth() == 32) {
    for (int y = 0; y < h && !withAlpha; ++y) {
      const QRgb* line = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
      for (int x = 0; x < w; ++x) {
        if (qAlpha(line[x]) != 0) {
          withAlpha = true;
          break;
        }
      }
    }
  }
  DWORD bpp = withAlpha ? 24 : static_cast<DWORD>(bitmap.depth());
  if (!Create(w, h, bpp, RASTER_FORMAT_UNKNOWN)) return false;
  if (GetPaletteSize()) {
    QList<QRgb> table = bitmap.colorTable();
    for (int i = 0; i < table.size() && i < static_cast<int>(GetPaletteSize()); ++i) {
      RGBQUAD q;
      q.rgbRed = static_cast<BYTE>(qRed(table[i]));
      q.rgbGreen = static_cast<BYTE>(qGreen(table[i]));
      q.rgbBlue = static_cast<BYTE>(qBlue(table[i]));
      SetPaletteColor(static_cast<BYTE>(i), q);
    }
  }
  if (withAlpha) AlphaCreate();
  const QImage argb = bitmap.convertToFormat(QImage::Format_ARGB32);
  for (int r = 0; r < h; ++r) {
    const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(r));
    long y = h - 1 - r;
    for (int x = 0; x < w; ++x) {
      if (GetPaletteSize()) {
        SetPixelIndex(x, y, static_cast<BYTE>(bitmap.pixelIndex(x, r)));
        continue;
      }
      RGBQUAD q;
      q.rgbRed = static_cast<BYTE>(qRed(line[x]));
      q.rgbGreen = static_cast<BYTE>(qGreen(line[x]));
      q.rgbBlue = static_cast<BYTE>(qBlue(line[x]));
      q.rgbReserved = static_cast<BYTE>(qAlpha(line[x]));
      SetPixelColor(x, y, q, withAlpha);
    }
  }
  return true;
}

bool CRasterImage::DrawString(QPainter* /*hdc*/, long x, long y, const char* text, RGBQUAD colour,
                              const char* fontFace, long height, long weight, BYTE italic,
                              BYTE underline, bool setAlpha) {
  if (!dib_) return true;
  QFont font;
  if (fontFace) font.setFamily(codepage::ToQString(std::string(fontFace).substr(0, 31)));
  if (height != 0) font.setPixelSize(static_cast<int>(height < 0 ? -height : height));
  if (weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp<long>(weight, 1, 1000)));
  font.setItalic(italic != 0);
  font.setUnderline(underline != 0);

  const QString str = codepage::ToQString(text ? text : "");
  const QFontMetrics metrics(font);
  const QSize box(metrics.horizontalAdvance(str), str.isEmpty() ? 0 : metrics.height());
  if (box.isEmpty()) return true;

  // White text on black in a work bitmap of the text box's size.
  QImage bitmap(box, QImage::Format_RGB32);
  if (bitmap.isNull()) return false;
  bitmap.fill(Qt::black);
  {
    QPainter painter(&bitmap);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(0, 0), box), Qt::AlignLeft | Qt::AlignTop, str);
  }
  CRasterImage textImage;
  if (!textImage.CreateFromBitmap(bitmap, false)) return false;

  // Every pixel the glyphs touch at all takes the full colour; the top of the
  // text box lands on row y counted from the top.
  const long h = head_.biHeight;
  for (long r = 0; r < box.height(); ++r) {
    for (long c = 0; c < box.width(); ++c) {
      if (textImage.GetPixelColor(c, box.height() - 1 - r, false).rgbBlue == 0) continue;
      SetPixelColor(x + c, h - 1 - (y + r), colour, setAlpha);
    }
  }
  return true;
}
