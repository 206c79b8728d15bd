#include "records/playback/time_bar_geometry.h"

#include <algorithm>
#include <cstdio>

namespace timebar {

int RowCount(int windowHeight) { return std::max(0, RowsHeight(windowHeight) / kRowHeight); }

RowHit HitRow(int x, int y) {
  RowHit hit;
  hit.dx = x - kNameWidth;
  const int dy = y - kScaleHeight;
  if (dy < 0) return hit;
  hit.row = dy / kRowHeight;
  hit.inBand = dy > kRowHeight * hit.row + kRowImageTop && dy < kRowHeight * hit.row + kRowImageHeight;
  return hit;
}

int PointedSecond(int scale, int dx, int viewStart, int barWidth, bool doubleClick) {
  switch (scale) {
    case kScaleDay:
      if (barWidth <= 0) return -1;
      return static_cast<int>(static_cast<long long>(dx) * kDaySeconds / barWidth);
    case kScaleMinutes:
      return doubleClick ? (dx / 4) * 60 + viewStart : dx * 60 / 4 + viewStart;
    default:
      return dx / 2 + viewStart;
  }
}

ScaleView ViewFor(int scale, int cursor, int barWidth) {
  ScaleView view;
  const int span = scale == kScaleMinutes ? (barWidth / 4) * 60 : barWidth / 2;  // seconds shown
  view.sliderMax = std::max(0, kDaySeconds - span);
  view.viewStart = std::clamp(cursor - span / 2, 0, view.sliderMax);
  return view;
}

int ViewStartFromSlider(int scale, int position, bool lineDown) {
  if (scale != kScaleMinutes) return position;
  const int minute = position / 60 * 60;
  return lineDown ? minute + 60 : minute;
}

int CursorX(int scale, int cursor, int viewStart, int barWidth) {
  switch (scale) {
    case kScaleDay:
      return barWidth > 0 ? static_cast<int>(static_cast<long long>(cursor) * barWidth / kDaySeconds) : -1;
    case kScaleMinutes: {
      const int x = (cursor - viewStart) / 15;
      return x >= 0 && x <= barWidth ? x : -1;
    }
    default: {
      const int x = std::max(0, 2 * (cursor - viewStart));
      return x < barWidth ? x + 2 * (viewStart % 60) : -1;
    }
  }
}

StripSpot SecondStripAt(int viewStart) {
  const int x = 2 * viewStart;
  StripSpot spot;
  spot.strip = std::min(2, x / kSecondStripWidth);
  spot.x = x - spot.strip * kSecondStripWidth;
  return spot;
}

void FormatHms(int second, char (&text)[16]) {
  second = std::clamp(second, 0, kDaySeconds);
  std::snprintf(text, sizeof(text), "%02d:%02d:%02d", second / 3600, second % 3600 / 60, second % 60);
}

}  // namespace timebar
