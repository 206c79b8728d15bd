#include "records/playback/time_bar_images.h"

#include <QFont>
#include <QFontMetrics>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "records/playback/time_bar_geometry.h"

namespace timebar {

namespace {

struct PaletteEntry {
  BYTE index;
  COLORREF colour;
};

constexpr PaletteEntry kPalette[] = {
    {0, RGB(0, 0, 0)},       {1, RGB(248, 255, 248)}, {2, RGB(0, 220, 0)},   {3, RGB(220, 0, 0)},
    {4, RGB(220, 220, 220)}, {5, RGB(255, 0, 0)},     {6, RGB(0, 255, 0)},   {7, RGB(0, 0, 255)},
    {8, RGB(255, 255, 255)}, {9, RGB(255, 0, 0)},     {250, RGB(254, 254, 254)},
};

constexpr long kLabelTop = kScaleTop - 10;  // labels stand 10 pixels above the scale top
constexpr long kLabelHeight = 12;

RGBQUAD Quad(COLORREF colour) {
  RGBQUAD q;
  q.rgbRed = GetRValue(colour);
  q.rgbGreen = GetGValue(colour);
  q.rgbBlue = GetBValue(colour);
  return q;
}

// A tick at x from y (line convention) down to the base line.
void Tick(CRasterImage& strip, long x, long fromY) {
  strip.DrawLine(x, x, fromY, kScaleHeight, Quad(PaletteColour(kIndexBlack)));
}

}  // namespace

COLORREF PaletteColour(BYTE index) {
  for (const PaletteEntry& e : kPalette) {
    if (e.index == index) return e.colour;
  }
  return RGB(0, 0, 0);
}

bool CreateBarImage(CRasterImage& image, long width, long height) {
  if (width <= 0 || height <= 0) {
    image.Destroy();
    return false;
  }
  if (!image.Create(static_cast<DWORD>(width), static_cast<DWORD>(height), 8, 0)) return false;
  for (const PaletteEntry& e : kPalette) image.SetPaletteColor(e.index, e.colour);
  image.SetTransparentIndex(kIndexTransparent);
  ClearBarImage(image);
  return true;
}

void ClearBarImage(CRasterImage& image) {
  if (!image.IsValid()) return;
  for (DWORD row = 0; row < image.GetHeight(); ++row) {
    std::memset(image.GetBits(row), kIndexBackground, image.GetEffWidth());
  }
}

void PaintDayMap(CRasterImage& row, const char* map, size_t length) {
  ClearBarImage(row);
  if (!row.IsValid() || !map) return;
  length = std::min<size_t>(length, kDayMinutes);
  size_t start = 0;
  while (start < length) {
    size_t end = start + 1;
    while (end < length && map[end] == map[start]) ++end;
    const BYTE index = map[start] == 'A' ? kIndexSchedule : map[start] == 'B' ? kIndexAlarm : kIndexNoRecord;
    row.DrawRectangle(static_cast<long>(start), kMapTop, static_cast<long>(end - 1), kMapBottom, index, true);
    start = end;
  }
}

bool CopyRowInto(const CRasterImage& row, CRasterImage& rows, long y) {
  if (!row.IsValid() || !rows.IsValid() || row.GetWidth() != rows.GetWidth() || row.GetBpp() != rows.GetBpp())
    return false;
  const long rowHeight = static_cast<long>(row.GetHeight());
  const long rowsHeight = static_cast<long>(rows.GetHeight());
  if (y < 0 || y + rowHeight >= rowsHeight) return false;
  for (long r = 0; r < rowHeight; ++r) {
    // Stored lines run bottom-up in both images.
    std::memcpy(rows.GetBits(static_cast<DWORD>(rowsHeight - 1 - (y + r))),
                row.GetBits(static_cast<DWORD>(rowHeight - 1 - r)), row.GetEffWidth());
  }
  return true;
}

void HLine(CRasterImage& image, long y, BYTE index) {
  if (!image.IsValid()) return;
  image.DrawLine(0, static_cast<long>(image.GetWidth()) - 1, y, y, Quad(PaletteColour(index)));
}

void VLine(CRasterImage& image, long x, long y1, long y2, BYTE index) {
  if (!image.IsValid()) return;
  image.DrawLine(x, x, y1, y2, Quad(PaletteColour(index)));
}

void Text(CRasterImage& image, long x, long y, const char* text, long height, long weight) {
  image.DrawString(nullptr, x, y, text, Quad(PaletteColour(kIndexBlack)), "Arial", height, weight, 0, 0);
}

void FittedText(CRasterImage& image, long x, long y, long width, const char* text, long height) {
  constexpr long kSmallest = 9;
  const QString shown = codepage::ToQString(text ? text : "");
  QFont font(QStringLiteral("Arial"));
  for (long h = height; h >= kSmallest; --h) {
    font.setPixelSize(static_cast<int>(h));
    if (QFontMetrics(font).horizontalAdvance(shown) <= width) {
      Text(image, x, y + (height - h) / 2, text, h);
      return;
    }
  }
  const QString cut = QFontMetrics(font).elidedText(shown, Qt::ElideRight, static_cast<int>(width));
  Text(image, x, y + (height - kSmallest) / 2, codepage::FromQString(cut).c_str(), kSmallest);
}

bool BuildHourStrip(CRasterImage& strip, long width) {
  if (!CreateBarImage(strip, width, kScaleHeight)) return false;
  for (int i = 0; i <= 48; ++i) {
    const long x = static_cast<long>(i * (static_cast<double>(width) / 48));
    if (i % 2 == 0) {
      Tick(strip, x, kScaleTop);
      char label[8];
      std::snprintf(label, sizeof(label), "%d", i / 2);
      Text(strip, x + 1, kLabelTop, label, kLabelHeight);
    } else {
      Tick(strip, x, kScaleTop + 4);
    }
  }
  HLine(strip, kScaleHeight, kIndexBlack);
  return true;
}

bool BuildMinuteStrip(CRasterImage& strip) {
  if (!CreateBarImage(strip, kDayMinutes * 4, kScaleHeight)) return false;
  for (int minute = 0; minute < kDayMinutes; ++minute) {
    const long x = 4L * minute;
    if (minute % 10 == 0) {
      Tick(strip, x, kScaleTop);
      char label[8];
      std::snprintf(label, sizeof(label), "%02d:%02d", minute / 60, minute % 60);
      Text(strip, x + 1, kLabelTop, label, kLabelHeight);
    } else {
      Tick(strip, x, minute % 5 == 0 ? kScaleTop + 2 : kScaleTop + 5);
    }
  }
  HLine(strip, kScaleHeight, kIndexBlack);
  return true;
}

bool BuildSecondStrip(CRasterImage& strip, int firstHour) {
  if (!CreateBarImage(strip, kSecondStripWidth, kScaleHeight)) return false;
  const int first = firstHour * 3600;
  for (int s = 0; s < kSecondStripWidth / 2; ++s) {
    const long x = 2L * s;
    const int second = first + s;
    if (second % 30 == 0) {
      Tick(strip, x, 12);
      char label[16];
      FormatHms(second, label);
      Text(strip, x + 1, kLabelTop, label, kLabelHeight);
    } else {
      Tick(strip, x, second % 10 == 0 ? kScaleTop : second % 5 == 0 ? kScaleTop + 2 : kScaleTop + 5);
    }
  }
  HLine(strip, kScaleHeight, kIndexBlack);
  return true;
}

}  // namespace timebar
